// The one place where Kestrova meets the operating system: files, folders
// and the standard streams (and, in os/memory.h, large blocks of memory).
// os/posix.cc and os/windows.cc hold the two implementations; nothing else
// in the logic makes an operating-system call. Paths are bytes on POSIX and UTF-8 on Windows. A
// failure comes back as a reason the user can read.
#ifndef KESTROVA_OS_FILE_IO_H_
#define KESTROVA_OS_FILE_IO_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrova {

// Somewhere bytes come from: a file, standard input, or memory.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `size` bytes: the number read, 0 at the end, or -1 on a
  // failure, with the reason in `reason`.
  virtual std::ptrdiff_t Read(char* data, size_t size, std::string* reason) = 0;
  // The size of what is left to read when it is known in advance, else -1.
  virtual long long Size() const { return -1; }
};

// Somewhere bytes go: a file being replaced, standard output, or memory.
class ByteSink {
 public:
  virtual ~ByteSink() = default;
  virtual bool Write(std::string_view data, std::string* reason) = 0;
};

// Bytes already in memory.
class MemorySource final : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : rest_(bytes) {}
  std::ptrdiff_t Read(char* data, size_t size, std::string* reason) override;
  long long Size() const override { return static_cast<long long>(rest_.size()); }

 private:
  std::string_view rest_;
};

class MemorySink final : public ByteSink {
 public:
  bool Write(std::string_view data, std::string*) override {
    bytes.append(data);
    return true;
  }
  std::string bytes;
};

// A file, or standard input, open for reading.
class InputFile final : public ByteSource {
 public:
  enum class Accept {
    // Regular files only: folders, pipes and devices are refused without
    // blocking on any of them (the window must never hang).
    kRegularFiles,
    // Pipes and devices too, which may wait for data (a script expects
    // that); folders are still refused.
    kStreamsToo,
  };

  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  ~InputFile() override { Close(); }

  bool Open(const std::string& path, Accept accept, std::string* reason);
  void OpenStandardInput();
  std::ptrdiff_t Read(char* data, size_t size, std::string* reason) override;
  // The size of a regular file, else -1.
  long long Size() const override { return size_; }
  void Close();

 private:
  std::intptr_t handle_ = -1;  // a file descriptor, or a Windows handle
  bool owned_ = false;
  long long size_ = -1;
};

// Replaces a file whole or not at all, by the one rule for every file
// Kestrova writes. A regular file, named directly or through symbolic links,
// is written to a temporary file of its own short name (".kestrova-XXXXXX")
// in the same folder, which takes its place only on Commit: a failure at any
// point leaves the old file whole and nothing else behind, and the links
// stay links. What cannot be replaced is written straight, as a shell's ">"
// would: a character device, a named pipe, and a name for a descriptor this
// process holds ("/dev/stdout", "/dev/fd/N", "/proc/self/fd/N", a process
// substitution). A folder, a socket or anything else is refused, and so is a
// read-only file or folder, even for the superuser.
class FileReplacement final : public ByteSink {
 public:
  // Whether opening a named pipe may wait for a reader to come, as a shell's
  // ">" does; the window never waits, it says nothing is reading.
  enum class PipeWait { kNever, kForReader };

  FileReplacement() = default;
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;
  // Abandons a replacement that was not committed.
  ~FileReplacement() override { Abandon(); }

  bool Begin(const std::string& path, std::string* reason, PipeWait wait = PipeWait::kNever);
  bool Write(std::string_view data, std::string* reason) override;
  // Makes the written bytes the file's, durably.
  bool Commit(std::string* reason);
  // Removes the temporary file; the old file stays as it was.
  void Abandon();

 private:
  std::string target_;  // the file finally written, links resolved
  std::string temp_;    // empty when writing straight
  std::intptr_t handle_ = -1;
  bool target_exists_ = false;
};

enum class StandardStream { kOutput, kError };

// Standard output or standard error, written as bytes (UTF-8 text shows as
// such on a Windows console too).
class StandardSink final : public ByteSink {
 public:
  explicit StandardSink(StandardStream stream) : stream_(stream) {}
  bool Write(std::string_view data, std::string* reason) override;

 private:
  StandardStream stream_;
};

bool IsTerminal(StandardStream stream);

// Replaces the file at `path` with `data` (see FileReplacement).
bool WriteFileAtomically(const std::string& path, std::string_view data, std::string* reason);

// Reads at most `max_bytes` of a regular file. False, with `reason`, when the
// file cannot be opened or read.
bool ReadFilePrefix(const std::string& path, size_t max_bytes, std::string* data,
                    std::string* reason);

// Creates `dir` and its missing parents.
bool MakeFolders(const std::string& dir, std::string* reason);

// Whether anything (a file, a folder, a device) exists at `path`.
bool PathExists(const std::string& path);

// What stands at `path`, links followed.
enum class PathKind { kNothing, kRegularFile, kFolder, kOther };
PathKind KindOfPath(const std::string& path);

// Moves the regular file at `path` (links followed; the links stay) out of
// the way, to "<its name>.<tag>" in its folder, or "<its name>.<tag>-2" and
// so on: never over anything that exists. `aside` is the new name.
bool SetFileAside(const std::string& path, std::string_view tag, std::string* aside,
                  std::string* reason);

// The folder that holds `path`: "." for a bare name.
std::string ParentFolder(const std::string& path);
// `folder` and `name` joined with the platform's separator.
std::string JoinPath(const std::string& folder, std::string_view name);

// The user's own folder for program settings: $XDG_CONFIG_HOME or ~/.config
// on Linux, ~/Library/Preferences on macOS, %APPDATA% on Windows.
std::string UserConfigFolder();

// The program's arguments after its name, as paths are given to this layer
// (UTF-8 on Windows, whatever the console's code page).
std::vector<std::string> ProgramArguments(int argc, char** argv);

// Raises this process's limit of open descriptors to the most it may have,
// and returns that limit; -1 when there is none to keep to (Windows, whose
// sockets are not bounded by a descriptor table) or it cannot be told.
long long RaiseOpenFileLimit();

// "<what> "<path>":\n<reason>." for a message box; the path shown as text.
std::string DescribeFailure(std::string_view what, const std::string& path,
                            const std::string& reason);

}  // namespace kestrova

#endif  // KESTROVA_OS_FILE_IO_H_
