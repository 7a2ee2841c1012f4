#include "tests/test_support.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
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
