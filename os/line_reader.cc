#include "os/line_reader.h"

#include <algorithm>
#include <cstring>

namespace kestrova {
namespace {

constexpr size_t kChunk = size_t{256} << 10;

}  // namespace

std::ptrdiff_t MemorySource::Read(char* data, size_t size, std::string*) {
  const size_t n = std::min(size, rest_.size());
  std::memcpy(data, rest_.data(), n);
  rest_.remove_prefix(n);
  return static_cast<std::ptrdiff_t>(n);
}

LineReader::LineReader(ByteSource& source) : source_(source), source_size_(source.Size()) {
  const long long size = source_size_;
  const long long wanted = size < 0 ? static_cast<long long>(kChunk) : size + 1;
  capacity_ = static_cast<size_t>(std::clamp<long long>(wanted, 4096, kChunk));
  buffer_.resize(capacity_ + kSlack);
}

bool LineReader::Fill() {
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == capacity_) {
    capacity_ *= 2;
    buffer_.resize(capacity_ + kSlack);
  }
  const std::ptrdiff_t n = source_.Read(buffer_.data() + end_, capacity_ - end_, &error_);
  if (n < 0) return false;
  if (n == 0) eof_ = true;
  end_ += static_cast<size_t>(n);
  bytes_read_ += n;
  return true;
}

LineReader::Result LineReader::TooLong() {
  error_ = "Line " + std::to_string(line_number_ + 1) + " is longer than " +
           std::to_string(kMaxLineBytes >> 20) + " MiB";
  return Result::kError;
}

LineReader::Result LineReader::NextAfterFill(std::string_view* line) {
  size_t scanned = 0;  // bytes after begin_ known to hold no line break
  for (;;) {
    const char* data = buffer_.data();
    const size_t at =
        static_cast<size_t>(FindLineBreak(data + begin_ + scanned, data + end_) - data);
    if (at < end_) {
      // A CR at the end of the buffer may be the first half of CR LF.
      if (data[at] == '\r' && at + 1 == end_ && !eof_) {
        scanned = at - begin_;
        if (!Fill()) return Result::kError;
        continue;
      }
      return TakeLine(at, line);
    }
    scanned = end_ - begin_;
    // Checked on what has arrived, not on how it arrived: a file and a pipe
    // that deliver the same bytes in different pieces get the same answer.
    if (scanned > kMaxLineBytes) return TooLong();
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
