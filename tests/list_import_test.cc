#include "listfile/list_import.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/test_support.h"

namespace kestrova {
namespace {

using testing::FakePlatform;
using testing::TempDir;
using testing::WriteBytes;

TEST(LooksLikeProxyTest, WorkedLines) {
  const std::pair<const char*, bool> cases[] = {
      {"12.34.56.78:80", true},
      {"1.2.3.4:80", true},
      {"123.45.67.89:80", true},
      {"99.1.2.3:80", true},
      {"300.1.2.3:80", true},
      {"990.1.2.3:80", false},
      {"12:80", false},
      {"www.host.example:80", true},
      {"WWW.HOST.EXAMPLE:80", false},
      {"proxy.example:80", false},
      {"", false},
      {"1", false},
      {"1.", true},
      {"www.", true},
      {"-1.2.3.4", true},
      {" 1.2", true},
      {"98.", true},
      {".5", false},  // a number, but its "." is character 1
      {"1234.5", false},
      {"98x.", true},
      {"99x.", false},
      {"99.x", true},
  };
  for (const auto& [line, passes] : cases) {
    // The line's end is its end: a "." after it counts for nothing.
    const std::string padded = std::string(line) + ".";
    EXPECT_EQ(LooksLikeProxy(std::string_view(padded).substr(0, padded.size() - 1)), passes)
        << "line '" << line << "'";
  }
}

struct ImportCase {
  const char* name;
  std::string bytes;
  int check1;
  std::vector<std::string> entries;
  std::string count;
};

TEST(ImportListFileTest, FileFormsGiveTheseEntries) {
  const ImportCase cases[] = {
      {"empty file", "", 0, {}, "0"},
      {"one empty line", "\r\n", 0, {""}, "0"},
      {"empty line then an entry", "\r\n1.2.3.4:80\r\n", 0, {"", "1.2.3.4:80"}, "2"},
      {"empty middle line", "a\r\n\r\nb\r\n", 0, {"a", "", "b"}, "3"},
      {"last line without break", "a\r\nb", 0, {"a", "b"}, "2"},
      {"lone CR ends a line", "a\rb\r", 0, {"a", "b"}, "2"},
      {"lone LF ends a line", "a\nb\nc\n", 0, {"a", "b", "c"}, "3"},
      {"mixed line ends", "a\r\nb\nc\rd", 0, {"a", "b", "c", "d"}, "4"},
      {"CR CR is an empty line", "a\r\rb", 0, {"a", "", "b"}, "3"},
      {"blanks are kept", "  1.2.3.4:80 \r\n", 0, {"  1.2.3.4:80 "}, "1"},
      {"NUL bytes are kept", std::string("1.2\0.3\r\n", 8), 0, {std::string("1.2\0.3", 6)}, "1"},
      {"test drops what does not look like an entry",
       "# header\r\n1.2.3.4:80 US\r\nwww.a.example:8080\r\nWWW.B:1\r\n\r\n300.1.1.1:3\r\n",
       1,
       {"1.2.3.4:80 US", "www.a.example:8080", "300.1.1.1:3"},
       "3"},
      {"test passes nothing", "abc\r\n\r\n", 1, {}, "0"},
  };
  for (const ImportCase& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string path = dir.File("list.txt");
    WriteBytes(path, c.bytes);
    MainWindowModel model;
    model.check1 = c.check1;
    FakePlatform platform;
    platform.answers = {path};
    OpenList(model, platform);
    EXPECT_EQ(model.list1.Items(), c.entries);
    EXPECT_EQ(model.label3, c.count);
    EXPECT_EQ(model.label1, path);
    EXPECT_TRUE(platform.messages.empty());
    EXPECT_EQ(platform.dialogs, std::vector<std::string>{"Open|All Files (*.txt)|*.txt"});
  }
}

TEST(ImportListFileTest, GaugeFollowsStoredEntriesAndKeepsItsValueForEmptyFile) {
  TempDir dir;
  WriteBytes(dir.File("a"), "1.1.1.1:1\r\n2.2.2.2:2\r\n");
  WriteBytes(dir.File("empty"), "");
  MainWindowModel model;
  FakePlatform platform;
  ImportListFile(model, platform, dir.File("a"));
  EXPECT_EQ(model.progress_bar2.value, 2);
  ImportListFile(model, platform, dir.File("empty"));
  EXPECT_EQ(model.progress_bar2.value, 2);
  EXPECT_EQ(model.list1.Count(), 0);
  EXPECT_EQ(model.label3, "0");
  EXPECT_EQ(model.label1, dir.File("empty"));
}

struct UnloadedCase {
  const char* name;
  std::string answer;
  const char* reason;  // empty: no message
};

// Cancel and unopenable files leave the user's list exactly as it was.
void ExpectNothingIsLost(const UnloadedCase& c) {
  SCOPED_TRACE(c.name);
  MainWindowModel model = testing::ModelWith({"keep me", "and me"});
  model.label1 = "/previous.txt";
  model.progress_bar1.value = 7;
  model.progress_bar2.value = 2;
  FakePlatform platform;
  platform.answers = {c.answer};
  OpenList(model, platform);
  EXPECT_EQ(model.list1.Items(), (std::vector<std::string>{"keep me", "and me"}));
  EXPECT_EQ(model.label3, "2");
  EXPECT_EQ(model.label1, "/previous.txt");
  EXPECT_EQ(model.progress_bar1.value, 7);
  EXPECT_EQ(model.progress_bar2.value, 2);
  if (*c.reason == '\0') {
    EXPECT_TRUE(platform.messages.empty());
  } else {
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_NE(platform.messages[0].find(c.answer), std::string::npos);
    EXPECT_NE(platform.messages[0].find(c.reason), std::string::npos);
  }
}

TEST(ImportListFileTest, NothingIsLostWhenNoFileIsLoaded) {
  TempDir dir;
  std::filesystem::create_directory(testing::FsPath(dir.File("folder")));
  const UnloadedCase cases[] = {
      {"cancel", "", ""},
      {"missing", dir.File("missing.txt"), "No such file or directory"},
      {"folder", dir.File("folder"), "folder"},
  };
  for (const UnloadedCase& c : cases) ExpectNothingIsLost(c);
}

TEST(ImportListFileTest, PosixOnly_PipesAndDevicesAreRefusedWithoutBlocking) {
  KESTROVA_POSIX_ONLY();
  TempDir dir;
  testing::MakeFifo(dir.File("fifo"));
  const UnloadedCase cases[] = {
      {"pipe without writer", dir.File("fifo"), "not a regular file"},
      {"endless device", "/dev/zero", "not a regular file"},
  };
  for (const UnloadedCase& c : cases) ExpectNothingIsLost(c);
}

std::string NumberedLines(int count) {
  std::string bytes;
  for (int i = 0; i < count; ++i) {
    bytes += std::to_string(i / 65536 % 256) + "." + std::to_string(i / 256 % 256) + "." +
             std::to_string(i % 256) + ".1:" + std::to_string(1000 + i % 50000) + "\r\n";
  }
  return bytes;
}

TEST(ImportListFileTest, CapacityStopsTheImportAndForgetsThePath) {
  struct Case {
    int lines;
    int check1;
    bool stops;
  } cases[] = {{kListCapacity, 0, false},
               {kListCapacity, 1, false},
               {kListCapacity + 1, 0, true},
               {kListCapacity + 1, 1, true},
               {1'000'000, 0, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    TempDir dir;
    std::string bytes = NumberedLines(c.lines);
    if (c.check1) bytes += "not an entry\r\n";  // at capacity, failing lines do not count
    WriteBytes(dir.File("big.txt"), bytes);
    MainWindowModel model;
    model.check1 = c.check1;
    model.label1 = "/previous.txt";
    FakePlatform platform;
    ImportListFile(model, platform, dir.File("big.txt"));
    EXPECT_EQ(model.list1.Count(), std::min(c.lines, kListCapacity));
    EXPECT_EQ(model.label3, std::to_string(model.list1.Count()));
    EXPECT_EQ(model.progress_bar2.value, model.list1.Count());
    EXPECT_EQ(model.list1.At(kListCapacity - 1).substr(0, 6), "0.127.");
    if (c.stops) {
      EXPECT_EQ(model.label1, "");
      ASSERT_EQ(platform.messages.size(), 1u);
      EXPECT_NE(platform.messages[0].find("32765"), std::string::npos);
      EXPECT_NE(platform.messages[0].find(dir.File("big.txt")), std::string::npos);
    } else {
      EXPECT_EQ(model.label1, dir.File("big.txt"));
      EXPECT_TRUE(platform.messages.empty());
    }
  }
}

struct ReadErrorCase {
  std::string path;
  int entries;
  const char* reason;
};

void ExpectReadErrorKeepsWhatWasRead(const ReadErrorCase& c) {
  SCOPED_TRACE(c.path);
  MainWindowModel model = testing::ModelWith({"old"});
  model.label1 = "/previous.txt";
  FakePlatform platform;
  ImportListFile(model, platform, c.path);
  EXPECT_EQ(model.list1.Count(), c.entries);
  EXPECT_EQ(model.label3, std::to_string(c.entries));
  EXPECT_EQ(model.label1, "");
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].find(c.reason), std::string::npos) << platform.messages[0];
}

TEST(ImportListFileTest, ReadErrorsKeepWhatWasReadAndSaySo) {
  TempDir dir;
  // 200 MB without a line break, made sparse so the test stays quick.
  const std::string huge = dir.File("huge.txt");
  WriteBytes(huge, "1.2.3.4:80\r\n");
  std::filesystem::resize_file(testing::FsPath(huge), 200 << 20);
  ExpectReadErrorKeepsWhatWasRead({huge, 1, "longer than 16 MiB"});
}

TEST(ImportListFileTest, PosixOnly_ProcMemFailsToRead) {
  KESTROVA_POSIX_ONLY();
  ExpectReadErrorKeepsWhatWasRead({"/proc/self/mem", 0, "Input/output error"});
}

TEST(ImportListFileTest, InvalidUtf8AndBinaryBytesLoadAsTheyAre) {
  TempDir dir;
  std::string bytes;
  for (int b = 0; b < 256; ++b) {
    if (b != '\r' && b != '\n') bytes += static_cast<char>(b);
  }
  bytes += "\r\n\xC3\x28\xFF\r\n";
  WriteBytes(dir.File("bin"), bytes);
  MainWindowModel model;
  FakePlatform platform;
  ImportListFile(model, platform, dir.File("bin"));
  ASSERT_EQ(model.list1.Count(), 2);
  EXPECT_EQ(model.list1.At(0).size(), 254u);
  EXPECT_EQ(model.list1.At(1), "\xC3\x28\xFF");
}

}  // namespace
}  // namespace kestrova
