#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/settings_file.h"
#include "options/options_file.h"
#include "options/options_panel.h"
#include "os/file_io.h"
#include "tests/test_support.h"

namespace kestrova {
namespace {

using testing::FakePlatform;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

TEST(OptionsFieldReaderTest, SplitsFieldsLikeTheFileIsRead) {
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"1\r\n2\r\n", {"1", "2"}},
      {"1,2\r\n3", {"1", "2", "3"}},
      {"  1\r\n", {"1"}},
      {"1 \r\n", {"1 "}},
      {"\r\n\r\nx", {"", "", "x"}},
      {"\"a, b\"\r\nc", {"a, b", "c"}},
      {"\"a\"tail,b", {"a", "b"}},
      {"\"open", {"open"}},
      {"a\rb\nc", {"a", "b", "c"}},
      {"a\r\n", {"a"}},
      {"", {}},
      {"   ", {""}},
  };
  for (const auto& [data, fields] : cases) {
    // The bytes after the data are never read, whatever they are.
    for (const std::string tail : {" ", "\""}) {
      const std::string padded = data + tail;
      OptionsFieldReader reader(std::string_view(padded).substr(0, data.size()));
      std::vector<std::string> got;
      std::string field;
      while (reader.Next(&field)) got.push_back(field);
      EXPECT_EQ(got, fields) << "data '" << data << "'";
    }
  }
}

struct ReadCase {
  const char* name;
  std::string bytes;
  bool complete;
  int checks[4];
  std::string tint;
};

TEST(ReadOptionsFileTest, FileVariants) {
  const ReadCase cases[] = {
      {"all on, blue", "1\r\n1\r\n1\r\n1\r\n\xD1\xE8\xED\xE8\xE9\r\n", true, {1, 1, 1, 1}, "Синий"},
      {"written form", "2\r\n2\r\n2\r\n1\r\n\xD1\xE5\xF0\xFB\xE9\r\n", true, {0, 0, 0, 1}, "Серый"},
      {"other values are off", "1\r\n0\r\n 1\r\n1x\r\nGreen\r\n", true, {1, 0, 1, 0}, "Green"},
      {"letter in line four",
       "1\r\n2\r\n1\r\nq\r\n\xD1\xE8\xED\xE8\xE9\r\n",
       true,
       {1, 0, 1, 0},
       "Синий"},
      {"three fields", "1\r\n2\r\n1\r\n", false, {1, 0, 1, 0}, "Серый"},
      {"four fields", "1\r\n2\r\n1\r\n1\r\n", false, {1, 0, 1, 1}, "Серый"},
      {"comma shifts fields",
       "1,1\r\n2\r\n2\r\n\xD1\xE8\xED\xE8\xE9\r\n",
       true,
       {1, 1, 0, 0},
       "Синий"},
      {"empty fifth line", "2\r\n2\r\n2\r\n2\r\n\r\n", true, {0, 0, 0, 0}, ""},
      {"quoted name",
       "1\r\n1\r\n1\r\n1\r\n\"\xD1\xE8\xED\xE8\xE9, x\"\r\n",
       true,
       {1, 1, 1, 1},
       "Синий, x"},
      {"name with comma reads to the comma",
       "2\r\n2\r\n2\r\n2\r\n\xD1\xE5\xF0\xFB\xE9,more\r\n",
       true,
       {0, 0, 0, 0},
       "Серый"},
      {"LF line ends", "1\n1\n2\n2\nRed\n", true, {1, 1, 0, 0}, "Red"},
      {"empty file", "", false, {0, 0, 0, 0}, "Серый"},
      {"NUL bytes",
       std::string("1\r\n\0\r\n1\r\n1\r\nx\0y\r\n", 17),
       true,
       {1, 0, 1, 1},
       "x"},  // shown up to the NUL
      {"the first MiB only",
       "2\r\n2\r\n2\r\n1\r\n" + std::string(1 << 20, 'x'),
       true,
       {0, 0, 0, 1},
       std::string((1 << 20) - 12, 'x')},
  };
  for (const ReadCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    WriteBytes(dir.File("opts"), c.bytes);
    MainWindowModel model;
    EXPECT_EQ(ReadOptionsFile(model, dir.File("opts")), c.complete);
    EXPECT_EQ((std::vector<int>{model.check1, model.check2, model.check3, model.check4}),
              std::vector<int>(c.checks, c.checks + 4));
    EXPECT_EQ(std::string(model.combo1_text.c_str()), c.tint);
  }
}

// Files that cannot be read fail at once, and nothing of the record changes.
void ExpectUnreadable(const std::string& path) {
  MainWindowModel model;
  EXPECT_FALSE(ReadOptionsFile(model, path)) << path;
  EXPECT_EQ(model.combo1_text, "Серый");
}

TEST(ReadOptionsFileTest, MissingFileOrFolderFails) {
  TempDir dir;
  for (const std::string& path : {std::string("/nonexistent/proxy_stup.pr"), dir.path()}) {
    ExpectUnreadable(path);
  }
}

TEST(ReadOptionsFileTest, PosixOnly_PipeWithNoWriterOrEndlessDeviceFails) {
  KESTROVA_POSIX_ONLY();
  TempDir dir;
  testing::MakeFifo(dir.File("fifo"));
  for (const std::string& path : {dir.File("fifo"), std::string("/dev/zero")}) {
    ExpectUnreadable(path);
  }
}

TEST(ReadOptionsFileTest, HugeGarbageFileIsReadQuickly) {
  TempDir dir;
  std::string garbage(10 << 20, 'z');
  WriteBytes(dir.File("opts"), "1\r\n1\r\n" + garbage);
  MainWindowModel model;
  EXPECT_FALSE(ReadOptionsFile(model, dir.File("opts")));
  EXPECT_EQ(model.check1, 1);
  EXPECT_EQ(model.check2, 1);
  EXPECT_EQ(model.check3, 0);
}

TEST(WriteOptionsFileTest, WritesTheNineteenByteExample) {
  TempDir dir;
  MainWindowModel model;
  model.check4 = 1;
  FakePlatform platform;
  const std::string path = dir.File("new/folder/proxy_stup.pr");
  ASSERT_TRUE(WriteOptionsFile(model, platform, path));
  EXPECT_EQ(ReadBytes(path), "2\r\n2\r\n2\r\n1\r\n\xD1\xE5\xF0\xFB\xE9\r\n");
}

TEST(WriteOptionsFileTest, RoundTripsEverySwitchAndName) {
  TempDir dir;
  const char* names[] = {"Серый",     "Красный", "Зеленый",     "Синий",
                         "Бирюзовый", "Золотой", "любой_текст", ""};
  for (int bits = 0; bits < 16; ++bits) {
    MainWindowModel model;
    model.check1 = bits & 1;
    model.check2 = bits >> 1 & 1;
    model.check3 = bits >> 2 & 1;
    model.check4 = bits >> 3 & 1;
    model.combo1_text = names[bits % 8];
    FakePlatform platform;
    ASSERT_TRUE(WriteOptionsFile(model, platform, dir.File("opts")));
    MainWindowModel back;
    back.combo1_text = "unset";
    ASSERT_TRUE(ReadOptionsFile(back, dir.File("opts")));
    EXPECT_EQ(back.check1, model.check1);
    EXPECT_EQ(back.check2, model.check2);
    EXPECT_EQ(back.check3, model.check3);
    EXPECT_EQ(back.check4, model.check4);
    EXPECT_EQ(back.combo1_text, model.combo1_text);
  }
}

TEST(WriteOptionsFileTest, TextOutsideTheCodePageBecomesQuestionMarks) {
  MainWindowModel model;
  model.combo1_text = "Синий 中";
  EXPECT_EQ(OptionsFileBytes(model), "2\r\n2\r\n2\r\n2\r\n\xD1\xE8\xED\xE8\xE9 ?\r\n");
}

struct WriteFailure {
  std::string path;
  const char* reason;
};

void ExpectWriteFailureNamed(const WriteFailure& c) {
  SCOPED_TRACE(c.path);
  MainWindowModel model;
  FakePlatform platform;
  EXPECT_FALSE(WriteOptionsFile(model, platform, c.path));
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].find(c.path), std::string::npos);
  EXPECT_NE(platform.messages[0].find(c.reason), std::string::npos) << platform.messages[0];
}

TEST(WriteOptionsFileTest, FailuresNameTheFileAndKeepTheOldOne) {
  TempDir dir;
  WriteBytes(dir.File("blocker"), "a file where a folder should be");
  WriteBytes(dir.File("readonly.pr"), "old");
  testing::SetReadOnly(dir.File("readonly.pr"));
  ExpectWriteFailureNamed({dir.File("blocker/proxy_stup.pr"), "Not a directory"});
  ExpectWriteFailureNamed({dir.File("readonly.pr"), "read-only"});
  EXPECT_EQ(ReadBytes(dir.File("readonly.pr")), "old");
}

TEST(WriteOptionsFileTest, PosixOnly_FullDeviceFails) {
  KESTROVA_POSIX_ONLY();
  TempDir dir;
  testing::MakeFifo(dir.File("fifo"));
  std::filesystem::create_symlink("fifo", dir.File("proxy_stup.pr"));
  const std::string full = testing::FullDevice(dir);
  if (!full.empty()) ExpectWriteFailureNamed({full, "No space left on device"});
  ExpectWriteFailureNamed({dir.File("proxy_stup.pr"), "Nothing is reading from the pipe"});
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("proxy_stup.pr")));
  EXPECT_TRUE(std::filesystem::is_fifo(dir.File("fifo")));
}

// The options file kept elsewhere through a link: to a pipe it is written
// straight, to a file of the longest legal name replaced; the link stays.
TEST(WriteOptionsFileTest, PosixOnly_LinkedFileIsWrittenThrough) {
  KESTROVA_POSIX_ONLY();
  const std::string bytes = "2\r\n2\r\n2\r\n2\r\n\xD1\xE5\xF0\xFB\xE9\r\n";
  TempDir dir;
  testing::PipeReader fifo(dir.File("fifo"));
  const std::string longest(255, 'p');
  WriteBytes(dir.File(longest), "old");
  const bool device = testing::MakeDeviceNode(dir.File("device"));
  const std::pair<std::string, testing::PipeReader*> targets[] = {
      {"fifo", &fifo}, {longest, nullptr}, {"device", nullptr}};
  for (const auto& [target, pipe] : targets) {
    SCOPED_TRACE(target);
    if (target == "device" && !device) continue;  // no right to make a device node here
    const std::string path = dir.File("proxy_stup.pr");
    std::filesystem::remove(path);
    std::filesystem::create_symlink(target, path);
    MainWindowModel model;
    FakePlatform platform;
    ASSERT_TRUE(WriteOptionsFile(model, platform, path)) << platform.messages[0];
    if (target != "device") {
      EXPECT_EQ(pipe ? pipe->Drain() : ReadBytes(dir.File(target)), bytes);
    }
    EXPECT_TRUE(std::filesystem::is_symlink(path));
  }
  EXPECT_TRUE(std::filesystem::is_fifo(dir.File("fifo")));
  EXPECT_EQ(std::filesystem::is_character_file(dir.File("device")), device);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(testing::FsPath(dir.path())),
                          std::filesystem::directory_iterator()),
            device ? 4 : 3);
}

TEST(OptionsFileLocationTest, UsersOwnFileFirstThenTheSharedOne) {
  TempDir dir;
  testing::SetEnv(testing::kConfigFolderVariable, dir.path());
  const std::string user = UserOptionsFilePath();
  EXPECT_EQ(user, JoinPath(JoinPath(dir.path(), "Kestrova"), "proxy_stup.pr"));
  const std::string shared = dir.File("shared.pr");
  struct Case {
    bool user_file, shared_file;
    std::string shared_path;
    std::string read;
  } cases[] = {
      {false, false, shared, user},
      {false, true, shared, shared},  // a file kept at the old place still works
      {true, true, shared, user},
      {false, true, "", user},  // no shared place on this system
  };
  for (const Case& c : cases) {
    std::filesystem::remove_all(testing::FsPath(dir.path()));
    std::filesystem::create_directories(testing::FsPath(ParentFolder(user)));
    if (c.user_file) WriteBytes(user, "1\r\n");
    if (c.shared_file) WriteBytes(shared, "1\r\n");
    EXPECT_EQ(OptionsFileToRead(user, c.shared_path), c.read);
  }
}

// As the XDG rules say, a configuration folder given as a relative path is
// ignored: the options and the settings stay in ~/.config.
TEST(OptionsFileLocationTest, PosixOnly_RelativeConfigFolderIsIgnored) {
  KESTROVA_POSIX_ONLY();
  TempDir dir;
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  const char* config = std::getenv("XDG_CONFIG_HOME");
  const std::string config_before = config ? config : "";
  testing::SetEnv("HOME", dir.path());
  const std::pair<std::string, std::string> cases[] = {
      {dir.File("config"), dir.File("config/Kestrova/")},
      {"config", dir.File(".config/Kestrova/")},
      {"./config", dir.File(".config/Kestrova/")},
      {"", dir.File(".config/Kestrova/")},
  };
  for (const auto& [variable, folder] : cases) {
    SCOPED_TRACE(variable);
    testing::SetEnv("XDG_CONFIG_HOME", variable);
    EXPECT_EQ(UserOptionsFilePath(), folder + "proxy_stup.pr");
    EXPECT_EQ(UserSettingsFilePath(), folder + "Kestrova.conf");
  }
  // With no home folder, the current one.
  testing::SetEnv("HOME", "");
  EXPECT_EQ(UserOptionsFilePath(), "./.config/Kestrova/proxy_stup.pr");
#ifndef _WIN32
  unsetenv("HOME");
  EXPECT_EQ(UserOptionsFilePath(), "./.config/Kestrova/proxy_stup.pr");
#endif
  testing::SetEnv("HOME", home);
  testing::SetEnv("XDG_CONFIG_HOME", config_before);
}

TEST(OptionsPanelTest, ViewsSwitchAndApplyPaintsAndSaves) {
  TempDir dir;
  MainWindowModel model;
  FakePlatform platform(dir.File("cfg/proxy_stup.pr"));
  ShowOptionsPanel(model);
  EXPECT_TRUE(model.frame1_visible);
  for (bool shown :
       {model.list1_visible, model.command1_visible, model.command2_visible, model.command3_visible,
        model.command4_visible, model.progress_bar1.visible, model.progress_bar2.visible}) {
    EXPECT_FALSE(shown);
  }
  model.combo1_text = "Зеленый";
  ApplyOptions(model, platform);
  EXPECT_FALSE(model.frame1_visible);
  for (bool shown :
       {model.list1_visible, model.command1_visible, model.command2_visible, model.command3_visible,
        model.command4_visible, model.progress_bar1.visible, model.progress_bar2.visible}) {
    EXPECT_TRUE(shown);
  }
  Rgb color;
  ASSERT_TRUE(testing::ColorAt(model.canvas, 100, 45, &color));
  EXPECT_EQ(color, (Rgb{25, 162, 16}));
  EXPECT_EQ(ReadBytes(dir.File("cfg/proxy_stup.pr")),
            "2\r\n2\r\n2\r\n2\r\n\xC7\xE5\xEB\xE5\xED\xFB\xE9\r\n");

  // An unknown name paints nothing over the green and is saved as typed.
  model.combo1_text = "серый";
  const auto revision = model.canvas.Revision();
  ApplyOptions(model, platform);
  EXPECT_EQ(model.canvas.Revision(), revision);
  EXPECT_EQ(ReadBytes(dir.File("cfg/proxy_stup.pr")),
            "2\r\n2\r\n2\r\n2\r\n\xF1\xE5\xF0\xFB\xE9\r\n");
}

}  // namespace
}  // namespace kestrova
