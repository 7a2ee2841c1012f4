#include "app/settings_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "os/file_io.h"
#include "tests/test_support.h"

namespace kestrova {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;
using namespace std::string_literals;

TEST(SettingsTextTest, FindsTheKeyInItsSection) {
  struct Case {
    const char* name;
    std::string text;
    const char* section;
    std::optional<std::string> value;
  } cases[] = {
      {"as the Qt settings class wrote it",
       "[Settings]\nMainHeight=6900\nMainLeft=600\nMainTop=750\nMainWidth=7500\n", "Settings",
       "600"},
      {"CR LF", "[Settings]\r\nMainLeft=600\r\n", "Settings", "600"},
      {"blanks around", "  [Settings] \t\n  MainLeft = 600 \t\n", "Settings", "600"},
      {"no line end at the end", "[Settings]\nMainLeft=600", "Settings", "600"},
      {"the key's own section", "[Other]\nMainLeft=1\n[Settings]\nMainLeft=2\n", "Settings", "2"},
      {"another section", "[Settings]\nMainLeft=1\n", "Chooser", std::nullopt},
      {"above any section", "MainLeft=1\n[Settings]\n", "Settings", std::nullopt},
      {"the first of two", "[Settings]\nMainLeft=1\nMainLeft=2\n", "Settings", "1"},
      {"a longer key", "[Settings]\nMainLeftX=1\n", "Settings", std::nullopt},
      {"no equals sign", "[Settings]\nMainLeft\n", "Settings", std::nullopt},
      {"empty value", "[Settings]\nMainLeft=\n", "Settings", ""},
      {"quoted", "[Settings]\nMainLeft=\"a, b\"\n", "Settings", "a, b"},
      {"escapes", "[Settings]\nMainLeft=\\x01\\\\\\\"\\t\\q\\x4\n", "Settings",
       "\x01\\\"\t\\q\\x4"},
      {"not hex digits", "[Settings]\nMainLeft=\\xg1\\x1G\\x:0\n", "Settings", "\\xg1\\x1G\\x:0"},
      {"hex digits of both cases", "[Settings]\nMainLeft=\\x4a\\x4F\\x6f\\x4A\n", "Settings", "JOoJ"},
      {"garbage around", "\0\xFF[x\n[Settings]\n=\n==\nMainLeft=7\n\xFF"s, "Settings", "7"},
      {"a header in garbage", "\0[Settings]\nMainLeft=7\n"s, "Settings", std::nullopt},
      {"a section with no name", "[Settings]\n[]\nMainLeft=7\n", "Settings", std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FindSetting(c.text, c.section, "MainLeft"), c.value);
  }
}

TEST(SettingsTextTest, SettingAKeyChangesOnlyItsLine) {
  struct Case {
    const char* name;
    std::string before;
    const char* section;
    const char* key;
    const char* value;
    std::string after;
  } cases[] = {
      {"first key", "", "Settings", "MainLeft", "1", "[Settings]\nMainLeft=1\n"},
      {"replaced in place", "[Settings]\nMainLeft=1\nMainTop=2\n", "Settings", "MainLeft", "5",
       "[Settings]\nMainLeft=5\nMainTop=2\n"},
      {"CR LF kept", "[Settings]\r\nMainLeft=1\r\nMainTop=2\r\n", "Settings", "MainLeft", "5",
       "[Settings]\r\nMainLeft=5\r\nMainTop=2\r\n"},
      {"new key at the end of its section", "[Settings]\nMainLeft=1\n\n[Chooser]\nFolder=/x\n",
       "Settings", "MainTop", "2", "[Settings]\nMainLeft=1\nMainTop=2\n\n[Chooser]\nFolder=/x\n"},
      {"new section", "[Settings]\nMainLeft=1\n", "Chooser", "Folder", "/home/u",
       "[Settings]\nMainLeft=1\n\n[Chooser]\nFolder=/home/u\n"},
      {"no line end at the end", "[Settings]\nMainLeft=1", "Settings", "MainTop", "2",
       "[Settings]\nMainLeft=1\nMainTop=2\n"},
      {"a section header last", "[Settings]", "Settings", "MainTop", "2",
       "[Settings]\nMainTop=2\n"},
      {"the next section straight after", "[Settings]\nMainLeft=1\n[Chooser]\n", "Settings",
       "MainTop", "2", "[Settings]\nMainLeft=1\nMainTop=2\n[Chooser]\n"},
      {"no section: above the first", "[Settings]\nMainLeft=1\n", "", "MainLeft", "2",
       "MainLeft=2\n[Settings]\nMainLeft=1\n"},
      {"garbage kept", "\0\xFFjunk"s, "Settings", "MainLeft", "1",
       "\0\xFFjunk\n\n[Settings]\nMainLeft=1\n"s},
      {"escaped", "", "Chooser", "Folder", " a\\b\"\n\x7F ",
       "[Chooser]\nFolder=\\x20a\\\\b\\\"\\x0A\\x7F\\x20\n"},
      {"a blank inside as it is", "", "Chooser", "Folder", "/home/u/My lists!",
       "[Chooser]\nFolder=/home/u/My lists!\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(WithSetting(c.before, c.section, c.key, c.value), c.after);
  }
}

TEST(SettingsTextTest, AnyValueReadsBackTheSameAndLeavesTheOthers) {
  const std::string base = "[Settings]\nMainLeft=1\n\n[Chooser]\nFolder=/old\n";
  const std::string values[] = {
      "",
      " ",
      "  a  ",
      "\\",
      "\\x41",
      "\"",
      "\"q\"",
      "a=b",
      "[Settings]",
      "\r\n",
      "\n[Settings]",
      "\0\x01\x1F\x7F"s,
      "\xCF\xF0\xEE\xEA\xF1\xE8",
      "/home/u/Прокси",
      "\t",
      "#;",
  };
  for (const std::string& value : values) {
    SCOPED_TRACE(value);
    const std::string text = WithSetting(base, "Chooser", "Folder", value);
    EXPECT_EQ(FindSetting(text, "Chooser", "Folder"), value);
    EXPECT_EQ(FindSetting(text, "Settings", "MainLeft"), "1");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
    const std::string again = WithSetting(text, "Settings", "MainLeft", value);
    EXPECT_EQ(FindSetting(again, "Settings", "MainLeft"), value);
    EXPECT_EQ(FindSetting(again, "Chooser", "Folder"), value);
  }
}

// A settings file over 1 MiB is damaged: it is never read, it is kept
// aside under a name that says so, never over an earlier one, and the
// next write starts a fresh file.
TEST(SettingsFileTest, DamagedFileIsSetAsideAndAFreshOneWritten) {
  struct Case {
    const char* name;
    size_t size;
    int set_aside_before;
    bool damaged;
  } cases[] = {
      {"exactly 1 MiB", kMaxSettingsFileBytes, 0, false},
      {"one byte more", kMaxSettingsFileBytes + 1, 0, true},
      {"2 MiB", 2 << 20, 0, true},
      {"2 MiB, one set aside before", 2 << 20, 1, true},
      {"2 MiB, 99 set aside before: the last name left", 2 << 20, 99, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string path = dir.File("Kestrova.conf");
    std::string bytes = "[Settings]\nMainLeft=5\n";
    while (bytes.size() < c.size) bytes += "Key=Value\n";
    bytes.resize(c.size, '=');
    WriteBytes(path, bytes);
    for (int n = 1; n <= c.set_aside_before; ++n) {
      WriteBytes(path + ".damaged" + (n > 1 ? "-" + std::to_string(n) : ""), "earlier");
    }
    const std::string aside =
        path + ".damaged" +
        (c.set_aside_before > 0 ? "-" + std::to_string(c.set_aside_before + 1) : "");

    SettingsFile store(path);
    EXPECT_EQ(store.Read("Settings", "MainLeft"),
              c.damaged ? std::nullopt : std::optional<std::string>("5"));
    EXPECT_EQ(store.set_aside(), c.damaged ? aside : "");
    std::string reason;
    EXPECT_TRUE(store.Write("Settings", "MainTop", "7", &reason)) << reason;
    EXPECT_EQ(store.set_aside(), "");  // told once, by the read that set it aside
    // The first write makes the folders the file is to be in, as any folder
    // is made: 0777 less the umask.
    SettingsFile nested(dir.File("new/Kestrova/Kestrova.conf"));
    const unsigned umask = testing::SetUmask(022);
    EXPECT_TRUE(nested.Write("Settings", "MainTop", "7", &reason)) << reason;
    testing::SetUmask(umask);
    EXPECT_EQ(nested.Read("Settings", "MainTop"), "7");
#ifndef _WIN32
    EXPECT_EQ(std::filesystem::status(dir.File("new/Kestrova")).permissions(),
              static_cast<std::filesystem::perms>(0755));
#endif
    if (c.damaged) {
      EXPECT_EQ(ReadBytes(aside), bytes);
      EXPECT_EQ(ReadBytes(path), "[Settings]\nMainTop=7\n");
    } else {
      EXPECT_FALSE(std::filesystem::exists(aside));
      EXPECT_EQ(FindSetting(ReadBytes(path), "Settings", "MainLeft"), "5");
      // A value it holds already is not written again: a read-only file takes it.
      testing::SetReadOnly(path);
      EXPECT_TRUE(store.Write("Settings", "MainTop", "7", &reason)) << reason;
      testing::SetReadOnly(path, false);
    }
    if (c.set_aside_before > 0) {
      EXPECT_EQ(ReadBytes(path + ".damaged"), "earlier");
    }
  }
}

// What stands at the settings file's place follows the one rule of every
// file written: a pipe is written straight and never read, a link stays a
// link, a folder or a socket is refused with the reason, and a damaged file
// that cannot be set aside is not written over.
TEST(SettingsFileTest, PosixOnly_WhatIsNotAPlainFile) {
  KESTROVA_POSIX_ONLY();
  TempDir dir;
  testing::PipeReader fifo(dir.File("fifo"));
  testing::MakeFifo(dir.File("fifo-unread"));
  std::filesystem::create_directory(dir.File("folder"));
  ASSERT_TRUE(testing::MakeSocket(dir.File("socket")));
  const std::string long_name(250, 'k');
  const std::string damaged(2 << 20, 'x');
  WriteBytes(dir.File(long_name), damaged);
  WriteBytes(dir.File("real.conf"), damaged);
  const bool device = testing::MakeDeviceNode(dir.File("device"));
  struct Case {
    const char* target;  // what Kestrova.conf links to
    const char* reason;  // empty: written
  } cases[] = {
      {"fifo", ""},
      {"device", ""},  // left out where no device node can be made
      {"fifo-unread", "Nothing is reading from the pipe"},
      {"folder", "It is a folder, not a file"},
      {"socket", "It is a socket, not a file"},
      // "<250 bytes>.damaged" would be too long a name.
      {long_name.c_str(), "could not be set aside: File name too long"},
      {"real.conf", ""},  // damaged, set aside; written afresh through the link
      // A file that cannot be read is not written over as if it were empty.
      {"/proc/self/mem", "Input/output error"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.target);
    if (std::string_view(c.target) == "device" && !device) continue;
    const std::string path = dir.File("Kestrova.conf");
    std::filesystem::remove(path);
    std::filesystem::create_symlink(c.target, path);
    SettingsFile store(path);
    EXPECT_EQ(store.Read("Settings", "MainLeft"), std::nullopt);
    std::string reason;
    EXPECT_EQ(store.Write("Settings", "MainLeft", "7", &reason), *c.reason == '\0');
    EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    EXPECT_TRUE(std::filesystem::is_symlink(path));
  }
  EXPECT_EQ(fifo.Drain(), "[Settings]\nMainLeft=7\n");
  EXPECT_TRUE(std::filesystem::is_fifo(dir.File("fifo")));
  EXPECT_EQ(std::filesystem::is_character_file(dir.File("device")), device);
  EXPECT_TRUE(std::filesystem::is_fifo(dir.File("fifo-unread")));
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder")));
  EXPECT_TRUE(std::filesystem::is_socket(dir.File("socket")));
  EXPECT_EQ(ReadBytes(dir.File(long_name)), damaged);
  EXPECT_EQ(ReadBytes(dir.File("real.conf.damaged")), damaged);
  EXPECT_EQ(ReadBytes(dir.File("real.conf")), "[Settings]\nMainLeft=7\n");
}

}  // namespace
}  // namespace kestrova
