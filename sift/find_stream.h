// `kestrova sift --find` over inputs of any size and shape: each input is
// read in pieces (a 10 GB page or a JSON array on one line alike), decoded
// from UTF-16 when it begins with that byte order mark, and scanned as one
// text; the entries found are written once each, in order of first
// appearance across all the inputs.
#ifndef KESTROVA_SIFT_FIND_STREAM_H_
#define KESTROVA_SIFT_FIND_STREAM_H_

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_set.h"
#include "os/file_io.h"
#include "sift/find_entries.h"
#include "sift/sift_stream.h"

namespace kestrova {

// The bytes of a text as UTF-8: UTF-16 (LE or BE, told by its byte order
// mark) is decoded, anything else passes as it is, without a UTF-8 byte
// order mark. Unpaired surrogates become U+FFFD.
class TextSource final : public ByteSource {
 public:
  explicit TextSource(ByteSource& source) : source_(source) {}
  std::ptrdiff_t Read(char* data, size_t size, std::string* reason) override;
  // Bytes taken from the source so far.
  long long SourceBytesRead() const { return source_bytes_; }

 private:
  enum class Form { kUnknown, kBytes, kUtf16Le, kUtf16Be };
  std::ptrdiff_t ReadSource(char* data, size_t size, std::string* reason);
  bool Start(std::string* reason);
  size_t Decode(const unsigned char* raw, size_t size, char* to);

  ByteSource& source_;
  Form form_ = Form::kUnknown;
  std::string start_;  // bytes read to tell the form, not handed out yet
  std::vector<char> raw_;
  int odd_byte_ = -1;  // a UTF-16 unit's first byte, waiting for its second
  unsigned high_ = 0;  // a high surrogate waiting for its low one
  long long source_bytes_ = 0;
};

struct FindCounts {
  long long bytes = 0;    // bytes read
  long long found = 0;    // entries written
  long long repeats = 0;  // entries found again

  FindCounts& operator+=(const FindCounts& other);
};

class FindSifter {
 public:
  // `piece` is how much is read and scanned at a time.
  FindSifter(ByteSink& out, const FindSwitches& switches, std::string_view line_end,
             size_t piece = size_t{1} << 20);
  FindSifter(const FindSifter&) = delete;
  FindSifter& operator=(const FindSifter&) = delete;

  StreamResult Add(ByteSource& in, FindCounts* counts, std::string* reason,
                   const std::function<void(long long)>& progress = {});
  // Writes what is still buffered.
  StreamResult Finish(std::string* reason);

 private:
  void Settle(FindCounts* counts);

  static constexpr size_t kFirstPending = 4096;

  ByteSink& out_;
  EntryFinder finder_;
  const std::string line_end_;
  const size_t piece_;
  std::vector<char> text_;  // the piece being scanned, with reach on both sides
  std::vector<FoundEntry> found_;
  std::vector<TextSet::Prepared> prepared_;
  std::unique_ptr<bool[]> added_;  // which of the entries found were new
  size_t added_size_ = 0;
  std::vector<char> pending_ = std::vector<char>(kFirstPending);  // output not written yet
  size_t pending_size_ = 0;
  TextSet seen_;
};

}  // namespace kestrova

#endif  // KESTROVA_SIFT_FIND_STREAM_H_
