#include "tests/test_support.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#ifndef _WIN32
#include <fcntl.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#endif

namespace kestrova::testing {

std::filesystem::path FsPath(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

TempDir::TempDir() {
  // A random name, created exclusively: parallel runs never share a folder.
  std::random_device device;
  std::mt19937_64 random(
      device() ^
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("kestrova-test-" + std::to_string(random() % 1000000000));
    if (std::filesystem::create_directory(path)) {
      const std::u8string utf8 = path.u8string();
      path_.assign(utf8.begin(), utf8.end());
      return;
    }
  }
  throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Undo any read-only marks a test left, so the folder can go.
  for (auto& entry : std::filesystem::recursive_directory_iterator(FsPath(path_), ignored)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::permissions(FsPath(path_), std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(FsPath(path_), ignored);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(FsPath(path), std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(FsPath(path), std::ios::binary) << bytes;
}

void SetReadOnly(const std::string& path, bool read_only) {
  using std::filesystem::perms;
  std::filesystem::permissions(
      FsPath(path), perms::owner_write | perms::group_write | perms::others_write,
      read_only ? std::filesystem::perm_options::remove : std::filesystem::perm_options::add);
}

void SetEnv(const char* name, const std::string& value) {
#ifdef _WIN32
  _putenv_s(name, value.c_str());
#else
  setenv(name, value.c_str(), 1);
#endif
}

bool MakeFifo(const std::string& path) {
#ifdef _WIN32
  (void)path;
  return false;
#else
  return mkfifo(path.c_str(), 0644) == 0;
#endif
}

void LimitFileSize(unsigned long long bytes) {
#ifndef _WIN32
  std::signal(SIGXFSZ, bytes ? SIG_IGN : SIG_DFL);
  rlimit limit{};
  getrlimit(RLIMIT_FSIZE, &limit);
  limit.rlim_cur = bytes ? bytes : limit.rlim_max;
  setrlimit(RLIMIT_FSIZE, &limit);
#else
  (void)bytes;
#endif
}

#ifndef _WIN32
bool MakeSocket(const std::string& path) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  // Left open: the socket lives as long as the test process.
  return fd >= 0 && bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
         listen(fd, 1) == 0;
}

bool MakeDeviceNode(const std::string& path) {
  return mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
}

std::string FullDevice(const TempDir& dir) {
  const std::string own = dir.File("full");
  if (mknod(own.c_str(), S_IFCHR | 0666, makedev(1, 7)) == 0) {
    const int fd = open(own.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd >= 0) {
      close(fd);
      return own;
    }
    unlink(own.c_str());  // a folder mounted without devices
  }
  return access("/dev", W_OK) != 0 ? "/dev/full" : "";
}

unsigned SetUmask(unsigned mask) { return umask(static_cast<mode_t>(mask)); }

int ProcessId() { return static_cast<int>(getpid()); }

PipeReader::PipeReader(const std::string& fifo) {
  if (!fifo.empty()) {
    if (MakeFifo(fifo)) reader_ = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    return;
  }
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) == 0) {
    reader_ = ends[0];
    writer_ = ends[1];
    fcntl(reader_, F_SETFL, O_NONBLOCK);
  }
}

PipeReader::~PipeReader() {
  if (reader_ >= 0) close(reader_);
  if (writer_ >= 0) close(writer_);
}

std::string PipeReader::Drain() {
  std::string bytes;
  char chunk[4096];
  ssize_t n;
  while ((n = read(reader_, chunk, sizeof chunk)) > 0) bytes.append(chunk, static_cast<size_t>(n));
  return bytes;
}

StandardOutputTo::StandardOutputTo(const PipeReader& pipe) { Take(dup(pipe.writer())); }

StandardOutputTo::StandardOutputTo(const std::string& path) {
  Take(open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
}

void StandardOutputTo::Take(int fd) {
  std::fflush(stdout);
  saved_ = dup(STDOUT_FILENO);
  dup2(fd, STDOUT_FILENO);
  close(fd);
}

StandardOutputTo::~StandardOutputTo() {
  std::fflush(stdout);
  dup2(saved_, STDOUT_FILENO);
  close(saved_);
}

StandardInputFrom::StandardInputFrom(const std::string& path, long long offset) {
  saved_ = dup(STDIN_FILENO);
  if (path.empty()) {
    close(STDIN_FILENO);
    return;
  }
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  lseek(fd, static_cast<off_t>(offset), SEEK_SET);
  dup2(fd, STDIN_FILENO);
  close(fd);
}

StandardInputFrom::~StandardInputFrom() {
  dup2(saved_, STDIN_FILENO);
  close(saved_);
}

bool DescriptorIsOpen(int fd) { return fcntl(fd, F_GETFD) != -1; }
void CloseDescriptor(int fd) { close(fd); }

int DuplicateDescriptor(int fd, int lowest) { return fcntl(fd, F_DUPFD_CLOEXEC, lowest); }

int OpenAndDelete(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  unlink(path.c_str());
  return fd;
}

int PlainPipeReader() {
  int ends[2] = {-1, -1};
  if (pipe2(ends, O_CLOEXEC) != 0) return -1;
  return ends[0];
}

DescriptorsUsedUp::DescriptorsUsedUp() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return;
  saved_limit_ = static_cast<long long>(limit.rlim_cur);
  // A few above the highest open now, so only a few need taking.
  int highest = 2;
  for (int fd = 3; fd < 1024; ++fd) {
    if (fcntl(fd, F_GETFD) >= 0) highest = fd;
  }
  limit.rlim_cur = static_cast<rlim_t>(highest + 8);
  if (setrlimit(RLIMIT_NOFILE, &limit) != 0) return;
  for (;;) {
    const int fd = open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (fd < 0) break;
    taken_.push_back(fd);
  }
}

DescriptorsUsedUp::~DescriptorsUsedUp() {
  for (const int fd : taken_) close(fd);
  if (saved_limit_ < 0) return;
  rlimit limit{};
  getrlimit(RLIMIT_NOFILE, &limit);
  limit.rlim_cur = static_cast<rlim_t>(saved_limit_);
  setrlimit(RLIMIT_NOFILE, &limit);
}

GuardedText::GuardedText(std::string_view text, bool guard_before) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  const size_t data_pages = (text.size() + page - 1) / page + 1;
  size_ = (data_pages + 2) * page;
  void* pages = mmap(nullptr, size_, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (pages == MAP_FAILED) throw std::runtime_error("no memory for a guarded text");
  pages_ = pages;
  char* data = static_cast<char*>(pages) + page;
  mprotect(data, data_pages * page, PROT_READ | PROT_WRITE);
  char* at = guard_before ? data : data + data_pages * page - text.size();
  if (!text.empty()) std::memcpy(at, text.data(), text.size());
  view_ = std::string_view(at, text.size());
}

GuardedText::~GuardedText() {
  if (pages_) munmap(pages_, size_);
}

PseudoTerminal::PseudoTerminal() : master_(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC)) {
  if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) name_ = ptsname(master_);
}

PseudoTerminal::~PseudoTerminal() {
  if (master_ >= 0) close(master_);
}

std::optional<std::string> InReadOnlyMount(const std::string& folder,
                                           const std::function<std::string()>& body) {
  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return std::nullopt;
  const pid_t child = fork();
  if (child == 0) {
    close(ends[0]);
    // The superuser needs only a mount namespace; anyone else a user
    // namespace too, where the system allows one.
    const bool apart = unshare(CLONE_NEWNS) == 0 || unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0;
    const bool read_only =
        apart && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
        mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
        mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0;
    std::string result = read_only ? "+" : "-";
    if (read_only) result += body();
    (void)!write(ends[1], result.data(), result.size());
    _exit(0);
  }
  close(ends[1]);
  std::string result;
  char chunk[4096];
  ssize_t n;
  while ((n = read(ends[0], chunk, sizeof chunk)) > 0) result.append(chunk, static_cast<size_t>(n));
  close(ends[0]);
  int status = 0;
  waitpid(child, &status, 0);
  if (child < 0 || result.empty() || result[0] != '+') return std::nullopt;
  return result.substr(1);
}
#else
bool MakeSocket(const std::string&) { return false; }
bool MakeDeviceNode(const std::string&) { return false; }
std::string FullDevice(const TempDir&) { return ""; }
unsigned SetUmask(unsigned) { return 0; }
int ProcessId() { return 0; }
PipeReader::PipeReader(const std::string&) {}
PipeReader::~PipeReader() = default;
std::string PipeReader::Drain() { return {}; }
StandardOutputTo::StandardOutputTo(const PipeReader&) {}
StandardOutputTo::StandardOutputTo(const std::string&) {}
StandardOutputTo::~StandardOutputTo() = default;
StandardInputFrom::StandardInputFrom(const std::string&, long long) {}
StandardInputFrom::~StandardInputFrom() = default;
PseudoTerminal::PseudoTerminal() {}
PseudoTerminal::~PseudoTerminal() = default;
bool DescriptorIsOpen(int) { return false; }
int DuplicateDescriptor(int, int) { return -1; }
GuardedText::GuardedText(std::string_view text, bool) : copy_(text), view_(copy_) {}
GuardedText::~GuardedText() = default;
DescriptorsUsedUp::DescriptorsUsedUp() = default;
DescriptorsUsedUp::~DescriptorsUsedUp() = default;
void CloseDescriptor(int) {}
int OpenAndDelete(const std::string&) { return -1; }
int PlainPipeReader() { return -1; }
std::optional<std::string> InReadOnlyMount(const std::string&,
                                           const std::function<std::string()>&) {
  return std::nullopt;
}
#endif

bool ColorAt(const Canvas& canvas, int x, int y, Rgb* color) {
  const std::vector<CanvasLine> lines = canvas.Lines();
  for (auto l = lines.rbegin(); l != lines.rend(); ++l) {
    if (l->y1 == y && l->y2 == y && x >= std::min(l->x1, l->x2) && x <= std::max(l->x1, l->x2)) {
      *color = l->color;
      return true;
    }
  }
  return false;
}

std::string FakePlatform::Answer(const std::string& title, const std::string& filter,
                                 const ChooserStart& start) {
  dialogs.push_back(title + "|" + filter);
  starts.push_back(start);
  if (answers.empty()) return {};
  std::string answer = answers.front();
  answers.pop_front();
  return answer;
}

std::string FakePlatform::ChooseFileToOpen(const std::string& title, const std::string& filter,
                                           const ChooserStart& start) {
  return Answer(title, filter, start);
}

std::string FakePlatform::ChooseFileToSave(const std::string& title, const std::string& filter,
                                           const ChooserStart& start) {
  return Answer(title, filter, start);
}

std::optional<std::string> FakePlatform::ReadSetting(const std::string& section,
                                                     const std::string& key) {
  auto it = settings.find(section + "/" + key);
  if (it == settings.end()) return std::nullopt;
  return it->second;
}

void FakePlatform::WriteSetting(const std::string& section, const std::string& key,
                                const std::string& value) {
  settings[section + "/" + key] = value;
  ++setting_writes;
}

MainWindowModel ModelWith(const std::vector<std::string>& entries) {
  MainWindowModel model;
  model.list1.Assign(entries);
  model.SetCount(static_cast<long long>(entries.size()));
  return model;
}

}  // namespace kestrova::testing
