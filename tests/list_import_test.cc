#include "listfile/list_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "listfile/dropped_files.h"
#include "listfile/list_export.h"
#include "os/line_reader.h"
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
      const std::string& message = platform.messages[0];
      EXPECT_NE(message.find("32765"), std::string::npos);
      EXPECT_NE(message.find(dir.File("big.txt")), std::string::npos);
      // What cleans the whole file, with the switch the import used.
      const size_t sift =
          message.find(c.check1 ? "kestrova sift --only-entries " : "kestrova sift ");
      ASSERT_NE(sift, std::string::npos) << message;
      EXPECT_NE(message.find(dir.File("big.txt"), sift), std::string::npos) << message;
    } else {
      EXPECT_EQ(model.label1, dir.File("big.txt"));
      EXPECT_TRUE(platform.messages.empty());
    }
  }
}

// Bytes handed over in pieces of the given sizes, as a pipe hands them; the
// size is not known in advance.
class PiecesSource final : public ByteSource {
 public:
  PiecesSource(std::string_view bytes, std::vector<size_t> pieces)
      : rest_(bytes), pieces_(std::move(pieces)) {}
  std::ptrdiff_t Read(char* data, size_t size, std::string*) override {
    const size_t piece = pieces_[std::min(next_++, pieces_.size() - 1)];
    const size_t n = std::min({size, rest_.size(), piece});
    std::memcpy(data, rest_.data(), n);
    rest_.remove_prefix(n);
    return static_cast<std::ptrdiff_t>(n);
  }

 private:
  std::string_view rest_;
  std::vector<size_t> pieces_;  // the last one repeats
  size_t next_ = 0;
};

struct ReaderCase {
  const char* name;
  std::string bytes;
  std::vector<size_t> pieces;  // through the pipe
  std::vector<size_t> line_sizes;
  const char* error;  // empty: the end was reached
};

std::pair<std::vector<size_t>, std::string> ReadAll(ByteSource& source) {
  LineReader reader(source);
  std::vector<size_t> sizes;
  std::string_view line;
  for (;;) {
    switch (reader.Next(&line)) {
      case LineReader::Result::kLine:
        sizes.push_back(line.size());
        continue;
      case LineReader::Result::kEnd:
        // Every byte counted, as progress is told from the count.
        if (reader.SourceSize() >= 0) {
          EXPECT_EQ(reader.BytesRead(), reader.SourceSize());
        }
        return {sizes, ""};
      case LineReader::Result::kError:
        return {sizes, reader.Error()};
    }
  }
}

// The same bytes give the same lines, or the same error, whether they come
// whole from a file or in pieces through a pipe.
TEST(LineReaderTest, FileAndPipeGiveTheSameLines) {
  const size_t max = kMaxLineBytes;
  const std::string at_most(max, 'x');
  const ReaderCase cases[] = {
      {"CR at the end of a piece, its LF in the next", "a\r\nb\r\n", {2, 3, 1}, {1, 1}, ""},
      {"lone CR at the end of a piece", "a\rb", {2, 1}, {1, 1}, ""},
      {"CR CR across pieces is an empty line", "a\r\rb", {2, 1}, {1, 0, 1}, ""},
      {"a line of 16 MiB", at_most + "\r\nx", {65536}, {max, 1}, ""},
      {"a line of 16 MiB, CR LF split", at_most + "\r\nx", {max + 1, 1}, {max, 1}, ""},
      {"a last line of 16 MiB", "a\n" + at_most, {65536}, {1, max}, ""},
      {"one byte more", "a\n" + at_most + "x\r\nb", {65536}, {1}, "Line 2 is longer than 16 MiB"},
      {"one byte more, last", at_most + "x", {65536}, {}, "Line 1 is longer than 16 MiB"},
  };
  for (const ReaderCase& c : cases) {
    SCOPED_TRACE(c.name);
    MemorySource file(c.bytes);
    PiecesSource pipe(c.bytes, c.pieces);
    for (ByteSource* source : {static_cast<ByteSource*>(&file), static_cast<ByteSource*>(&pipe)}) {
      const auto [sizes, error] = ReadAll(*source);
      EXPECT_EQ(sizes, c.line_sizes);
      EXPECT_EQ(error.substr(0, std::strlen(c.error)), c.error);
      EXPECT_EQ(error.empty(), *c.error == '\0');
    }
  }
}

// The standard input as a shell hands it over: a file part read already, or
// a device; only a regular file has a size, and it counts what is left.
TEST(LineReaderTest, PosixOnly_StandardInput) {
  KESTROVA_POSIX_ONLY();
  TempDir dir;
  WriteBytes(dir.File("in.txt"), "skip\nabc\r\ndef");
  const struct {
    std::string path;
    long long offset, size;
    std::vector<size_t> line_sizes;
  } cases[] = {
      {dir.File("in.txt"), 5, 8, {3, 3}},
      {dir.File("in.txt"), 0, 13, {4, 3, 3}},
      {"/dev/null", 0, -1, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path + " from " + std::to_string(c.offset));
    testing::StandardInputFrom from(c.path, c.offset);
    InputFile input;
    input.OpenStandardInput();
    EXPECT_EQ(input.Size(), c.size);
    const auto [sizes, error] = ReadAll(input);
    EXPECT_EQ(sizes, c.line_sizes);
    EXPECT_EQ(error, "");
    // Not closed when done with: it is the shell's, and whatever comes next may read on.
    input.Close();
    EXPECT_TRUE(testing::DescriptorIsOpen(0));
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

TEST(SiftCommandForTest, PosixOnly_SwitchesAndAQuotedName) {
  KESTROVA_POSIX_ONLY();
  MainWindowModel model;
  EXPECT_EQ(SiftCommandFor(model, "/l/big list.txt"),
            "kestrova sift '/l/big list.txt' -o clean.txt");
  model.check1 = model.check2 = model.check3 = model.check4 = 1;
  EXPECT_EQ(SiftCommandFor(model, "/l/it's.txt"),
            "kestrova sift --only-entries --drop-host-names --only-www --drop-repeats "
            "'/l/it'\\''s.txt' -o clean.txt");
}

TEST(DroppedFilesTest, FirstLocalFileByTheBytesOfItsName) {
  const std::pair<const char*, std::string> cases[] = {
      {"file:///tmp/a.txt\r\n", "/tmp/a.txt"},
      {"# a comment\r\nhttps://example.com/l.txt\r\nfile:///b%20c.txt\r\nfile:///d\r\n",
       "/b c.txt"},
      {"file://localhost/x.txt", "/x.txt"},
      {"FILE://LocalHost/x.txt\n", "/x.txt"},
      {"file:///%CF%F0%EE%EA%F1%E8.txt", "/\xCF\xF0\xEE\xEA\xF1\xE8.txt"},  // windows-1251
      {"file:///%d0%bf.txt", "/\xD0\xBF.txt"},
      {"file:///a.txt#part", "/a.txt"},
      {"file://elsewhere/x.txt\r\nfile:///y.txt", "/y.txt"},
      {"file:///a%2", ""},
      {"file:///a%zz", ""},
      {"file:///a%4g", ""},
      {"file:///a%g4", ""},
      {"file:///a%41", "/aA"},
      {"file:///%30%39%4a%4F%af%Fa.txt", "/09JO\xAF\xFA.txt"},
      {"  file:///spaced.txt  \r\n", "/spaced.txt"},
      {"file:///a%00b", ""},
      {"file:relative.txt", ""},
      {"file://localhost", ""},  // a host and no path
      {"file://", ""},
      {"https://example.com/l.txt", ""},
      {"", ""},
  };
  for (const auto& [uri_list, path] : cases) EXPECT_EQ(FirstLocalFile(uri_list), path) << uri_list;
}

// The shared chooser starts where the last one was left, in this run or,
// for the first one of a run, in the last run; the very first time at home.
TEST(FileChooserTest, StartsWhereTheLastWasLeft) {
  TempDir dir;
  const std::string lists = dir.File("lists");
  const std::string home = dir.File("home");
  std::filesystem::create_directory(testing::FsPath(lists));
  std::filesystem::create_directory(testing::FsPath(home));
  const std::string today = lists + "/today.txt";
  WriteBytes(today, "1.2.3.4:80\r\n");
  struct Step {
    char command;  // O: File > Open, A: Save As, S: Save, N: a new run
    std::string answer;
  };
  struct Case {
    const char* name;
    const char* stored;  // the folder kept from an earlier run, or nullptr
    std::vector<Step> steps;
    std::vector<ChooserStart> starts;
    std::string kept;  // the folder in the store at the end
  } cases[] = {
      {"the very first time: home; after a cancel still there",
       nullptr,
       {{'O', ""}, {'A', ""}},
       {{home, ""}, {home, ""}},
       ""},
      {"after Open, Save As starts at that file",
       nullptr,
       {{'O', today}, {'A', ""}, {'O', ""}},
       {{home, ""}, {lists, "today.txt"}, {lists, ""}},
       lists},
      {"a file chosen in Save names the next",
       nullptr,
       {{'S', dir.File("out.txt")}, {'O', ""}},
       {{home, ""}, {dir.path(), "out.txt"}},
       dir.path()},
      {"a new run starts in the folder last used, with no name",
       nullptr,
       {{'O', today}, {'N', ""}, {'A', ""}},
       {{home, ""}, {lists, ""}},
       lists},
      {"a folder kept from an earlier run", "lists", {{'O', ""}}, {{lists, ""}}, lists},
      {"a kept folder since removed: home", "gone", {{'O', ""}}, {{home, ""}}, dir.File("gone")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakePlatform platform;
    platform.home = home;
    if (c.stored) platform.settings["Chooser/Folder"] = dir.File(c.stored);
    MainWindowModel model;
    for (const Step& step : c.steps) {
      if (step.command == 'N') {
        model = MainWindowModel();
        continue;
      }
      platform.answers = {step.answer};
      if (step.command == 'O') OpenList(model, platform);
      if (step.command == 'A') SaveListAs(model, platform);
      if (step.command == 'S') SaveList(model, platform);
    }
    ASSERT_EQ(platform.starts.size(), c.starts.size());
    for (size_t i = 0; i < c.starts.size(); ++i) {
      EXPECT_EQ(platform.starts[i].folder, c.starts[i].folder) << i;
      EXPECT_EQ(platform.starts[i].name, c.starts[i].name) << i;
    }
    // Its own section, never the window's placement.
    EXPECT_EQ(platform.settings.count("Settings/Folder"), 0u);
    EXPECT_EQ(platform.settings["Chooser/Folder"], c.kept);
    EXPECT_TRUE(platform.messages.empty());
  }
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
