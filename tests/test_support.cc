#include "tests/test_support.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace kestrova::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "kestrova-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  // Undo any read-only marks a test left, so the folder can go.
  for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(path_, ignored);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string FakePlatform::Answer(const std::string& title, const std::string& filter) {
  dialogs.push_back(title + "|" + filter);
  if (answers.empty()) return {};
  std::string answer = answers.front();
  answers.pop_front();
  return answer;
}

std::string FakePlatform::ChooseFileToOpen(const std::string& title, const std::string& filter) {
  return Answer(title, filter);
}

std::string FakePlatform::ChooseFileToSave(const std::string& title, const std::string& filter) {
  return Answer(title, filter);
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
