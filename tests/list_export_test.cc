#include "listfile/list_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>

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
  EXPECT_EQ(JoinPath("/", "l.txt"), "/l.txt");
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
  const char* shown = nullptr;             // how the message shows the path, when not as it is
  bool read_only_mount = false;            // saved where the file system is mounted read-only
  bool descriptors_used_up = false;        // saved when no descriptor is left to open
};

// No temporary file of a save is left in `folder`.
void ExpectNoTemporaryFiles(const std::string& folder) {
  for (const auto& entry : std::filesystem::recursive_directory_iterator(testing::FsPath(folder))) {
    const std::string name = entry.path().filename().string();
    EXPECT_EQ(name.find(".kestrova-"), std::string::npos) << name;
    EXPECT_EQ(name.find(".txt."), std::string::npos) << name;
  }
}

// A failed save names the file and the reason, and leaves the old file whole
// with no temporary file beside it.
void ExpectFailedSavesLeaveFilesIntact(const TempDir& dir, const FailedSaveCase* begin,
                                       const FailedSaveCase* end) {
  for (const FailedSaveCase* c = begin; c != end; ++c) {
    SCOPED_TRACE(c->path);
    std::error_code no_such_name;
    const bool regular = std::filesystem::is_regular_file(testing::FsPath(c->path), no_such_name);
    const std::string before = regular ? ReadBytes(c->path) : "";
    // The messages of a save from the current path and one from the chooser.
    auto save = [c] {
      MainWindowModel model = ModelWith({"new", "list"});
      model.label1 = c->path;
      FakePlatform platform;
      platform.answers = {c->path};
      testing::LimitFileSize(c->file_size_limit);
      std::optional<testing::DescriptorsUsedUp> used_up;
      if (c->descriptors_used_up) used_up.emplace();
      SaveList(model, platform);
      SaveListAs(model, platform);
      used_up.reset();
      testing::LimitFileSize(0);
      EXPECT_EQ(model.label1, c->path);
      EXPECT_EQ(model.list1.Count(), 2);
      std::string messages;
      for (const std::string& message : platform.messages) messages += message + '\0';
      return messages;
    };
    std::string messages;
    if (c->read_only_mount) {
      const auto got = testing::InReadOnlyMount(dir.path(), save);
      if (!got) {
        std::printf("(no read-only mount on this system: %s left out)\n", c->path.c_str());
        continue;
      }
      messages = *got;
    } else {
      messages = save();
    }
    ASSERT_EQ(std::count(messages.begin(), messages.end(), '\0'), 2) << messages;
    for (size_t at = 0, next; (next = messages.find('\0', at)) != std::string::npos;
         at = next + 1) {
      const std::string message = messages.substr(at, next - at);
      EXPECT_NE(message.find(c->shown ? c->shown : c->path), std::string::npos) << message;
      EXPECT_NE(message.find(c->reason), std::string::npos) << message;
    }
    if (regular) {
      EXPECT_EQ(ReadBytes(c->path), before);
    }
  }
  ExpectNoTemporaryFiles(dir.path());
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
      // One byte past the longest name a folder takes.
      {dir.File(std::string(256, 'n')), "File name too long"},
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
  std::filesystem::create_symlink("fifo", dir.File("link-to-fifo"));
  // One link more than the system follows in a path.
  WriteBytes(dir.File("chain-0"), kOldBytes);
  for (int i = 1; i <= 41; ++i) {
    std::filesystem::create_symlink("chain-" + std::to_string(i - 1),
                                    dir.File("chain-" + std::to_string(i)));
  }
  ASSERT_TRUE(testing::MakeSocket(dir.File("socket")));
  WriteBytes(dir.File("limited.txt"), kOldBytes);
  WriteBytes(dir.File("on-read-only-disk.txt"), kOldBytes);
  const std::string full = testing::FullDevice(dir);
  ASSERT_FALSE(full.empty()) << "no full device that may safely be written";
  // Standard input is a file that a shell opened for reading only.
  WriteBytes(dir.File("input.txt"), kOldBytes);
  testing::StandardInputFrom input(dir.File("input.txt"), 0);
  const testing::PipeReader pipe;
  // A file this process holds open after it was deleted, named by a
  // descriptor's other name (which reads ".../held.txt (deleted)"), with and
  // without a file that bears the name the link reads.
  const std::string pid = std::to_string(testing::ProcessId());
  const auto held = [&](const char* name) {
    const int fd = testing::OpenAndDelete(dir.File(name));
    return "/proc/" + pid + "/task/" + pid + "/fd/" + std::to_string(fd);
  };
  WriteBytes(dir.File("decoy.txt (deleted)"), kOldBytes);
  const int plain_reader = testing::PlainPipeReader();
  const FailedSaveCase cases[] = {
      {dir.File("locked/list.txt"), "read-only"},
      {dir.File("fifo"), "Nothing is reading from the pipe"},
      {dir.File("link-to-fifo"), "Nothing is reading from the pipe"},
      {dir.File("socket"), "It is a socket, not a file"},
      {"/dev/fd/987", "Bad file descriptor"},  // no such descriptor is open
      {"/dev/fd/9870", "Bad file descriptor"},
      {"/dev/fd/4294967297", "Bad file descriptor"},  // past any descriptor's number
      {"/dev/fd/0", "It is open for reading only"},
      {"/dev/fd/" + std::to_string(pipe.reader()), "It is open for reading only"},
      {"/dev/fd/" + std::to_string(plain_reader), "It is open for reading only"},
      // Names that only look like a descriptor's: a folder, and no file.
      {"/dev/fd/", "It is a folder, not a file"},
      {"/proc/1", "It is a folder, not a file"},
      {"/dev/fd/1x", "the folder is read-only"},
      {dir.File("limited.txt/list.txt"), "Not a directory"},
      {held("held.txt"), "Its links do not lead to the file by name"},
      {held("decoy.txt"), "Its links do not lead to the file by name"},
      {dir.File("chain-41"), "Too many levels of symbolic links"},
      {full, "No space left on device"},
      // The temporary file exists when the write fails.
      {dir.File("limited.txt"), "File too large", 4},
      // A name in windows-1251 is shown readably ("Прокси", a missing folder).
      {dir.File("\xCF\xF0\xEE\xEA\xF1\xE8/list.txt"), "No such file or directory", 0,
       "/\xD0\x9F\xD1\x80\xD0\xBE\xD0\xBA\xD1\x81\xD0\xB8/list.txt"},
      // The disk is read-only, not the file or the folder.
      {dir.File("on-read-only-disk.txt"), "Read-only file system", 0, nullptr, true},
      {dir.File("new-on-read-only-disk.txt"), "Read-only file system", 0, nullptr, true},
      // No descriptor left: for the temporary file, the pipe, a duplicate.
      {dir.File("limited.txt"), "Too many open files", 0, nullptr, false, true},
      {dir.File("new-when-used-up.txt"), "Too many open files", 0, nullptr, false, true},
      {dir.File("fifo"), "Too many open files", 0, nullptr, false, true},
      {"/dev/fd/2", "Too many open files", 0, nullptr, false, true},
  };
  ExpectFailedSavesLeaveFilesIntact(dir, std::begin(cases), std::end(cases));
  EXPECT_EQ(ReadBytes(dir.File("locked/list.txt")), kOldBytes);
  EXPECT_EQ(ReadBytes(dir.File("limited.txt")), kOldBytes);
  EXPECT_EQ(ReadBytes(dir.File("on-read-only-disk.txt")), kOldBytes);
  EXPECT_EQ(ReadBytes(dir.File("input.txt")), kOldBytes);
  EXPECT_EQ(ReadBytes(dir.File("decoy.txt (deleted)")), kOldBytes);
  EXPECT_FALSE(std::filesystem::exists(dir.File("new-on-read-only-disk.txt")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("new-when-used-up.txt")));
  // Nothing that is not a plain file was replaced.
  EXPECT_TRUE(std::filesystem::is_fifo(dir.File("fifo")));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link-to-fifo")));
  EXPECT_TRUE(std::filesystem::is_socket(dir.File("socket")));
}

// What cannot be replaced is written straight, as a shell's ">" writes it:
// a named pipe, directly or through a link, and the names the system hands
// out for a descriptor this process holds (a pipe here, as for
// "kestrova sift -o /dev/stdout" inside a pipeline).
TEST(ListExportTest, PosixOnly_PipesAreWrittenStraightAndLinksKept) {
  KESTROVA_POSIX_ONLY();
  TempDir dir;
  testing::PipeReader fifo(dir.File("fifo"));
  testing::PipeReader pipe;
  const std::string fd = std::to_string(pipe.writer());
  const std::string pid = std::to_string(testing::ProcessId());
  std::filesystem::create_symlink("fifo", dir.File("link-to-fifo"));
  std::filesystem::create_symlink("/proc/self/fd/" + fd, dir.File("link-to-descriptor"));
  const bool device = testing::MakeDeviceNode(dir.File("device"));
  std::filesystem::create_symlink("device", dir.File("link-to-device"));
  // A descriptor numbered with several digits.
  const int high = testing::DuplicateDescriptor(pipe.writer(), 345);
  const std::pair<std::string, testing::PipeReader*> cases[] = {
      {dir.File("fifo"), &fifo},
      {"/dev/fd/" + std::to_string(high), &pipe},
      {dir.File("link-to-fifo"), &fifo},
      {"/dev/fd/" + fd, &pipe},
      {"/proc/self/fd/" + fd, &pipe},
      {"/proc/" + pid + "/fd/" + fd, &pipe},
      {dir.File("link-to-descriptor"), &pipe},
      // Another name for the same descriptor, whose link reads "pipe:[...]".
      {"/proc/" + pid + "/task/" + pid + "/fd/" + fd, &pipe},
      // A device node of the test's own, where one can be made: it takes all.
      {dir.File("link-to-device"), nullptr},
  };
  for (const auto& [path, reader] : cases) {
    SCOPED_TRACE(path);
    if (!reader && !device) continue;
    MainWindowModel model = ModelWith({"1.2.3.4:80", path});
    model.label1 = path;
    FakePlatform platform;
    SaveList(model, platform);
    EXPECT_EQ(platform.messages, std::vector<std::string>{});
    if (reader) {
      EXPECT_EQ(reader->Drain(), "1.2.3.4:80\r\n" + path + "\r\n");
    }
  }
  EXPECT_TRUE(std::filesystem::is_fifo(dir.File("fifo")));
  EXPECT_EQ(std::filesystem::is_character_file(dir.File("device")), device);
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link-to-device")));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link-to-fifo")));
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link-to-descriptor")));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                          std::filesystem::directory_iterator()),
            device ? 5 : 4);
}

// Started with its standard input closed ("<&-"), the program is handed
// descriptor 0 for the next file it opens: that is a file like any other,
// and it is closed again when done with.
TEST(ListExportTest, PosixOnly_StandardInputClosed) {
  KESTROVA_POSIX_ONLY();
  TempDir dir;
  testing::PipeReader fifo(dir.File("fifo"));
  testing::PipeReader pipe;
  const std::string list = dir.File("list.txt");
  testing::StandardInputFrom closed("", 0);
  for (const std::string& path :
       {list, list, dir.File("fifo"), "/dev/fd/" + std::to_string(pipe.writer())}) {
    SCOPED_TRACE(path);
    MainWindowModel model = ModelWith({"1.2.3.4:80"});
    model.label1 = path;
    FakePlatform platform;
    SaveList(model, platform);
    EXPECT_EQ(platform.messages, std::vector<std::string>{});
  }
  EXPECT_EQ(fifo.Drain(), "1.2.3.4:80\r\n");
  EXPECT_EQ(pipe.Drain(), "1.2.3.4:80\r\n");
  {
    // A save that fails once its temporary file is open.
    MainWindowModel model = ModelWith({"1.2.3.4:80"});
    model.label1 = list;
    FakePlatform platform;
    testing::LimitFileSize(4);
    SaveList(model, platform);
    testing::LimitFileSize(0);
    EXPECT_EQ(platform.messages.size(), 1u);
  }
  MainWindowModel model;
  FakePlatform platform;
  ImportListFile(model, platform, list);
  EXPECT_EQ(platform.messages, std::vector<std::string>{});
  EXPECT_EQ(model.list1.Count(), 1);
  EXPECT_EQ(ReadBytes(list), "1.2.3.4:80\r\n");
  EXPECT_FALSE(testing::DescriptorIsOpen(0)) << "descriptor 0 was left open";
}

// A replacement given up is closed once: the number it held may be the next
// file's by then, and a second close would end that one.
TEST(FileIoTest, PosixOnly_AbandonedReplacementIsClosedOnce) {
  KESTROVA_POSIX_ONLY();
  TempDir dir;
  const std::string path = dir.File("list.txt");
  WriteBytes(path, kOldBytes);
  int next = -1;
  {
    FileReplacement file;
    std::string reason;
    ASSERT_TRUE(file.Begin(path, &reason)) << reason;
    file.Abandon();
    next = testing::OpenAndDelete(dir.File("next.txt"));
    file.Abandon();
  }
  EXPECT_TRUE(testing::DescriptorIsOpen(next));
  testing::CloseDescriptor(next);
  EXPECT_EQ(ReadBytes(path), kOldBytes);
  ExpectNoTemporaryFiles(dir.path());
}

// The file becomes a folder between the write and the rename: the rename
// fails, says why, and the temporary file goes. (Under Wine, ReplaceFileW
// puts the file in the folder's place; Windows itself is not checked here.)
TEST(FileIoTest, PosixOnly_FailedRenameIsToldAndLeavesNoTemporary) {
  KESTROVA_POSIX_ONLY();
  TempDir dir;
  const std::string path = dir.File("list.txt");
  WriteBytes(path, kOldBytes);
  FileReplacement file;
  std::string reason;
  ASSERT_TRUE(file.Begin(path, &reason)) << reason;
  ASSERT_TRUE(file.Write("1.2.3.4:80\r\n", &reason)) << reason;
  std::filesystem::remove(testing::FsPath(path));
  std::filesystem::create_directories(testing::FsPath(path + "/inside"));
  EXPECT_FALSE(file.Commit(&reason));
  EXPECT_FALSE(reason.empty());
  EXPECT_TRUE(std::filesystem::is_directory(testing::FsPath(path + "/inside")));
  ExpectNoTemporaryFiles(dir.path());
}

// A file is set aside under the first free name of 100; anything but a
// regular file stays where it is.
TEST(FileIoTest, PosixOnly_SetFileAside) {
  KESTROVA_POSIX_ONLY();
  TempDir dir;
  testing::MakeFifo(dir.File("fifo"));
  std::filesystem::create_symlink("loop", dir.File("loop"));
  const std::string full = dir.File("full.conf");
  WriteBytes(full, "x");
  WriteBytes(full + ".old", "taken");
  for (int n = 2; n <= 100; ++n) WriteBytes(full + ".old-" + std::to_string(n), "taken");
  const std::string two = dir.File("two.conf");
  WriteBytes(two, "x");
  WriteBytes(two + ".old", "taken");
  const struct {
    std::string path;
    std::string aside;  // empty: not set aside
    const char* reason;
  } rows[] = {
      {dir.File("a.conf"), "", "No such file or directory"},
      {dir.File("fifo"), "", "It is not a regular file"},
      {dir.File("loop"), "", "Too many levels of symbolic links"},
      {full, "", "File exists"},
      {two, two + ".old-2", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    std::string aside, reason;
    EXPECT_EQ(SetFileAside(row.path, "old", &aside, &reason), !row.aside.empty());
    EXPECT_EQ(aside, row.aside);
    EXPECT_NE(reason.find(row.reason), std::string::npos) << reason;
  }
  EXPECT_EQ(ReadBytes(two + ".old-2"), "x");
  EXPECT_FALSE(std::filesystem::exists(two));
  EXPECT_EQ(ReadBytes(full), "x");
  EXPECT_TRUE(std::filesystem::is_fifo(dir.File("fifo")));
}

// The longest names a folder takes work for Save and Save As alike: the
// temporary file has a short name of its own.
TEST(ListExportTest, LongestNamesAreSavedInPlaceAndFromTheChooser) {
  TempDir dir;
  for (const size_t length : {254u, 255u}) {
    const std::string path = dir.File(std::string(length - 4, 'n') + ".txt");
    SCOPED_TRACE(length);
    MainWindowModel model = ModelWith({"1.2.3.4:80"});
    FakePlatform platform;
    platform.answers = {path};
    SaveListAs(model, platform);
    EXPECT_EQ(ReadBytes(path), "1.2.3.4:80\r\n");
    model.label1 = path;
    model.list1.Set(0, "5.6.7.8:1");
    SaveList(model, platform);
    EXPECT_EQ(ReadBytes(path), "5.6.7.8:1\r\n");
    EXPECT_EQ(platform.messages, std::vector<std::string>{});
  }
  ExpectNoTemporaryFiles(dir.path());
}

TEST(ListExportTest, PosixOnly_SymbolicLinkIsWrittenThroughAndKeptWithItsMode) {
  KESTROVA_POSIX_ONLY();
  TempDir dir;
  using std::filesystem::perms;
  WriteBytes(dir.File("real.txt"), "old\r\n");
  std::filesystem::permissions(
      dir.File("real.txt"),
      perms::owner_read | perms::owner_write | perms::group_read | perms::others_exec);
  std::filesystem::create_symlink("real.txt", dir.File("link.txt"));
  MainWindowModel model = ModelWith({"1.2.3.4:80"});
  model.label1 = dir.File("link.txt");
  FakePlatform platform;
  SaveList(model, platform);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.txt")));
  EXPECT_EQ(ReadBytes(dir.File("real.txt")), "1.2.3.4:80\r\n");
  // As many links as the system follows in a path, written through.
  for (int i = 1; i <= 40; ++i) {
    std::filesystem::create_symlink(i == 1 ? "real.txt" : "chain-" + std::to_string(i - 1),
                                    dir.File("chain-" + std::to_string(i)));
  }
  model.label1 = dir.File("chain-40");
  model.list1.Set(0, "5.6.7.8:80");
  SaveList(model, platform);
  EXPECT_TRUE(platform.messages.empty());
  EXPECT_TRUE(std::filesystem::is_symlink(dir.File("chain-40")));
  EXPECT_EQ(ReadBytes(dir.File("real.txt")), "5.6.7.8:80\r\n");
  EXPECT_EQ(std::filesystem::status(dir.File("real.txt")).permissions(),
            perms::owner_read | perms::owner_write | perms::group_read | perms::others_exec);

  // A new file gets what any new file gets: 0666 less the umask.
  const std::pair<unsigned, unsigned> masks[] = {{022, 0644}, {077, 0600}, {002, 0664}, {0, 0666}};
  for (const auto& [mask, mode] : masks) {
    SCOPED_TRACE(mask);
    const std::string path = dir.File("new-" + std::to_string(mask) + ".txt");
    const std::string second = dir.File("new-" + std::to_string(mask) + "-2.txt");
    const unsigned before = testing::SetUmask(mask);
    platform.answers = {path, second};  // looking at the umask leaves it as it was
    SaveListAs(model, platform);
    SaveListAs(model, platform);
    testing::SetUmask(before);
    EXPECT_EQ(std::filesystem::status(path).permissions(), static_cast<perms>(mode));
    EXPECT_EQ(std::filesystem::status(second).permissions(), static_cast<perms>(mode));
  }
}

}  // namespace
}  // namespace kestrova
