// An HTTP answer read as its bytes arrive, never more than 64 KiB of it.
#ifndef KESTROVA_CHECK_HTTP_ANSWER_H_
#define KESTROVA_CHECK_HTTP_ANSWER_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrova {

class HttpAnswer {
 public:
  // The most of an answer that is read: enough for any test page, and memory
  // stays flat whatever a server sends.
  static constexpr size_t kLimit = 64 << 10;

  enum class State { kMore, kDone, kBad, kCut };

  // With `head_only`, the answer ends with its header block (a CONNECT's).
  explicit HttpAnswer(bool head_only = false) : head_only_(head_only) {}

  // Takes the bytes that arrived. kDone once the answer is whole, or once
  // 64 KiB of a body were read; kBad (see Error) when it is not HTTP.
  State Feed(std::string_view data);
  // The peer closed the connection: kDone for an answer that runs until
  // then, kCut for one it cut short.
  State End();

  bool Started() const { return !buffer_.empty(); }
  int Status() const { return status_; }
  // The body read so far, de-chunked.
  std::string_view Body() const;
  const std::string& Error() const { return error_; }
  // How much room is left to read into.
  size_t Room() const { return kLimit - buffer_.size(); }

 private:
  State Parse();
  bool ParseHead(size_t end);
  State ParseChunks();

  bool head_only_;
  std::string buffer_;
  size_t head_end_ = 0;  // 0 until the header block is whole
  int status_ = 0;
  long long content_length_ = -1;
  bool chunked_ = false;
  std::string chunks_;  // the de-chunked body
  std::string error_;
};

}  // namespace kestrova

#endif  // KESTROVA_CHECK_HTTP_ANSWER_H_
