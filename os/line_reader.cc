#include "os/line_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace kestrova {
namespace {

constexpr size_t kChunk = size_t{256} << 10;

// The first CR or LF in [p, end), or end. Sixteen bytes at a time where the
// processor allows: lines are short and files long, so this is the hot loop
// of every import.
const char* FindLineBreak(const char* p, const char* end) {
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r');
  const __m128i lf = _mm_set1_epi8('\n');
  while (end - p >= 16) {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const int mask =
        _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, cr), _mm_cmpeq_epi8(chunk, lf)));
    if (mask != 0) return p + std::countr_zero(static_cast<unsigned>(mask));
    p += 16;
  }
#endif
  while (p < end && *p != '\r' && *p != '\n') ++p;
  return p;
}

}  // namespace

std::ptrdiff_t MemorySource::Read(char* data, size_t size, std::string*) {
  const size_t n = std::min(size, rest_.size());
  std::memcpy(data, rest_.data(), n);
  rest_.remove_prefix(n);
  return static_cast<std::ptrdiff_t>(n);
}

LineReader::LineReader(ByteSource& source) : source_(source) {
  const long long size = source.Size();
  const long long wanted = size < 0 ? static_cast<long long>(kChunk) : size + 1;
  buffer_.resize(static_cast<size_t>(std::clamp<long long>(wanted, 4096, kChunk)));
}

bool LineReader::Fill() {
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
  const std::ptrdiff_t n = source_.Read(buffer_.data() + end_, buffer_.size() - end_, &error_);
  if (n < 0) return false;
  if (n == 0) eof_ = true;
  end_ += static_cast<size_t>(n);
  bytes_read_ += n;
  return true;
}

LineReader::Result LineReader::Next(std::string_view* line) {
  size_t scanned = 0;  // bytes after begin_ known to hold no line break
  for (;;) {
    const char* data = buffer_.data();
    const size_t k =
        static_cast<size_t>(FindLineBreak(data + begin_ + scanned, data + end_) - data);
    if (k < end_) {
      // A CR at the end of the buffer may be the first half of CR LF.
      if (data[k] == '\r' && k + 1 == end_ && !eof_) {
        scanned = k - begin_;
        if (!Fill()) return Result::kError;
        continue;
      }
      *line = std::string_view(data + begin_, k - begin_);
      const bool crlf = data[k] == '\r' && k + 1 < end_ && data[k + 1] == '\n';
      begin_ = k + (crlf ? 2 : 1);
      ++line_number_;
      return Result::kLine;
    }
    scanned = end_ - begin_;
    if (scanned > kMaxLineBytes) {
      error_ = "Line " + std::to_string(line_number_ + 1) + " is longer than " +
               std::to_string(kMaxLineBytes >> 20) + " MiB";
      return Result::kError;
    }
    if (eof_) {
      if (begin_ == end_) return Result::kEnd;
      *line = std::string_view(data + begin_, end_ - begin_);
      begin_ = end_;
      ++line_number_;
      return Result::kLine;
    }
    if (!Fill()) return Result::kError;
  }
}

}  // namespace kestrova
