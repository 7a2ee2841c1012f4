#include "listfile/list_export.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "listfile/list_import.h"
#include "os/file_io.h"
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
  const std::pair<const char*, std::string> files[] = {
      {"in.txt", "1.2.3.4:80\r\nwww.a.example:1 x\r\n"},
      {"in.txt", std::string("\xCF\xF0\xEE\xEA\xF1\xE8\r\n\0\x01\r\n", 12)},
      {"in.txt", "a\r\n\r\nb\r\n"},
      {"список прокси.txt", "5.6.7.8:3128\r\n"},
  };
  for (const auto& [name, bytes] : files) {
    TempDir dir;
    WriteBytes(dir.File(name), bytes);
    MainWindowModel model;
    FakePlatform platform;
    ImportListFile(model, platform, dir.File(name));
    SaveList(model, platform);
    EXPECT_EQ(ReadBytes(dir.File(name)), bytes);
    EXPECT_TRUE(platform.messages.empty());
    // Saved in place: one file, under its own name.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(testing::FsPath(dir.path())),
                            std::filesystem::directory_iterator()),
              1);
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
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            2);
}

// Folders of paths as each system writes them; roots stay roots.
TEST(FileIoTest, PathsOnThisSystem) {
#ifdef _WIN32
  const std::pair<const char*, const char*> parents[] = {
      {"C:\\Lists\\list.txt", "C:\\Lists"},
      {"C:\\list.txt", "C:\\"},
      {"C:/Lists/list.txt", "C:/Lists"},
      {"\\\\server\\share\\l.txt", "\\\\server\\share"},
      {"list.txt", "."}};
  EXPECT_EQ(JoinPath("C:\\Lists", "l.txt"), "C:\\Lists\\l.txt");
#else
  const std::pair<const char*, const char*> parents[] = {
      {"/home/u/list.txt", "/home/u"}, {"/list.txt", "/"}, {"list.txt", "."}};
  EXPECT_EQ(JoinPath("/home/u", "l.txt"), "/home/u/l.txt");
#endif
  for (const auto& [path, parent] : parents) EXPECT_EQ(ParentFolder(path), parent) << path;
  // The system's own separators all the way, drive letter first on Windows.
  TempDir dir;
  const std::string path = JoinPath(dir.path(), "список.txt");
  std::string reason;
  ASSERT_TRUE(WriteFileAtomically(path, "1.2.3.4:80\r\n", &reason)) << reason;
  ASSERT_TRUE(WriteFileAtomically(path, "5.6.7.8:80\r\n", &reason)) << reason;
  EXPECT_EQ(ReadBytes(path), "5.6.7.8:80\r\n");
}

struct FailedSaveCase {
  std::string path;
  const char* reason;
  unsigned long long file_size_limit = 0;  // none
};

// A failed save names the file and the reason, and leaves the old file whole
// with no temporary file beside it.
void ExpectFailedSavesLeaveFilesIntact(const TempDir& dir, const FailedSaveCase* begin,
                                       const FailedSaveCase* end) {
  for (const FailedSaveCase* c = begin; c != end; ++c) {
    SCOPED_TRACE(c->path);
    const bool regular = std::filesystem::is_regular_file(testing::FsPath(c->path));
    const std::string before = regular ? ReadBytes(c->path) : "";
    MainWindowModel model = ModelWith({"new", "list"});
    model.label1 = c->path;
    FakePlatform platform;
    platform.answers = {c->path};
    testing::LimitFileSize(c->file_size_limit);
    SaveList(model, platform);    // from the current path
    SaveListAs(model, platform);  // from the chooser
    testing::LimitFileSize(0);
    ASSERT_EQ(platform.messages.size(), 2u);
    for (const std::string& message : platform.messages) {
      EXPECT_NE(message.find(c->path), std::string::npos) << message;
      EXPECT_NE(message.find(c->reason), std::string::npos) << message;
    }
    EXPECT_EQ(model.label1, c->path);
    EXPECT_EQ(model.list1.Count(), 2);
    if (regular) {
      EXPECT_EQ(ReadBytes(c->path), before);
    }
  }
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(testing::FsPath(dir.path()))) {
    EXPECT_EQ(entry.path().filename().string().find(".txt."), std::string::npos);
  }
}

const char kOldBytes[] = "old\r\ncontent\r\n";

TEST(ListExportTest, FailedSavesLeaveTheOldFileIntact) {
  TempDir dir;
  WriteBytes(dir.File("readonly.txt"), kOldBytes);
  testing::SetReadOnly(dir.File("readonly.txt"));
  std::filesystem::create_directory(testing::FsPath(dir.File("folder")));
  const FailedSaveCase cases[] = {
      {dir.File("missing/list.txt"), "No such file or directory"},
      {dir.File("readonly.txt"), "read-only"},
      {dir.File("folder"), "folder"},
  };
  ExpectFailedSavesLeaveFilesIntact(dir, std::begin(cases), std::end(cases));
  EXPECT_EQ(ReadBytes(dir.File("readonly.txt")), kOldBytes);
}

TEST(ListExportTest, PosixOnly_LockedFoldersPipesDevicesAndSizeLimits) {
  KESTROVA_POSIX_ONLY();
  TempDir dir;
  std::filesystem::create_directory(testing::FsPath(dir.File("locked")));
  WriteBytes(dir.File("locked/list.txt"), kOldBytes);
  testing::SetReadOnly(dir.File("locked"));
  testing::MakeFifo(dir.File("fifo"));
  WriteBytes(dir.File("limited.txt"), kOldBytes);
  const FailedSaveCase cases[] = {
      {dir.File("locked/list.txt"), "read-only"},
      {dir.File("fifo"), "not a regular file"},
      {"/dev/full", "No space left on device"},
      // The temporary file exists when the write fails.
      {dir.File("limited.txt"), "File too large", 4},
  };
  ExpectFailedSavesLeaveFilesIntact(dir, std::begin(cases), std::end(cases));
  EXPECT_EQ(ReadBytes(dir.File("locked/list.txt")), kOldBytes);
  EXPECT_EQ(ReadBytes(dir.File("limited.txt")), kOldBytes);
}

TEST(ListExportTest, PosixOnly_SymbolicLinkIsWrittenThroughAndKeptWithItsMode) {
  KESTROVA_POSIX_ONLY();
  TempDir dir;
  using std::filesystem::perms;
  WriteBytes(dir.File("real.txt"), "old\r\n");
  std::filesystem::permissions(dir.File("real.txt"),
                               perms::owner_read | perms::owner_write | perms::group_read);
  std::filesystem::create_symlink("real.txt", dir.File("link.txt"));
  MainWindowModel model = ModelWith({"1.2.3.4:80"});
  model.label1 = dir.File("link.txt");
  FakePlatform platform;
  SaveList(model, platform);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.txt")));
  EXPECT_EQ(ReadBytes(dir.File("real.txt")), "1.2.3.4:80\r\n");
  EXPECT_EQ(std::filesystem::status(dir.File("real.txt")).permissions(),
            perms::owner_read | perms::owner_write | perms::group_read);
}

}  // namespace
}  // namespace kestrova
