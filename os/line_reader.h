// Reading a list file line by line, the same way for the window and for
// scripts, whatever the bytes come from.
#ifndef KESTROVA_OS_LINE_READER_H_
#define KESTROVA_OS_LINE_READER_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "os/file_io.h"

namespace kestrova {

// A line longer than this ends reading with an error: no list entry is that
// long, and it keeps a file without line breaks from filling memory.
inline constexpr size_t kMaxLineBytes = size_t{16} << 20;

// CR LF, a lone CR and a lone LF all end a line; a line break at the very end
// makes no extra empty line.
class LineReader {
 public:
  enum class Result { kLine, kEnd, kError };

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

 private:
  bool Fill();

  ByteSource& source_;
  std::vector<char> buffer_;
  size_t begin_ = 0;
  size_t end_ = 0;
  bool eof_ = false;
  long long line_number_ = 0;
  long long bytes_read_ = 0;
  std::string error_;
};

}  // namespace kestrova

#endif  // KESTROVA_OS_LINE_READER_H_
