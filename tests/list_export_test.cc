#include "listfile/list_export.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "listfile/list_import.h"
#include "tests/test_support.h"

namespace kestrova {
namespace {

using testing::FakePlatform;
using testing::ModelWith;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

TEST(ListFileBytesTest, EveryEntryIsWrittenWithCrLf) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{}, "\r\n"},
      {{""}, "\r\n"},
      {{"a", "", "b"}, "a\r\n\r\nb\r\n"},  // an empty entry no longer cuts the file short
      {{"", "a", "b"}, "\r\na\r\nb\r\n"},
      {{" x ", "\xFF\xFE"}, " x \r\n\xFF\xFE\r\n"},
  };
  for (const auto& [entries, bytes] : cases) {
    EXPECT_EQ(ListFileBytes(ModelWith(entries).list1), bytes);
  }
}

TEST(ListExportTest, LoadSaveLoadKeepsEveryByte) {
  const std::string files[] = {
      "1.2.3.4:80\r\nwww.a.example:1 x\r\n",
      std::string("\xCF\xF0\xEE\xEA\xF1\xE8\r\n\0\x01\r\n", 12),
      "a\r\n\r\nb\r\n",
  };
  for (const std::string& bytes : files) {
    TempDir dir;
    WriteBytes(dir.File("in.txt"), bytes);
    MainWindowModel model;
    FakePlatform platform;
    ImportListFile(model, platform, dir.File("in.txt"));
    SaveList(model, platform);
    EXPECT_EQ(ReadBytes(dir.File("in.txt")), bytes);
    EXPECT_TRUE(platform.messages.empty());
  }
}

TEST(ListExportTest, EmptyListWritesOneEmptyLineThatLoadsBackAsCountZero) {
  TempDir dir;
  MainWindowModel model;
  FakePlatform platform;
  platform.answers = {dir.File("out.txt")};
  SaveListAs(model, platform);
  EXPECT_EQ(ReadBytes(dir.File("out.txt")), "\r\n");
  ImportListFile(model, platform, dir.File("out.txt"));
  EXPECT_EQ(model.list1.Items(), std::vector<std::string>{""});
  EXPECT_EQ(model.label3, "0");
}

TEST(ListExportTest, CurrentPathRulesAcrossSaveSaveAsAndClose) {
  TempDir dir;
  WriteBytes(dir.File("opened.txt"), "1.1.1.1:1\r\n2.2.2.2:2\r\n3.3.3.3:3\r\n");
  MainWindowModel model;
  FakePlatform platform;
  ImportListFile(model, platform, dir.File("opened.txt"));
  model.list1.Set(0, "9.9.9.9:9");

  platform.answers = {dir.File("other.txt")};
  SaveListAs(model, platform);
  EXPECT_EQ(model.label1, dir.File("opened.txt"));
  SaveList(model, platform);  // no dialog: goes to the opened file
  EXPECT_EQ(platform.dialogs.size(), 1u);
  EXPECT_EQ(ReadBytes(dir.File("opened.txt")), ReadBytes(dir.File("other.txt")));

  model.progress_bar1.value = 5;
  model.progress_bar2.value = 3;
  CloseList(model);
  EXPECT_EQ(model.list1.Count(), 0);
  EXPECT_EQ(model.label3, "0");
  EXPECT_EQ(model.label1, dir.File("opened.txt"));
  EXPECT_EQ(model.progress_bar1.value, 5);
  EXPECT_EQ(model.progress_bar2.value, 3);
  SaveList(model, platform);
  EXPECT_EQ(ReadBytes(dir.File("opened.txt")), "\r\n");

  // Longer old text is replaced, not overwritten in place.
  EXPECT_EQ(std::filesystem::file_size(dir.File("opened.txt")), 2u);
}

TEST(ListExportTest, WithoutCurrentFileSaveAsksEveryTimeAndForgets) {
  TempDir dir;
  MainWindowModel model = ModelWith({"1.2.3.4:5"});
  FakePlatform platform;
  platform.answers = {dir.File("a.txt"), "", dir.File("b.txt")};
  SaveList(model, platform);
  SaveList(model, platform);  // cancelled: nothing written
  SaveList(model, platform);
  EXPECT_EQ(platform.dialogs, std::vector<std::string>(3, "Save|All Files (*.txt)|*.txt"));
  EXPECT_EQ(ReadBytes(dir.File("a.txt")), "1.2.3.4:5\r\n");
  EXPECT_EQ(ReadBytes(dir.File("b.txt")), "1.2.3.4:5\r\n");
  EXPECT_EQ(model.label1, "");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            2);
}

// A failed save names the file and the reason, and leaves the old file whole.
TEST(ListExportTest, FailedSavesLeaveTheOldFileIntact) {
  TempDir dir;
  const std::string old_bytes = "old\r\ncontent\r\n";
  WriteBytes(dir.File("readonly.txt"), old_bytes);
  chmod(dir.File("readonly.txt").c_str(), 0444);
  mkdir(dir.File("locked").c_str(), 0755);
  WriteBytes(dir.File("locked/list.txt"), old_bytes);
  chmod(dir.File("locked").c_str(), 0555);
  mkdir(dir.File("folder").c_str(), 0755);
  mkfifo(dir.File("fifo").c_str(), 0644);
  struct Case {
    std::string path;
    const char* reason;
  } cases[] = {
      {dir.File("missing/list.txt"), "No such file or directory"},
      {dir.File("readonly.txt"), "read-only"},
      {dir.File("locked/list.txt"), "read-only"},
      {dir.File("folder"), "folder"},
      {dir.File("fifo"), "not a regular file"},
      {"/dev/full", "No space left on device"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    MainWindowModel model = ModelWith({"new", "list"});
    model.label1 = c.path;
    FakePlatform platform;
    platform.answers = {c.path};
    SaveList(model, platform);    // from the current path
    SaveListAs(model, platform);  // from the chooser
    ASSERT_EQ(platform.messages.size(), 2u);
    for (const std::string& message : platform.messages) {
      EXPECT_NE(message.find(c.path), std::string::npos) << message;
      EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
    EXPECT_EQ(model.label1, c.path);
    EXPECT_EQ(model.list1.Count(), 2);
  }
  EXPECT_EQ(ReadBytes(dir.File("readonly.txt")), old_bytes);
  EXPECT_EQ(ReadBytes(dir.File("locked/list.txt")), old_bytes);
  // No temporary file is left behind anywhere.
  for (const char* folder : {"", "locked"}) {
    for (auto& entry : std::filesystem::directory_iterator(dir.File(folder))) {
      EXPECT_EQ(entry.path().filename().string().find(".txt."), std::string::npos);
    }
  }
}

TEST(ListExportTest, SymbolicLinkIsWrittenThroughAndKept) {
  TempDir dir;
  WriteBytes(dir.File("real.txt"), "old\r\n");
  chmod(dir.File("real.txt").c_str(), 0640);
  ASSERT_EQ(symlink("real.txt", dir.File("link.txt").c_str()), 0);
  MainWindowModel model = ModelWith({"1.2.3.4:80"});
  model.label1 = dir.File("link.txt");
  FakePlatform platform;
  SaveList(model, platform);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.txt")));
  EXPECT_EQ(ReadBytes(dir.File("real.txt")), "1.2.3.4:80\r\n");
  struct stat st {};
  stat(dir.File("real.txt").c_str(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
}

}  // namespace
}  // namespace kestrova
