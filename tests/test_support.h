// Helpers shared by the tests: a scripted platform and private temp folders.
#ifndef KESTROVA_TESTS_TEST_SUPPORT_H_
#define KESTROVA_TESTS_TEST_SUPPORT_H_

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "ui/platform.h"
#include "ui/ui_model.h"

namespace kestrova::testing {

// A folder of its own for each test, removed afterwards; parallel runs of
// the suite never share one.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);

// Answers file choosers from a queue and records what the commands asked.
class FakePlatform : public Platform {
 public:
  explicit FakePlatform(std::string options_path = "") : options_path_(std::move(options_path)) {}

  std::string ChooseFileToOpen(const std::string& title, const std::string& filter) override;
  std::string ChooseFileToSave(const std::string& title, const std::string& filter) override;
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  std::optional<std::string> ReadSetting(const std::string& section,
                                         const std::string& key) override;
  void WriteSetting(const std::string& section, const std::string& key,
                    const std::string& value) override;
  std::string OptionsFilePath() override { return options_path_; }

  std::deque<std::string> answers;   // the next chooser results; empty = cancel
  std::vector<std::string> dialogs;  // "<title>|<filter>" of each chooser shown
  std::vector<std::string> messages;
  std::map<std::string, std::string> settings;  // "section/key" -> value
  int setting_writes = 0;

 private:
  std::string Answer(const std::string& title, const std::string& filter);
  std::string options_path_;
};

// A model holding `entries`, with the count written as the commands do.
MainWindowModel ModelWith(const std::vector<std::string>& entries);

}  // namespace kestrova::testing

#endif  // KESTROVA_TESTS_TEST_SUPPORT_H_
