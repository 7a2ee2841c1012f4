// The operating-system layer on POSIX systems (Linux, macOS).
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#include "os/file_io.h"
#include "os/memory.h"

namespace kestrova {
namespace {

std::string Reason(int err) { return std::strerror(err); }

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

// Why `path` may not be written, or the empty text when it may. The
// superuser passes every access() check, so the write bits are looked at
// too: a file or folder marked read-only is never written. A read-only file
// system is named as such: the file is not at fault.
std::string WriteRefusal(const std::string& path, const struct stat& st, const char* what) {
  const bool allowed = ::access(path.c_str(), W_OK) == 0;
  // EROFS and the like: the reason is not the file's.
  if (!allowed && errno != EACCES && errno != EPERM) return Reason(errno);
  if (!allowed || (st.st_mode & 0222) == 0) {
    return Reason(EACCES) + " (the " + what + " is read-only)";
  }
  return {};
}

bool WriteAll(int fd, std::string_view data, std::string* reason) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      *reason = Reason(errno);
      return false;
    }
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// The descriptor of this process that `path` names ("/dev/fd/N",
// "/proc/self/fd/N", "/proc/<this process>/fd/N"), else -1.
int DescriptorNamed(std::string_view path) {
  auto take = [&path](std::string_view prefix) {
    if (!path.starts_with(prefix)) return false;
    path.remove_prefix(prefix.size());
    return true;
  };
  if (!take("/dev/fd/")) {
    const std::string own = std::to_string(::getpid()) + "/fd/";
    if (!take("/proc/") || !(take("self/fd/") || take("thread-self/fd/") || take(own))) return -1;
  }
  if (path.empty()) return -1;
  int number = 0;
  for (const char c : path) {
    if (c < '0' || c > '9') return -1;
    // A number past any descriptor's is still a descriptor's name: one that
    // is not open.
    number = number > 99'999'999 ? INT_MAX : number * 10 + (c - '0');
  }
  return number;
}

// Follows symbolic links to the file that is finally written, which may not
// exist yet. `st` and `exists` describe it. A name for one of this process's
// descriptors ends the walk: `descriptor` is its number, else -1.
bool ResolveTarget(std::string path, std::string* target, struct stat* st, bool* exists,
                   int* descriptor, std::string* reason) {
  // As many links as the system itself follows in a path (40), then the file.
  for (int hops = 0; hops <= 40; ++hops) {
    *descriptor = DescriptorNamed(path);
    if (*descriptor >= 0) return true;
    if (::lstat(path.c_str(), st) != 0) {
      if (errno != ENOENT) {
        *reason = Reason(errno);
        return false;
      }
      *exists = false;
      *target = path;
      return true;
    }
    if (!S_ISLNK(st->st_mode)) {
      *exists = true;
      *target = path;
      return true;
    }
    std::string link(4096, '\0');
    const ssize_t n = ::readlink(path.c_str(), link.data(), link.size());
    if (n < 0) {
      *reason = Reason(errno);
      return false;
    }
    link.resize(static_cast<size_t>(n));
    path = link.front() == '/' ? link : ParentFolder(path) + "/" + link;
  }
  *reason = Reason(ELOOP);
  return false;
}

// Another descriptor for what this process holds open as `number`, written
// where and as the holder writes (its offset, its appending).
int DuplicateForWriting(int number, std::string* reason) {
  const int flags = ::fcntl(number, F_GETFL);
  if (flags < 0) {
    *reason = Reason(errno);
    return -1;
  }
  if ((flags & O_ACCMODE) == O_RDONLY) {
    *reason = "It is open for reading only";
    return -1;
  }
  const int fd = ::fcntl(number, F_DUPFD_CLOEXEC, 0);
  if (fd < 0) *reason = Reason(errno);
  return fd;
}

// Opens what `path` names (`st`, links followed) to write straight to it: a
// device or a named pipe. Anything else but a regular file is refused.
int OpenStraight(const std::string& path, const struct stat& st, FileReplacement::PipeWait wait,
                 std::string* reason) {
  if (S_ISDIR(st.st_mode)) {
    *reason = "It is a folder, not a file";
    return -1;
  }
  if (S_ISSOCK(st.st_mode)) {
    *reason = "It is a socket, not a file";
    return -1;
  }
  if (!S_ISCHR(st.st_mode) && !S_ISFIFO(st.st_mode)) {
    *reason = "It is not a regular file";
    return -1;
  }
  const bool may_wait = S_ISFIFO(st.st_mode) && wait == FileReplacement::PipeWait::kForReader;
  const int fd =
      ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | (may_wait ? 0 : O_NONBLOCK));
  if (fd < 0) {
    *reason =
        errno == ENXIO && S_ISFIFO(st.st_mode) ? "Nothing is reading from the pipe" : Reason(errno);
    return -1;
  }
  // Opened: from now on writes wait for a slow reader instead of failing.
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  struct stat opened {};
  if (::fstat(fd, &opened) != 0 || (opened.st_mode & S_IFMT) != (st.st_mode & S_IFMT)) {
    ::close(fd);
    *reason = "It changed while it was being opened";
    return -1;
  }
  return fd;
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

bool InputFile::Open(const std::string& path, Accept accept, std::string* reason) {
  Close();
  // Without O_NONBLOCK a pipe with no writer would hang the window here.
  const int flags =
      O_RDONLY | O_CLOEXEC | O_NOCTTY | (accept == Accept::kRegularFiles ? O_NONBLOCK : 0);
  const int fd = ::open(path.c_str(), flags);
  if (fd < 0) {
    *reason = Reason(errno);
    return false;
  }
  struct stat st {};
  const bool stat_ok = ::fstat(fd, &st) == 0;
  const bool regular = stat_ok && S_ISREG(st.st_mode);
  if (!stat_ok || S_ISDIR(st.st_mode) || (!regular && accept == Accept::kRegularFiles)) {
    *reason =
        stat_ok && S_ISDIR(st.st_mode) ? "It is a folder, not a file" : "It is not a regular file";
    ::close(fd);
    return false;
  }
  if (flags & O_NONBLOCK) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  handle_ = fd;
  owned_ = true;
  size_ = regular ? static_cast<long long>(st.st_size) : -1;
  return true;
}

void InputFile::OpenStandardInput() {
  Close();
  handle_ = STDIN_FILENO;
  owned_ = false;
  struct stat st {};
  const off_t offset = ::lseek(STDIN_FILENO, 0, SEEK_CUR);
  if (::fstat(STDIN_FILENO, &st) == 0 && S_ISREG(st.st_mode) && offset >= 0) {
    size_ = static_cast<long long>(st.st_size - offset);
  }
}

std::ptrdiff_t InputFile::Read(char* data, size_t size, std::string* reason) {
  if (handle_ < 0) return 0;
  for (;;) {
    const ssize_t n = ::read(Fd(handle_), data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) *reason = Reason(errno);
    return n;
  }
}

void InputFile::Close() {
  if (handle_ >= 0 && owned_) ::close(Fd(handle_));
  handle_ = -1;
  owned_ = false;
  size_ = -1;
}

bool FileReplacement::Begin(const std::string& path, std::string* reason, PipeWait wait) {
  Abandon();
  struct stat st {};
  int descriptor = -1;
  if (!ResolveTarget(path, &target_, &st, &target_exists_, &descriptor, reason)) return false;
  if (descriptor >= 0) {
    const int fd = DuplicateForWriting(descriptor, reason);
    if (fd < 0) return false;
    handle_ = fd;
    return true;
  }
  // What opening the path reaches decides, links followed by the system: the
  // links it hands out for pipes ("pipe:[...]") lead nowhere by name.
  struct stat reached {};
  if (::stat(path.c_str(), &reached) == 0) {
    if (!S_ISREG(reached.st_mode)) {
      const int fd = OpenStraight(path, reached, wait, reason);
      if (fd < 0) return false;
      handle_ = fd;
      return true;
    }
    if (!target_exists_ || reached.st_dev != st.st_dev || reached.st_ino != st.st_ino) {
      *reason = "Its links do not lead to the file by name, so it cannot be replaced";
      return false;
    }
  } else if (errno != ENOENT) {
    *reason = Reason(errno);
    return false;
  }
  const bool exists = target_exists_;
  if (exists) {
    *reason = WriteRefusal(target_, st, "file");
    if (!reason->empty()) return false;
  }
  const std::string folder = ParentFolder(target_);
  struct stat folder_st {};
  if (::stat(folder.c_str(), &folder_st) != 0) {
    *reason = Reason(errno);
    return false;
  }
  if (!S_ISDIR(folder_st.st_mode)) {
    *reason = Reason(ENOTDIR);
    return false;
  }
  *reason = WriteRefusal(folder, folder_st, "folder");
  if (!reason->empty()) return false;
  // A short name of its own, so a target name of any legal length works.
  std::string temp = JoinPath(folder, ".kestrova-XXXXXX");
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    *reason = Reason(errno);
    return false;
  }
  handle_ = fd;
  temp_ = temp;
  // Keep the replaced file's owner and mode; best effort, as for any editor.
  (void)::fchmod(fd, exists ? (st.st_mode & 07777) : NewFileMode());
  if (exists && ::fchown(fd, st.st_uid, st.st_gid) != 0) {
    // Not permitted to give it the old owner: it stays the writer's.
  }
  return true;
}

bool FileReplacement::Write(std::string_view data, std::string* reason) {
  return WriteAll(Fd(handle_), data, reason);
}

bool FileReplacement::Commit(std::string* reason) {
  const int fd = Fd(handle_);
  handle_ = -1;
  bool ok = true;
  if (!temp_.empty() && ::fsync(fd) != 0) {
    *reason = Reason(errno);
    ok = false;
  }
  if (::close(fd) != 0 && ok) {
    *reason = Reason(errno);
    ok = false;
  }
  if (temp_.empty()) return ok;
  if (ok && ::rename(temp_.c_str(), target_.c_str()) != 0) {
    *reason = Reason(errno);
    ok = false;
  }
  if (!ok) {
    Abandon();
    return false;
  }
  temp_.clear();
  const int dir_fd = ::open(ParentFolder(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd >= 0) {
    ::fsync(dir_fd);
    ::close(dir_fd);
  }
  return true;
}

void FileReplacement::Abandon() {
  if (handle_ >= 0) ::close(Fd(handle_));
  handle_ = -1;
  if (!temp_.empty()) ::unlink(temp_.c_str());
  temp_.clear();
}

bool StandardSink::Write(std::string_view data, std::string* reason) {
  return WriteAll(stream_ == StandardStream::kOutput ? STDOUT_FILENO : STDERR_FILENO, data, reason);
}

bool IsTerminal(StandardStream stream) {
  return ::isatty(stream == StandardStream::kOutput ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

bool MakeFolders(const std::string& dir, std::string* reason) {
  if (dir.empty()) return true;
  struct stat st {};
  if (::stat(dir.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return true;
    *reason = Reason(ENOTDIR);
    return false;
  }
  const std::string parent = ParentFolder(dir);
  if (parent != dir && !MakeFolders(parent, reason)) return false;
  if (::mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) {
    *reason = Reason(errno);
    return false;
  }
  return true;
}

bool PathExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

PathKind KindOfPath(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0)
    return errno == ENOENT ? PathKind::kNothing : PathKind::kOther;
  if (S_ISREG(st.st_mode)) return PathKind::kRegularFile;
  return S_ISDIR(st.st_mode) ? PathKind::kFolder : PathKind::kOther;
}

bool SetFileAside(const std::string& path, std::string_view tag, std::string* aside,
                  std::string* reason) {
  std::string file;
  struct stat st {};
  bool exists = false;
  int descriptor = -1;
  if (!ResolveTarget(path, &file, &st, &exists, &descriptor, reason)) return false;
  if (descriptor >= 0 || !exists || !S_ISREG(st.st_mode)) {
    *reason = exists ? "It is not a regular file" : Reason(ENOENT);
    return false;
  }
  for (int n = 1; n <= 100; ++n) {
    std::string name = file + ".";
    name += tag;
    if (n > 1) name += '-' + std::to_string(n);
    // A hard link never replaces what exists; the old name then goes.
    if (::link(file.c_str(), name.c_str()) == 0) {
      if (::unlink(file.c_str()) != 0) {
        *reason = Reason(errno);
        ::unlink(name.c_str());
        return false;
      }
      *aside = name;
      return true;
    }
    if (errno == EEXIST) continue;
    if (errno != EPERM && errno != EOPNOTSUPP && errno != EMLINK && errno != ENOSYS) {
      *reason = Reason(errno);
      return false;
    }
    // A file system without hard links: rename, having looked first.
    struct stat taken {};
    if (::lstat(name.c_str(), &taken) == 0) continue;
    if (::rename(file.c_str(), name.c_str()) != 0) {
      *reason = Reason(errno);
      return false;
    }
    *aside = name;
    return true;
  }
  *reason = Reason(EEXIST);
  return false;
}

std::string ParentFolder(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string JoinPath(const std::string& folder, std::string_view name) {
  if (folder.empty() || folder.back() == '/') return folder + std::string(name);
  return folder + "/" + std::string(name);
}

std::string UserConfigFolder() {
  const char* home = std::getenv("HOME");
  const std::string home_folder = home && *home ? home : ".";
#ifdef __APPLE__
  return home_folder + "/Library/Preferences";
#else
  // As the XDG rules say: a relative XDG_CONFIG_HOME is ignored.
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && *xdg == '/') return xdg;
  return home_folder + "/.config";
#endif
}

std::vector<std::string> ProgramArguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

#if defined(__SANITIZE_ADDRESS__)
#define KESTROVA_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KESTROVA_ADDRESS_SANITIZER 1
#endif
#endif

#ifdef KESTROVA_ADDRESS_SANITIZER
// The address sanitizer watches the heap, not pages mapped by hand: under it,
// large blocks come from the heap, so a stray access in a table is caught.
LargeBlock::LargeBlock(size_t bytes) : size_(bytes) {
  if (bytes == 0) return;
  data_ = std::calloc(bytes, 1);
  if (!data_) throw std::bad_alloc();
}

LargeBlock::~LargeBlock() { std::free(data_); }
#else
LargeBlock::LargeBlock(size_t bytes) : size_(bytes) {
  if (bytes == 0) return;
  data_ = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (data_ == MAP_FAILED) {
    data_ = nullptr;
    throw std::bad_alloc();
  }
#ifdef MADV_HUGEPAGE
  if (bytes >= (size_t{2} << 20)) ::madvise(data_, bytes, MADV_HUGEPAGE);
#endif
}

LargeBlock::~LargeBlock() {
  if (data_) ::munmap(data_, size_);
}
#endif

long long RaiseOpenFileLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return -1;
  if (limit.rlim_cur < limit.rlim_max) {
    rlimit raised = limit;
    raised.rlim_cur = limit.rlim_max;
    if (setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
  }
  if (limit.rlim_cur == RLIM_INFINITY || limit.rlim_cur > LLONG_MAX) return -1;
  return static_cast<long long>(limit.rlim_cur);
}

}  // namespace kestrova
