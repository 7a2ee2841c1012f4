// File access that never hangs on odd files and never leaves a half-written
// file behind. Failures come back as a reason the user can read.
#ifndef KESTROVA_OS_FILE_IO_H_
#define KESTROVA_OS_FILE_IO_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

// A line longer than this ends reading with an error: no list entry is that
// long, and it keeps a file without line breaks from filling memory.
inline constexpr size_t kMaxLineBytes = size_t{16} << 20;

// Reads a regular file line by line. CR LF, a lone CR and a lone LF all end
// a line; a line break at the very end makes no extra empty line.
class LineReader {
 public:
  enum class Result { kLine, kEnd, kError };

  LineReader() = default;
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;
  ~LineReader();

  // Refuses folders, pipes and devices, without blocking on any of them.
  bool Open(const std::string& path);
  Result Next(std::string* line);
  void Close();
  // Why Open or Next failed.
  const std::string& Error() const { return error_; }
  // Lines returned so far.
  long long LineNumber() const { return line_number_; }

 private:
  bool Fill();

  int fd_ = -1;
  std::vector<char> buffer_;
  size_t begin_ = 0;
  size_t end_ = 0;
  bool eof_ = false;
  long long line_number_ = 0;
  std::string error_;
};

// Reads at most `max_bytes` of a regular file. False, with `reason`, when the
// file cannot be opened or read.
bool ReadFilePrefix(const std::string& path, size_t max_bytes, std::string* data,
                    std::string* reason);

// Replaces the file at `path` with `data`. A regular file is written to a
// temporary file beside it and renamed over it, so a failure leaves the old
// file whole; a symbolic link is followed and kept; a character device
// (such as /dev/null) is written directly. A read-only file or folder is
// refused even for the superuser.
bool WriteFileAtomically(const std::string& path, std::string_view data, std::string* reason);

// Creates `dir` and its missing parents.
bool MakeFolders(const std::string& dir, std::string* reason);

// "<what> "<path>":\n<reason>." for a message box; the path shown as text.
std::string DescribeFailure(std::string_view what, const std::string& path,
                            const std::string& reason);

}  // namespace kestrova

#endif  // KESTROVA_OS_FILE_IO_H_
