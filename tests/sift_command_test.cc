#include "app/sift_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>

#include "app/command_line.h"
#include "base/spelling.h"
#include "listfile/list_export.h"
#include "listfile/list_import.h"
#include "os/file_io.h"
#include "sift/sift_list.h"
#include "sift/strict_entry.h"
#include "tests/test_support.h"

namespace kestrova {
namespace {

using testing::FakePlatform;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

struct SiftRun {
  int status;
  std::string out;
  std::string errors;
};

SiftRun Sift(const std::vector<std::string>& args, std::string_view input = "",
             bool terminal = false) {
  MemorySource in(input);
  MemorySink out;
  MemorySink errors;
  const int status = RunSiftCommand(args, {in, out, errors, terminal});
  return {status, out.bytes, errors.bytes};
}

// What the window writes: File > Open of `path`, the switches as `bits`
// (Check1 to Check4), "Отсеить", then File > Save As.
std::string ThroughTheWindow(const TempDir& dir, const std::string& path, int bits) {
  MainWindowModel model;
  model.check1 = bits & 1;
  model.check2 = bits >> 1 & 1;
  model.check3 = bits >> 2 & 1;
  model.check4 = bits >> 3 & 1;
  FakePlatform platform;
  platform.answers = {path, dir.File("window.txt")};
  OpenList(model, platform);
  SiftList(model);
  SaveListAs(model, platform);
  EXPECT_TRUE(platform.messages.empty());
  return ReadBytes(dir.File("window.txt"));
}

std::vector<std::string> SwitchArgs(int bits) {
  std::vector<std::string> args;
  const char* names[] = {"--only-entries", "--drop-host-names", "--only-www", "--drop-repeats"};
  for (int i = 0; i < 4; ++i) {
    if (bits >> i & 1) args.push_back(names[i]);
  }
  return args;
}

// Lines of every kind the scan tells apart, with every kind of line end and
// many repeats.
std::string RandomList(std::mt19937& random) {
  const char* pieces[] = {"1.2.3.4:80",
                          "10.0.0.1:3128 US-N +",
                          "256.1.1.1:80",
                          "1.2.3.4:8080;x",
                          "www.host.example:80",
                          "www.a.example:80",
                          "px=www.host.example:8",
                          "WWW.HOST.EX:1",
                          "1.2.3.4.5:80",
                          "10..1.1.1:1",
                          "1.2.3.4::80",
                          " 9.9.9.9:9",
                          "",
                          " ",
                          "junk",
                          "\xCF\xF0\xEE\xEA\xF1\xE8",
                          "99.1.2.3:80",
                          "www.ab.cd.ef.gh",
                          "007.0.255.-1:1",
                          "1.2.3.4:.5"};
  const char* ends[] = {"\r\n", "\n", "\r", "\r\n"};
  std::string list;
  const int lines = static_cast<int>(random() % 400);
  for (int i = 0; i < lines; ++i) {
    list += pieces[random() % std::size(pieces)];
    if (random() % 3 == 0) list += std::to_string(random() % 300);
    list += ends[random() % std::size(ends)];
  }
  if (random() % 2) list += "5.6.7.8:1";  // a last line without a break
  return list;
}

// The batch mode and the window's commands give the same bytes, under all
// sixteen switch combinations, for random and real lists.
TEST(SiftCommandTest, GivesTheWindowsBytes) {
  TempDir dir;
  std::vector<std::string> lists = {
      "", "\r\n", "\r\n\r\n", "junk\r\n",
      ReadBytes(std::string(KESTROVA_TEST_DATA) + "/proxy-list-sample.txt")};
  const std::string history =
      ReadBytes(std::string(KESTROVA_TEST_DATA) + "/proxy-list-history.txt");
  lists.push_back(history.substr(0, history.find("\n", 600000) + 1));  // within the capacity
  std::mt19937 random(7);
  for (int i = 0; i < 12; ++i) lists.push_back(RandomList(random));

  for (size_t l = 0; l < lists.size(); ++l) {
    const std::string path = dir.File("list.txt");
    WriteBytes(path, lists[l]);
    for (int bits = 0; bits < 16; ++bits) {
      SCOPED_TRACE("list " + std::to_string(l) + ", switches " + std::to_string(bits));
      const std::string window = ThroughTheWindow(dir, path, bits);
      std::vector<std::string> args = SwitchArgs(bits);
      args.insert(args.end(), {path, "-o", dir.File("batch.txt")});
      const SiftRun run = Sift(args);
      EXPECT_EQ(run.status, kExitDone) << run.errors;
      EXPECT_EQ(ReadBytes(dir.File("batch.txt")), window);
      // Standard input to standard output, with CR LF or LF line ends.
      EXPECT_EQ(Sift(SwitchArgs(bits), lists[l]).out, window);
      std::string lf = window;
      for (size_t at; (at = lf.find("\r\n")) != std::string::npos;) lf.erase(at, 1);
      args = SwitchArgs(bits);
      args.push_back("--lf");
      EXPECT_EQ(Sift(args, lists[l]).out, lf);
      // --strict takes the window's lines that are exactly HOST:PORT.
      std::string strict;
      for (size_t at = 0, end; (end = window.find("\r\n", at)) != std::string::npos; at = end + 2) {
        const std::string_view text(window.data() + at, end - at);
        if (IsStrictEntry(text)) strict += std::string(text) + "\r\n";
      }
      args = SwitchArgs(bits);
      args.push_back("--strict");
      EXPECT_EQ(Sift(args, lists[l]).out, strict.empty() ? "\r\n" : strict);
    }
  }
}

TEST(SiftCommandTest, SummaryHelpAndProgress) {
  const SiftRun run = Sift({"--drop-repeats"}, "1.2.3.4:80\r\njunk\r\n1.2.3.4:80 x\r\n5.6.7.8:1");
  EXPECT_EQ(run.out, "1.2.3.4:80\r\n5.6.7.8:1\r\n");
  EXPECT_EQ(run.errors, "kestrova sift: 4 lines read, 2 entries kept, 1 repeat dropped\n");
  // The statuses scripts test, as the manual page gives them.
  EXPECT_EQ((std::vector{kExitDone, kExitFileFailed, kExitUsage}), (std::vector{0, 1, 2}));
  EXPECT_EQ(Sift({}, "1.2.3.4:80").errors,
            "kestrova sift: 1 line read, 1 entry kept, 0 repeats dropped\n");
  EXPECT_EQ(
      Sift({"--strict"}, "1.2.3.4:80\r\n1.2.3.4:080\r\n1.2.3.4:08\r\n").errors,
      "kestrova sift: 3 lines read, 1 entry kept, 0 repeats dropped, 2 dropped by --strict\n");
  // A repeat counts as a repeat, whether or not --strict would take it.
  EXPECT_EQ(
      Sift({"--strict", "--drop-repeats"}, "1.2.3.4:0\r\n1.2.3.4:0\r\n").errors,
      "kestrova sift: 2 lines read, 0 entries kept, 1 repeat dropped, 1 dropped by --strict\n");
  EXPECT_EQ(Sift({"-q", "--drop-repeats"}, "1.2.3.4:80\r\n").errors, "");

  for (const char* word : {"--help", "-h"}) {
    const SiftRun help = Sift({word, "--bogus"});  // answered at once, as getopt does
    EXPECT_EQ(help.status, kExitDone);
    for (const char* option : {"--only-entries", "--drop-host-names", "--only-www",
                               "--drop-repeats", "--use-saved-options", "--strict", "--lf",
                               "--output", "--quiet", "--help", "--version", "inet_pton"}) {
      EXPECT_NE(help.out.find(option), std::string::npos) << option;
    }
  }
  for (const char* word : {"--version", "-v"}) {
    EXPECT_EQ(Sift({word}).out, "Kestrova 1.0\n");
  }

  // A big input on a terminal shows its progress, and clears it at the end.
  std::string big;
  while (big.size() <= (33u << 20)) big += "10.20.30.40:8080 padding padding padding\r\n";
  TempDir dir;
  WriteBytes(dir.File("small.txt"), "1.2.3.4:80\r\n");
  const SiftRun watched = Sift({"-o", "-"}, big, true);
  EXPECT_NE(watched.errors.find("% of 33 MiB"), std::string::npos);
  EXPECT_NE(watched.errors.find("100%"), std::string::npos);
  // Each percentage is written once, and the line is cleared once, however
  // many inputs come after the big one.
  const SiftRun two = Sift({"-o", "-", "-", dir.File("small.txt")}, big, true);
  const std::string cleared = "\r" + std::string(60, ' ') + "\r";
  for (const SiftRun* run : {&watched, &two}) {
    std::vector<std::string> shown;
    for (size_t at = run->errors.find("\rkestrova"); at != std::string::npos;
         at = run->errors.find("\rkestrova", at + 1)) {
      shown.push_back(run->errors.substr(at, run->errors.find('%', at) - at));
    }
    EXPECT_EQ(std::set<std::string>(shown.begin(), shown.end()).size(), shown.size());
    // At the start, every 65,536 lines (not for every line read) and at the end.
    const auto updates = static_cast<size_t>(std::count(big.begin(), big.end(), '\n') / 65536);
    EXPECT_GE(shown.size(), updates);
    EXPECT_LE(shown.size(), updates + 2);
    EXPECT_EQ(run->errors.find(cleared), run->errors.rfind(cleared));
    EXPECT_NE(run->errors.find(cleared), std::string::npos);
  }
  EXPECT_EQ(Sift({}, big, false).errors.find('%'), std::string::npos);
  // A file is measured as the standard input is.
  WriteBytes(dir.File("big.txt"), big);
  EXPECT_NE(Sift({dir.File("big.txt"), "-o", "-"}, "", true).errors.find("% of 33 MiB"),
            std::string::npos);
  // An input of 32 MiB or less is sifted too soon for progress to help.
  EXPECT_EQ(Sift({}, big.substr(0, 32u << 20), true).errors.find('%'), std::string::npos);
  EXPECT_EQ(Sift({"-q"}, big, true).errors, "");
}

struct InputsCase {
  const char* name;
  std::vector<std::string> args;
  std::string written;  // to standard output, or to `file` when one is named
  std::string errors;
  std::string file = "";
};

// What scripts give: several inputs, "-" among them, "--", OUTPUT written in
// every getopt form, and in place of an input.
TEST(SiftCommandTest, InputsAndOutputsAsScriptsGiveThem) {
  TempDir dir;
  // Names as a script in that folder writes them: "-in.txt" begins with "-".
  struct InFolder {
    explicit InFolder(const std::string& folder) {
      std::filesystem::current_path(testing::FsPath(folder));
    }
    ~InFolder() { std::filesystem::current_path(before); }
    const std::filesystem::path before = std::filesystem::current_path();
  } in_folder(dir.path());
  const std::string a = "a.txt";
  const std::string dash = "-in.txt";
  const std::string out = "out.txt";
  const std::string from_stdin = "1.2.3.4:80\n7.7.7.7:7\n";
  const std::string cleaned = "1.2.3.4:80\r\n5.6.7.8:1\r\n";
  const InputsCase cases[] = {
      {"several inputs, standard input among them, repeats across them",
       {"--drop-repeats", a, "-", "--", dash},
       "1.2.3.4:80\r\n5.6.7.8:1\r\n7.7.7.7:7\r\n9.9.9.9:9\r\n",
       "kestrova sift: \"" + a + "\": 3 lines read, 2 entries kept, 1 repeat dropped\n" +
           "kestrova sift: standard input: 2 lines read, 1 entry kept, 1 repeat dropped\n" +
           "kestrova sift: \"" + dash + "\": 2 lines read, 1 entry kept, 1 repeat dropped\n" +
           "kestrova sift: in total: 7 lines read, 4 entries kept, 3 repeats dropped\n"},
      {"without --drop-repeats every input keeps its repeats",
       {"-q", a, a},
       "1.2.3.4:80\r\n5.6.7.8:1\r\n1.2.3.4:80\r\n1.2.3.4:80\r\n5.6.7.8:1\r\n1.2.3.4:80\r\n",
       ""},
      {"- alone is standard input", {"-q", "-"}, "1.2.3.4:80\r\n7.7.7.7:7\r\n", ""},
      {"-- ends the options", {"-q", "--", dash}, "5.6.7.8:1\r\n9.9.9.9:9\r\n", ""},
      {"-o FILE", {"-q", a, "-o", out, "--drop-repeats"}, cleaned, "", out},
      {"-oFILE", {"-q", a, "-o" + out, "--drop-repeats"}, cleaned, "", out},
      {"--output FILE", {"-q", a, "--output", out, "--drop-repeats"}, cleaned, "", out},
      {"--output=FILE", {"-q", a, "--output=" + out, "--drop-repeats"}, cleaned, "", out},
      {"bundled -qo FILE", {a, "-qo", out, "--drop-repeats"}, cleaned, "", out},
      {"-o - is standard output", {"-q", a, "-o", "-", "--drop-repeats"}, cleaned, ""},
      {"-o- is standard output too", {"-q", a, "-o-", "--drop-repeats"}, cleaned, ""},
      {"OUTPUT is the INPUT", {"--drop-repeats", "-q", a, "-o", a}, cleaned, "", a},
  };
  for (const InputsCase& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(a, "1.2.3.4:80\r\n5.6.7.8:1\r\n1.2.3.4:80 x");
    WriteBytes(dash, "5.6.7.8:1\r\n9.9.9.9:9\r\n");
    WriteBytes(out, "old\r\n");
    const SiftRun run = Sift(c.args, from_stdin);
    EXPECT_EQ(run.status, kExitDone) << run.errors;
    EXPECT_EQ(c.file.empty() ? run.out : ReadBytes(c.file), c.written);
    EXPECT_EQ(run.errors, c.errors);
  }
}

// Past the 1 MiB at which the kept texts are written, several times over, with
// repeats dropped: the same bytes as the step-by-step scan and a plain set.
TEST(SiftCommandTest, RepeatsDroppedAcrossManyWrites) {
  // Ports next to the limits of the set's numeric key come first.
  std::string list;
  std::string expected;
  for (const char* port : {"0000000", "1048576", "000000", "999999", "1048575"}) {
    list += std::string("1.2.3.4:") + port + "\n";
    expected += std::string("1.2.3.4:") + port + "\r\n";
  }
  list += list;
  std::set<std::string> seen;
  for (int i = 0; i < 250000; ++i) {
    // Repeats near and far, texts of many lengths, a few that are not plain.
    const int k = i % 7 == 0 ? i / 2 : i;
    std::string entry = std::to_string(k % 256) + "." + std::to_string(k / 256 % 256) + "." +
                        std::to_string(k / 65536) + ".1:" + std::to_string(k % 9 * 1111);
    if (i % 11 == 0) entry = "www.h" + std::to_string(k % 5000) + ".example:80";
    const std::string line = entry + (i % 3 ? " note" : "");
    list += line + (i % 2 ? "\r\n" : "\n");
    const std::string kept(*ScanAddressStepByStep(line, {}));
    if (seen.insert(kept).second) expected += kept + "\r\n";
  }
  // A kept text longer than the 1 MiB written at a time, twice.
  const std::string long_text = "9.9.9.9:" + std::string(3u << 19, '7');
  list += long_text + "\n" + long_text + "\n";
  expected += long_text + "\r\n";
  ASSERT_GT(expected.size(), 3u << 20);
  const SiftRun run = Sift({"--drop-repeats", "-q"}, list);
  EXPECT_EQ(run.out.size(), expected.size());
  EXPECT_TRUE(run.out == expected);
  EXPECT_EQ(Sift({"-q"}, long_text + "\n").out, long_text + "\r\n");
}

struct CommandLineCase {
  const char* name;
  std::vector<std::string> args;
  int status;
  std::optional<std::string> file;  // given to the window, when it is started
  const char* out;
  const char* errors;
};

// The words after "kestrova": which start the window and with what FILE, as
// bytes (a name in windows-1251 too), and which are usage errors.
// A suggestion is the first of the nearest words, fewer edits away than
// half the word's length and than 3; a swap of neighbours is one edit.
TEST(NearestWordTest, NearEnoughAndNearest) {
  const struct {
    const char* word;
    std::initializer_list<std::string_view> words;
    const char* nearest;
  } rows[] = {
      {"sfit", {"sift"}, "sift"},
      {"--fl", {"--lf"}, "--lf"},
      {"abc", {"acb"}, "acb"},
      {"abc", {"bac"}, "bac"},
      {"abcdef", {"abdcfe"}, "abdcfe"},
      {"--kf", {"--lf"}, "--lf"},
      {"--l", {"--lf"}, "--lf"},
      {"--lfx", {"--lf"}, "--lf"},
      {"--x", {"--lf"}, ""},
      {"ba", {"ab"}, ""},
      {"lf", {"--lf"}, ""},
      {"abcx", {"abc"}, "abc"},
      {"siftsift", {"sift"}, ""},
      {"abcdef", {"abcxyz"}, ""},
      {"abcdefgh", {"abcdefyz"}, "abcdefyz"},
      {"abcdefgh", {"abcdexyz"}, ""},
      {"--a", {"--ab", "--ac"}, "--ab"},
      {"--a", {"--ac", "--ab"}, "--ac"},
      {"--dorp-repaets", {"--drop-repeats", "--drop-host-names"}, "--drop-repeats"},
      {"--versoin", {"--verbose", "--version"}, "--version"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(NearestWord(row.word, row.words), row.nearest) << row.word;
  }
  // The same against memory that cannot be read: no byte outside a word is.
  for (const auto& row : rows) {
    const std::string_view first = *row.words.begin();
    const bool near = !NearestWord(row.word, {first}).empty();
    for (const bool guard_before : {true, false}) {
      const testing::GuardedText word(row.word, guard_before), candidate(first, guard_before);
      EXPECT_EQ(!NearestWord(word.view(), {candidate.view()}).empty(), near) << row.word;
    }
  }
}

TEST(CommandLineTest, WhatTheWindowIsGiven) {
  TempDir dir;
  const std::string list = dir.File("list.txt");
#ifdef _WIN32
  const std::string cp1251 = dir.File("Прокси.txt");  // paths are UTF-8 there
#else
  const std::string cp1251 = dir.File("\xCF\xF0\xEE\xEA\xF1\xE8.txt");  // "Прокси.txt"
#endif
  WriteBytes(list, "1.2.3.4:80\r\n");
  WriteBytes(cp1251, "1.2.3.4:80\r\n");
  constexpr int kStarted = 42;
  const std::optional<std::string> none;
  const CommandLineCase cases[] = {
      {"no words", {}, kStarted, none, "", ""},
      {"a FILE", {list}, kStarted, list, "", ""},
      {"a FILE named in windows-1251", {cp1251}, kStarted, cp1251, "", ""},
      {"a FILE that is not there yet", {"missing.txt"}, kStarted, "missing.txt", "", ""},
      {"-- makes a command a FILE", {"--", "sift"}, kStarted, "sift", "", ""},
      {"-- makes an option a FILE", {"--", "-x.txt"}, kStarted, "-x.txt", "", ""},
      {"help", {"--help", "--bogus"}, kExitDone, none, "Usage: kestrova [FILE]", ""},
      {"-h", {"-h"}, kExitDone, none, "kestrova sift [OPTIONS] [INPUT...]", ""},
      {"version", {"--version"}, kExitDone, none, "Kestrova 1.0\n", ""},
      {"-v", {"-v"}, kExitDone, none, "Kestrova 1.0\n", ""},
      {"sift", {"sift", "--version"}, kExitDone, none, "Kestrova 1.0\n", ""},
      {"sift and its INPUT", {"sift", "-q", list}, kExitDone, none, "1.2.3.4:80\r\n", ""},
      {"unknown option", {"--bogus"}, kExitUsage, none, "", "unknown option \"--bogus\""},
      {"a slip of an option", {"--hepl"}, kExitUsage, none, "", "did you mean \"--help\"?"},
      {"a slip of the command",
       {"sfit", "list.txt"},
       kExitUsage,
       none,
       "",
       "unknown command \"sfit\", and no file of that name; did you mean \"sift\"?"},
      {"an unknown command", {"clean"}, kExitUsage, none, "", "unknown command \"clean\""},
      {"a command of letters, digits, - and _",
       {"az-AZ_09"},
       kExitUsage,
       none,
       "",
       "unknown command \"az-AZ_09\""},
      {"letters swapped", {"isft"}, kExitUsage, none, "", "did you mean \"sift\"?"},
      {"too far from any word", {"xyzsift"}, kExitUsage, none, "", "no file of that name\n"},
      {"too far, after the word", {"siftxyz"}, kExitUsage, none, "", "no file of that name\n"},
      {"two slips in four letters", {"sxxt"}, kExitUsage, none, "", "no file of that name\n"},
      {"two slips, the first letter one", {"asft"}, kExitUsage, none, "", "no file of that name\n"},
      {"two FILEs", {list, cp1251}, kExitUsage, none, "", "one FILE at most"},
      {"standard input", {"-"}, kExitUsage, none, "", "not standard input"},
      {"an option after the FILE", {list, "--bogus"}, kExitUsage, none, "", "unknown option"},
  };
  for (const CommandLineCase& c : cases) {
    SCOPED_TRACE(c.name);
    MemorySource in("");
    MemorySink out;
    MemorySink errors;
    std::optional<std::optional<std::string>> given;
    const int status =
        RunCommandLine(c.args, {in, out, errors}, [&](const std::optional<std::string>& file) {
          given = file;
          return kStarted;
        });
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(given.has_value(), status == kStarted);
    if (given) {
      EXPECT_EQ(*given, c.file);
    }
    EXPECT_NE(out.bytes.find(c.out), std::string::npos) << out.bytes;
    EXPECT_NE(errors.bytes.find(c.errors), std::string::npos) << errors.bytes;
    if (c.status == kExitUsage) {
      EXPECT_NE(errors.bytes.find("Try \"kestrova --help\"."), std::string::npos);
    }
  }
#ifndef _WIN32  // there the words come from the process's own command line
  // The program's own name is not among its words.
  char name[] = "kestrova", file[] = "list.txt";
  char* argv[] = {name, file, nullptr};
  EXPECT_EQ(ProgramArguments(1, argv), std::vector<std::string>{});
  EXPECT_EQ(ProgramArguments(2, argv), std::vector<std::string>{"list.txt"});
  // Started with no words at all, not even its name (execve allows it); the
  // list ends at once, with nothing readable before it.
  const testing::GuardedText no_words(std::string(sizeof(char*), '\0'), true);
  char** const empty_argv = reinterpret_cast<char**>(const_cast<char*>(no_words.view().data()));
  EXPECT_EQ(ProgramArguments(0, empty_argv), std::vector<std::string>{});
#endif
}

TEST(SiftCommandTest, SavedOptionsAreTheWindows) {
  TempDir dir;
  testing::SetEnv(testing::kConfigFolderVariable, dir.path());
  // "0001.2.3.4:80" is sifted as an entry, but does not look like one.
  const std::string list =
      "# header\r\n1.2.3.4:80\r\nwww.xy.example:80\r\n1.2.3.4:80\r\n0001.2.3.4:80\r\n";
  // No options saved yet: the window starts with every switch off.
  const SiftRun none = Sift({"--use-saved-options", "-q"}, list);
  EXPECT_EQ(none.out, "1.2.3.4:80\r\nwww.xy.example:80\r\n1.2.3.4:80\r\n0001.2.3.4:80\r\n");
  EXPECT_NE(none.errors.find("proxy_stup.pr"), std::string::npos);

  std::filesystem::create_directories(testing::FsPath(dir.File("Kestrova")));
  WriteBytes(dir.File("Kestrova/proxy_stup.pr"), "1\r\n1\r\n2\r\n2\r\n\xD1\xE5\xF0\xFB\xE9\r\n");
  // Switches on the line are added to the saved ones, wherever they stand.
  for (const auto& args : {std::vector<std::string>{"--use-saved-options", "--drop-repeats"},
                           std::vector<std::string>{"--drop-repeats", "--use-saved-options"}}) {
    const SiftRun saved = Sift(args, list);
    EXPECT_EQ(saved.out, "1.2.3.4:80\r\n");
    EXPECT_EQ(saved.errors.find("could not be read"), std::string::npos);
  }
  // With every saved switch off, each switch given on the line still holds.
  WriteBytes(dir.File("Kestrova/proxy_stup.pr"), "0\r\n0\r\n0\r\n0\r\n\r\n");
  const std::pair<const char*, const char*> alone[] = {
      {"--only-entries", "1.2.3.4:80\r\nwww.xy.example:80\r\n1.2.3.4:80\r\n"},
      {"--drop-host-names", "1.2.3.4:80\r\n1.2.3.4:80\r\n0001.2.3.4:80\r\n"},
      {"--only-www", "www.xy.example:80\r\n"},
      {"--drop-repeats", "1.2.3.4:80\r\nwww.xy.example:80\r\n0001.2.3.4:80\r\n"},
  };
  for (const auto& [option, out] : alone) {
    EXPECT_EQ(Sift({"--use-saved-options", option, "-q"}, list).out, out) << option;
  }
}

// "-o /dev/stdout" and the other names of the standard output, inside a
// pipeline and with the output sent to a file: the bytes go where the
// standard output goes, as the shell set it up (">>" appends).
TEST(SiftCommandTest, PosixOnly_OutputNamedAsTheStandardOutput) {
  KESTROVA_POSIX_ONLY();
  TempDir dir;
  const std::string input = dir.File("in.txt");
  WriteBytes(input, "1.2.3.4:80\r\njunk\r\n");
  const std::string own = "/proc/" + std::to_string(testing::ProcessId()) + "/fd/1";
  for (const std::string& name :
       {std::string("/dev/stdout"), std::string("/dev/fd/1"), std::string("/proc/self/fd/1"),
        std::string("/proc/thread-self/fd/1"), own}) {
    SCOPED_TRACE(name);
    testing::PipeReader pipe;
    SiftRun run;
    {
      testing::StandardOutputTo into(pipe);
      run = Sift({"-q", input, "-o", name});
    }
    EXPECT_EQ(run.status, kExitDone) << run.errors;
    EXPECT_EQ(pipe.Drain(), "1.2.3.4:80\r\n");

    WriteBytes(dir.File("out.txt"), "old\r\n");
    {
      testing::StandardOutputTo into(dir.File("out.txt"));
      run = Sift({"-q", input, "-o", name});
    }
    EXPECT_EQ(run.status, kExitDone) << run.errors;
    EXPECT_EQ(ReadBytes(dir.File("out.txt")), "old\r\n1.2.3.4:80\r\n");
  }
  // The standard streams themselves, as the program is started.
  {
    testing::PipeReader pipe;
    int status = -1;
    {
      testing::StandardOutputTo into(pipe);
      status = RunSiftCommand({"-q", input});
    }
    EXPECT_EQ(status, kExitDone);
    EXPECT_EQ(pipe.Drain(), "1.2.3.4:80\r\n");
  }
  {
    WriteBytes(dir.File("piped.txt"), "5.6.7.8:3128\n");
    testing::StandardInputFrom from(dir.File("piped.txt"), 0);
    testing::PipeReader pipe;
    int status = -1;
    {
      testing::StandardOutputTo into(pipe);
      status = RunSiftCommand({"-q"});
    }
    EXPECT_EQ(status, kExitDone);
    EXPECT_EQ(pipe.Drain(), "5.6.7.8:3128\r\n");
  }
  // Progress is shown on a terminal only; a pipe or a file is not one.
  testing::PseudoTerminal terminal;
  ASSERT_FALSE(terminal.name().empty());
  {
    testing::StandardOutputTo into(terminal.name());
    EXPECT_TRUE(IsTerminal(StandardStream::kOutput));
  }
  testing::PipeReader pipe;
  testing::StandardOutputTo into(pipe);
  EXPECT_FALSE(IsTerminal(StandardStream::kOutput));
}

TEST(SiftCommandTest, LongestOutputNamesWork) {
  TempDir dir;
  for (const size_t length : {254u, 255u}) {
    SCOPED_TRACE(length);
    const std::string out = dir.File(std::string(length, 'o'));
    WriteBytes(out, "old\r\n");
    const SiftRun run = Sift({"-q", "-o", out}, "1.2.3.4:80\r\n");
    EXPECT_EQ(run.status, kExitDone) << run.errors;
    EXPECT_EQ(ReadBytes(out), "1.2.3.4:80\r\n");
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(testing::FsPath(dir.path())),
                          std::filesystem::directory_iterator()),
            2);
}

struct Failure {
  const char* name;
  std::vector<std::string> args;
  int status;
  std::string message;
  unsigned long long file_size_limit = 0;
};

// Whatever fails, the old output file stays whole with nothing beside it,
// and the message names the file and the reason.
void ExpectFailures(const TempDir& dir, const std::vector<Failure>& failures) {
  for (const Failure& f : failures) {
    SCOPED_TRACE(f.name);
    WriteBytes(dir.File("out.txt"), "old\r\n");
    testing::LimitFileSize(f.file_size_limit);
    const SiftRun run = Sift(f.args, "1.2.3.4:80\r\n");
    testing::LimitFileSize(0);
    EXPECT_EQ(run.status, f.status);
    EXPECT_NE(run.errors.find(f.message), std::string::npos) << run.errors;
    // One failure, one message.
    EXPECT_EQ(run.errors.find("kestrova sift:", 1), std::string::npos) << run.errors;
    EXPECT_EQ(ReadBytes(dir.File("out.txt")), "old\r\n");
    for (const auto& entry : std::filesystem::directory_iterator(testing::FsPath(dir.path()))) {
      EXPECT_EQ(entry.path().filename().string().find("out.txt."), std::string::npos);
    }
  }
}

TEST(SiftCommandTest, FailuresLeaveTheOldOutput) {
  TempDir dir;
  const std::string out = dir.File("out.txt");
  WriteBytes(dir.File("long.txt"), "1.2.3.4:80\r\n" + std::string((16 << 20) + 1, 'x'));
  WriteBytes(dir.File("good.txt"), "5.6.7.8:1\r\n");
  WriteBytes(dir.File("readonly.txt"), "old\r\n");
  testing::SetReadOnly(dir.File("readonly.txt"));
  ExpectFailures(
      dir,
      {
          {"missing input", {dir.File("missing.txt"), "-o", out}, kExitFileFailed, "missing.txt"},
          {"folder as input", {dir.path(), "-o", out}, kExitFileFailed, "folder"},
          {"line over the limit",
           {dir.File("long.txt"), "-o", out},
           kExitFileFailed,
           "Line 2 is longer than 16 MiB"},
          {"read-only output", {"-o", dir.File("readonly.txt")}, kExitFileFailed, "read-only"},
          {"missing folder",
           {"-o", dir.File("no/out.txt")},
           kExitFileFailed,
           "No such file or directory"},
          {"unknown option", {"--drop", "-o", out}, kExitUsage, "unknown option \"--drop\""},
          {"two missing inputs", {"a.txt", "b.txt", "-o", out}, kExitFileFailed, "\"a.txt\""},
          {"unreadable second input",
           {dir.File("good.txt"), dir.File("long.txt"), "-o", out},
           kExitFileFailed,
           "reading stopped in \"" + dir.File("long.txt") + "\": Line 2"},
          {"missing second input",
           {"-", dir.File("missing.txt"), "-o", out},
           kExitFileFailed,
           "cannot read \"" + dir.File("missing.txt") + "\": No such file or directory; \"" + out +
               "\" was not changed"},
          {"no output name", {"-o"}, kExitUsage, "option \"-o\" needs a file name"},
          {"no output name, long", {"--output"}, kExitUsage, "\"--output\" needs a file name"},
          {"empty output name", {"--output="}, kExitUsage, "\"--output\" needs a file name"},
          {"two outputs", {"-o", out, "-oother.txt"}, kExitUsage, "more than one OUTPUT"},
          {"standard input twice", {"-", "-", "-o", out}, kExitUsage, "only once"},
          {"a slip of an option",
           {"--drop-repeat", "-o", out},
           kExitUsage,
           "unknown option \"--drop-repeat\"; did you mean \"--drop-repeats\"?"},
          {"the nearer of two options", {"--hlf", "-o", out}, kExitUsage, "did you mean \"--lf\"?"},
          {"unknown short option", {"-qx", "-o", out}, kExitUsage, "unknown option \"-x\""},
          {"value for a switch", {"--quiet=yes", "-o", out}, kExitUsage, "takes no value"},
      });
}

TEST(SiftCommandTest, PosixOnly_DevicesProcAndSizeLimitsFail) {
  KESTROVA_POSIX_ONLY();
  TempDir dir;
  const std::string out = dir.File("out.txt");
  const std::string full = testing::FullDevice(dir);
  const std::string full_message = "cannot write \"" + full + "\": No space left on device";
  ASSERT_FALSE(full.empty()) << "no full device that may safely be written";
  // Kept entries past the first MiB are written while reading goes on.
  std::string big;
  while (big.size() <= (2u << 20)) big += "10.20.30.40:8080\r\n";
  WriteBytes(dir.File("big.txt"), big);
  ExpectFailures(dir, {
                          {"full device", {"-o", full}, kExitFileFailed, full_message.c_str()},
                          {"full device, while reading",
                           {dir.File("big.txt"), "-o", full},
                           kExitFileFailed,
                           full_message.c_str()},
                          {"read error",
                           {"/proc/self/mem", "-o", out},
                           kExitFileFailed,
                           "reading stopped in \"/proc/self/mem\": Input/output error"},
                          {"size limit", {"-o", out}, kExitFileFailed, "File too large", 4},
                      });
}

}  // namespace
}  // namespace kestrova
