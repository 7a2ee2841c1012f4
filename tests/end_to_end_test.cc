// Real published lists through the real window: open, sift, save, reopen.
// The expected lists come from a separate, regex-based reading of the files.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <regex>
#include <set>
#include <sstream>

#include "qt/main_window.h"
#include "tests/test_support.h"

namespace kestrova {
namespace {

using testing::FakePlatform;
using testing::ReadBytes;
using testing::TempDir;

std::vector<std::string> Lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string line;
  std::istringstream in(bytes);
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// "a.b.c.d:port notes" rows with every part at most 255, cut at the blank.
std::vector<std::string> NumericEntries(const std::vector<std::string>& lines, bool unique) {
  static const std::regex row(R"(^((\d+)\.(\d+)\.(\d+)\.(\d+):[^ ;]*)( .*)?$)");
  std::vector<std::string> out;
  std::set<std::string> seen;
  for (const std::string& line : lines) {
    std::smatch m;
    if (!std::regex_match(line, m, row)) continue;
    bool octets = true;
    for (int i = 2; i <= 5; ++i) octets = octets && std::stoi(m[i]) <= 255;
    if (!octets || (unique && !seen.insert(m[1]).second)) continue;
    out.push_back(m[1]);
  }
  return out;
}

class EndToEndTest : public ::testing::Test {
 protected:
  EndToEndTest() : platform(dir.File("proxy_stup.pr")), window(model, platform) { window.Start(); }
  void Trigger(const char* name) { window.findChild<QAction*>(name)->trigger(); }
  void Click(const char* name) { window.findChild<QAbstractButton*>(name)->click(); }
  std::string Count() { return window.findChild<QLabel*>("Label3")->text().toStdString(); }
  int Rows() { return window.findChild<QListView*>("List1")->model()->rowCount(); }

  TempDir dir;
  MainWindowModel model;
  FakePlatform platform;
  MainWindow window;
};

TEST_F(EndToEndTest, SampleListOpenSiftSaveReopen) {
  const std::string sample = std::string(KESTROVA_TEST_DATA) + "/proxy-list-sample.txt";
  const std::vector<std::string> lines = Lines(ReadBytes(sample));

  platform.answers = {sample};
  Trigger("mnuFileOpen");
  EXPECT_EQ(Count(), std::to_string(lines.size()));
  EXPECT_EQ(Rows(), static_cast<int>(lines.size()));

  Click("Command3");
  Click("Check4");
  Click("Command5");
  Click("Command4");
  const std::vector<std::string> expected = NumericEntries(lines, true);
  ASSERT_GT(expected.size(), 300u);
  EXPECT_EQ(model.list1.Items(), expected);
  EXPECT_EQ(Count(), std::to_string(expected.size()));
  EXPECT_EQ(Rows(), static_cast<int>(expected.size()));

  platform.answers = {dir.File("clean.txt")};
  Trigger("mnuFileSaveAs");
  Trigger("mnuFileClose");
  EXPECT_EQ(Rows(), 0);
  platform.answers = {dir.File("clean.txt")};
  Trigger("mnuFileOpen");
  EXPECT_EQ(model.list1.Items(), expected);
  EXPECT_TRUE(platform.messages.empty());
  // The sample itself is untouched: Save As never made the clean list current.
  EXPECT_EQ(window.findChild<QLabel*>("Label1")->text().toStdString(), dir.File("clean.txt"));
}

TEST_F(EndToEndTest, HistoryPastCapacityWithTestAndRepeats) {
  const std::string history = std::string(KESTROVA_TEST_DATA) + "/proxy-list-history.txt";
  const std::vector<std::string> lines = Lines(ReadBytes(history));
  ASSERT_EQ(lines.size(), 52719u);  // 52,718 line breaks and a last line without one

  Click("Check1");
  platform.answers = {history};
  Trigger("mnuFileOpen");
  ASSERT_EQ(platform.messages.size(), 1u);  // the file holds more than the list takes
  EXPECT_EQ(Count(), "32765");
  EXPECT_EQ(window.findChild<QLabel*>("Label1")->text(), "");

  Click("Check4");
  Click("Command4");
  // The first 32765 lines that look like entries, sifted without repeats.
  std::vector<std::string> taken;
  const std::regex short_number(R"(^\d{1,3}\.)");
  for (const std::string& line : lines) {
    const bool looks = line.rfind("www.", 0) == 0 || std::regex_search(line, short_number);
    if (looks && taken.size() < 32765) taken.push_back(line);
  }
  const std::vector<std::string> expected = NumericEntries(taken, true);
  EXPECT_EQ(model.list1.Items(), expected);
  EXPECT_EQ(Count(), std::to_string(expected.size()));

  // Save asks for a file, since the loaded list was cut short.
  platform.answers = {dir.File("sifted.txt")};
  Trigger("mnuFileSave");
  EXPECT_EQ(platform.dialogs.back(), "Save|All Files (*.txt)|*.txt");
  std::string written;
  for (const std::string& e : expected) written += e + "\r\n";
  EXPECT_EQ(ReadBytes(dir.File("sifted.txt")), written);
}

}  // namespace
}  // namespace kestrova
