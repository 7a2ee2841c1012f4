#include "os/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "base/text_codec.h"

namespace kestrova {
namespace {

constexpr size_t kChunk = size_t{64} << 10;

std::string Reason(int err) { return std::strerror(err); }

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Opens a file for reading without blocking on a pipe, and refuses anything
// but a regular file.
int OpenRegularForReading(const std::string& path, std::string* reason, off_t* size = nullptr) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    *reason = Reason(errno);
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    *reason = S_ISDIR(st.st_mode) ? "It is a folder, not a file" : "It is not a regular file";
    ::close(fd);
    return -1;
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  if (size) *size = st.st_size;
  return fd;
}

// The superuser passes every access() check, so the write bits are looked
// at too: a file or folder marked read-only is never written.
bool Writable(const std::string& path, const struct stat& st) {
  return ::access(path.c_str(), W_OK) == 0 && (st.st_mode & 0222) != 0;
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

// Follows symbolic links to the file that is finally written, which may not
// exist yet. `st` and `exists` describe it.
bool ResolveTarget(std::string path, std::string* target, struct stat* st, bool* exists,
                   std::string* reason) {
  for (int hops = 0; hops < 40; ++hops) {
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
    path = link.front() == '/' ? link : FolderOf(path) + "/" + link;
  }
  *reason = Reason(ELOOP);
  return false;
}

mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

LineReader::~LineReader() { Close(); }

bool LineReader::Open(const std::string& path) {
  Close();
  off_t size = 0;
  fd_ = OpenRegularForReading(path, &error_, &size);
  if (fd_ < 0) return false;
  // A small file needs no large buffer; a growing one still gets more.
  buffer_.assign(static_cast<size_t>(std::clamp<off_t>(size + 1, 4096, kChunk)), '\0');
  begin_ = end_ = 0;
  eof_ = false;
  line_number_ = 0;
  error_.clear();
  return true;
}

void LineReader::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

bool LineReader::Fill() {
  if (begin_ > 0) {
    std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
    end_ -= begin_;
    begin_ = 0;
  }
  if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
  for (;;) {
    const ssize_t n = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      error_ = Reason(errno);
      return false;
    }
    if (n == 0) eof_ = true;
    end_ += static_cast<size_t>(n);
    return true;
  }
}

LineReader::Result LineReader::Next(std::string* line) {
  if (fd_ < 0) return Result::kEnd;
  size_t scanned = 0;  // bytes after begin_ known to hold no line break
  for (;;) {
    const char* data = buffer_.data();
    size_t k = begin_ + scanned;
    while (k < end_ && data[k] != '\n' && data[k] != '\r') ++k;
    if (k < end_) {
      // A CR at the end of the buffer may be the first half of CR LF.
      if (data[k] == '\r' && k + 1 == end_ && !eof_) {
        scanned = k - begin_;
        if (!Fill()) return Result::kError;
        continue;
      }
      line->assign(data + begin_, k - begin_);
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
      line->assign(data + begin_, end_ - begin_);
      begin_ = end_;
      ++line_number_;
      return Result::kLine;
    }
    if (!Fill()) return Result::kError;
  }
}

bool ReadFilePrefix(const std::string& path, size_t max_bytes, std::string* data,
                    std::string* reason) {
  const int fd = OpenRegularForReading(path, reason);
  if (fd < 0) return false;
  data->clear();
  char chunk[8192];
  while (data->size() < max_bytes) {
    const ssize_t n = ::read(fd, chunk, std::min(sizeof chunk, max_bytes - data->size()));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      *reason = Reason(errno);
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    data->append(chunk, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view data, std::string* reason) {
  std::string target;
  struct stat st {};
  bool exists = false;
  if (!ResolveTarget(path, &target, &st, &exists, reason)) return false;

  if (exists && S_ISDIR(st.st_mode)) {
    *reason = "It is a folder, not a file";
    return false;
  }
  if (exists && S_ISCHR(st.st_mode)) {
    // A device cannot be replaced; write straight to it.
    const int fd = ::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
      *reason = Reason(errno);
      return false;
    }
    const bool ok = WriteAll(fd, data, reason);
    ::close(fd);
    return ok;
  }
  if (exists && !S_ISREG(st.st_mode)) {
    *reason = "It is not a regular file";
    return false;
  }
  if (exists && !Writable(target, st)) {
    *reason = Reason(EACCES) + " (the file is read-only)";
    return false;
  }
  const std::string folder = FolderOf(target);
  struct stat folder_st {};
  if (::stat(folder.c_str(), &folder_st) != 0) {
    *reason = Reason(errno);
    return false;
  }
  if (!S_ISDIR(folder_st.st_mode)) {
    *reason = Reason(ENOTDIR);
    return false;
  }
  if (!Writable(folder, folder_st)) {
    *reason = Reason(EACCES) + " (the folder is read-only)";
    return false;
  }

  std::string temp = target + ".XXXXXX";
  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) {
    *reason = Reason(errno);
    return false;
  }
  // Keep the replaced file's owner and mode; best effort, as for any editor.
  (void)::fchmod(fd, exists ? (st.st_mode & 07777) : NewFileMode());
  if (exists) (void)::fchown(fd, st.st_uid, st.st_gid);
  bool ok = WriteAll(fd, data, reason);
  if (ok && ::fsync(fd) != 0) {
    *reason = Reason(errno);
    ok = false;
  }
  if (::close(fd) != 0 && ok) {
    *reason = Reason(errno);
    ok = false;
  }
  if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
    *reason = Reason(errno);
    ok = false;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return false;
  }
  const int dir_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd >= 0) {
    ::fsync(dir_fd);
    ::close(dir_fd);
  }
  return true;
}

bool MakeFolders(const std::string& dir, std::string* reason) {
  if (dir.empty()) return true;
  struct stat st {};
  if (::stat(dir.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return true;
    *reason = Reason(ENOTDIR);
    return false;
  }
  const std::string parent = FolderOf(dir);
  if (parent != dir && !MakeFolders(parent, reason)) return false;
  if (::mkdir(dir.c_str(), 0777) != 0 && errno != EEXIST) {
    *reason = Reason(errno);
    return false;
  }
  return true;
}

std::string DescribeFailure(std::string_view what, const std::string& path,
                            const std::string& reason) {
  std::string text(what);
  text += " \"" + EntryForDisplay(path) + "\":\n" + reason + ".";
  return text;
}

}  // namespace kestrova
