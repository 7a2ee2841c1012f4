// Reading a list file line by line, the same way for the window and for
// scripts, whatever the bytes come from.
#ifndef KESTROVA_OS_LINE_READER_H_
#define KESTROVA_OS_LINE_READER_H_

#include <bit>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "os/file_io.h"

namespace kestrova {

// A line longer than this (its line break not counted) ends reading with an
// error, whatever the bytes come from: no list entry is that long, and it
// keeps a file without line breaks from filling memory.
inline constexpr size_t kMaxLineBytes = size_t{16} << 20;

// CR LF, a lone CR and a lone LF all end a line; a line break at the very end
// makes no extra empty line.
class LineReader {
 public:
  enum class Result { kLine, kEnd, kError };

  // Every line returned is followed in memory by at least this many readable
  // bytes, whatever they hold, for scanners that read 16 bytes at a time.
  static constexpr size_t kSlack = 64;

  // `source` must outlive the reader. The first buffer is sized to a small
  // file, so loading one does not cost a large allocation.
  explicit LineReader(ByteSource& source);

  // The next line, valid until the next call.
  Result Next(std::string_view* line);
  // Why Next failed.
  const std::string& Error() const { return error_; }
  // Lines returned so far.
  long long LineNumber() const { return line_number_; }
  // Bytes taken from the source so far.
  long long BytesRead() const { return bytes_read_; }
  // The source's size when it was known in advance, else -1.
  long long SourceSize() const { return source_size_; }

 private:
  // The first CR or LF in [p, end), or end; reads up to 15 bytes past end.
  static const char* FindLineBreak(const char* p, const char* end);
  // Next, when the buffer does not hold the whole line.
  Result NextAfterFill(std::string_view* line);
  Result TakeLine(size_t at, std::string_view* line);
  bool Fill();
  Result TooLong();

  ByteSource& source_;
  std::vector<char> buffer_;  // `capacity_` bytes for the file, then kSlack more
  size_t capacity_ = 0;
  size_t begin_ = 0;
  size_t end_ = 0;
  bool eof_ = false;
  long long line_number_ = 0;
  long long bytes_read_ = 0;
  long long source_size_ = -1;
  std::string error_;
};

// Lines are short and files long, so this is the hot loop of every import:
// inline, and sixteen bytes at a time where the processor allows.
inline const char* LineReader::FindLineBreak(const char* p, const char* end) {
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  for (; p < end; p += 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int mask =
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, cr), _mm_cmpeq_epi8(chunk, lf)));
    if (mask != 0) {
      const char* found = p + std::countr_zero(static_cast<unsigned>(mask));
      return found < end ? found : end;
    }
  }
  return end;
#else
  while (p < end && *p != '\r' && *p != '\n') ++p;
  return p;
#endif
}

inline LineReader::Result LineReader::TakeLine(size_t at, std::string_view* line) {
  const char* data = buffer_.data();
  if (at - begin_ > kMaxLineBytes) return TooLong();
  *line = std::string_view(data + begin_, at - begin_);
  const bool crlf = data[at] == '\r' && at + 1 < end_ && data[at + 1] == '\n';
  begin_ = at + (crlf ? 2 : 1);
  ++line_number_;
  return Result::kLine;
}

inline LineReader::Result LineReader::Next(std::string_view* line) {
  const char* data = buffer_.data();
  const size_t at = static_cast<size_t>(FindLineBreak(data + begin_, data + end_) - data);
  // A CR at the end of the buffer may be the first half of CR LF.
  if (at + 1 < end_ || (at < end_ && (data[at] == '\n' || eof_))) return TakeLine(at, line);
  return NextAfterFill(line);
}

}  // namespace kestrova

#endif  // KESTROVA_OS_LINE_READER_H_
