// "Отсеить" over lists of any size, line by line, for `kestrova sift`: the
// import test, the scan and the dropping of repeats of the window, with the
// list file written as File > Save writes it.
#ifndef KESTROVA_SIFT_SIFT_STREAM_H_
#define KESTROVA_SIFT_SIFT_STREAM_H_

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/text_set.h"
#include "os/file_io.h"
#include "os/line_reader.h"
#include "sift/sift_list.h"

namespace kestrova {

struct StreamSwitches {
  bool only_entries = false;  // Check1: only lines that look like entries
  SiftSwitches scan;          // Check2, Check3
  bool drop_repeats = false;  // Check4
  bool strict = false;        // then only what IsStrictEntry takes
  std::string_view line_end = "\r\n";
};

struct StreamCounts {
  long long lines = 0;           // lines read
  long long kept = 0;            // entries written
  long long repeats = 0;         // kept texts dropped as repeats
  long long strict_dropped = 0;  // entries the window keeps and --strict does not

  StreamCounts& operator+=(const StreamCounts& other);
};

enum class StreamResult { kDone, kReadFailed, kWriteFailed };

// Sifts several inputs as one list: each Add reads one input to its end,
// then Finish writes what is left. Repeats are dropped across all inputs.
// Memory stays flat apart from the texts kept for dropping repeats.
class StreamSifter {
 public:
  StreamSifter(ByteSink& out, const StreamSwitches& switches);
  StreamSifter(const StreamSifter&) = delete;
  StreamSifter& operator=(const StreamSifter&) = delete;

  // `counts` receives this input's counts. `progress`, when given, hears the
  // bytes read so far now and then.
  StreamResult Add(LineReader& in, StreamCounts* counts, std::string* reason,
                   const std::function<void(long long)>& progress = {});
  // Writes the kept texts not written yet; a list with no entry left is
  // written as one empty line, as File > Save writes an empty list.
  StreamResult Finish(std::string* reason);

  // Short texts are copied as a block of this size: a line has room behind
  // it, and so does the buffer.
  static constexpr size_t kCopyBytes = 32;

 private:
  // With repeats to drop, kept texts wait in the buffer and are settled, as
  // kept or as repeats, a batch at a time: the set takes a batch far quicker
  // than texts one by one between the reading of lines (TextSet::InsertMany).
  // A batch stays small enough for the processor's caches...
  static constexpr size_t kBatch = 4096;
  // ...unless its texts are long: then fewer of them.
  static constexpr size_t kBatchBytes = size_t{1} << 20;
  struct Waiting {
    size_t offset;
    size_t size;
  };

  // Appends a kept text of a line that LineReader returned, and a line end.
  void Append(std::string_view text) {
    if (used_ + text.size() + kCopyBytes + 2 > capacity_) Grow(text.size());
    char* to = buffer_.get() + used_;
    if (text.size() <= kCopyBytes) {
      std::memcpy(to, text.data(), kCopyBytes);
    } else {
      std::memcpy(to, text.data(), text.size());
    }
    std::memcpy(to + text.size(), line_end_, 2);
    used_ += text.size() + line_end_size_;
  }
  void Grow(size_t text_size);

  template <bool kDropRepeats>
  StreamResult Read(LineReader& in, StreamCounts* counts, std::string* reason,
                    const std::function<void(long long)>& progress);
  // Decides the waiting texts.
  void Settle(StreamCounts* counts);
  // Writes the settled texts.
  bool Flush(std::string* reason);

  ByteSink& out_;
  const StreamSwitches switches_;
  // Texts not written yet: settled, then waiting. Not cleared when made:
  // pages the texts never reach are never touched, which a small list's
  // start would notice.
  std::unique_ptr<char[]> buffer_;
  size_t capacity_ = 0;
  size_t used_ = 0;
  size_t settled_ = 0;  // the settled texts' bytes
  char line_end_[2] = {};
  size_t line_end_size_ = 0;
  TextSet seen_;
  // The waiting texts, after the settled ones in the buffer, in their order.
  std::vector<Waiting> waiting_;
  std::vector<TextSet::Prepared> prepared_;  // theirs
  bool added_[kBatch];                       // Settle's answers
  long long written_ = 0;                    // entries settled as kept, all inputs
};

// One input: reads every line of `in`, keeps what the window's import and
// sifting pass would keep, and writes each kept text followed by `line_end`
// to `out`.
StreamResult SiftStream(LineReader& in, ByteSink& out, const StreamSwitches& switches,
                        StreamCounts* counts, std::string* reason,
                        const std::function<void(long long)>& progress = {});

}  // namespace kestrova

#endif  // KESTROVA_SIFT_SIFT_STREAM_H_
