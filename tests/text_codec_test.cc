#include "base/text_codec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#endif

namespace kestrova {
namespace {

// The code point of a text that holds one UTF-8 character.
std::uint32_t OnlyCodePoint(const std::string& utf8) {
  std::vector<std::uint32_t> wide;
  for (size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const int n = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    std::uint32_t code = n == 1 ? lead : lead & (0x7F >> n);
    for (int k = 1; k < n; ++k) code = code << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    wide.push_back(code);
    i += static_cast<size_t>(n);
  }
  return wide.size() == 1 ? wide[0] : 0;
}

TEST(TextCodecTest, WholeCodePage) {
  std::set<std::uint32_t> seen;
  for (int b = 0; b < 256; ++b) {
    SCOPED_TRACE(b);
    const std::string byte(1, static_cast<char>(b));
    const std::string utf8 = Cp1251ToUtf8(byte);
    ASSERT_TRUE(IsValidUtf8(utf8));
    const std::uint32_t code = OnlyCodePoint(utf8);
    if (b < 0x80) {
      EXPECT_EQ(code, static_cast<std::uint32_t>(b));
    }
    if (b == 0x98) {  // the one byte the code page leaves unassigned
      EXPECT_EQ(code, 0xFFFDu);
      EXPECT_EQ(Utf8ToCp1251(utf8), "?");
      continue;
    }
    EXPECT_TRUE(seen.insert(code).second) << "two bytes decode to U+" << std::hex << code;
    EXPECT_EQ(Utf8ToCp1251(utf8), byte);
#ifdef _WIN32
    wchar_t system = 0;
    ASSERT_EQ(MultiByteToWideChar(1251, 0, byte.data(), 1, &system, 1), 1);
    EXPECT_EQ(code, static_cast<std::uint32_t>(system));
#endif
  }
  const std::pair<const char*, const char*> known[] = {
      {"\xC0\xFF", "Ая"}, {"\xA8\xB8", "Ёё"}, {"\xB9", "№"}, {"\x88", "€"}, {"\xA0", "\xC2\xA0"}};
  for (const auto& [cp1251, utf8] : known) EXPECT_EQ(Cp1251ToUtf8(cp1251), utf8);
  // Characters the code page lacks, and bytes that are not UTF-8, become "?".
  EXPECT_EQ(Utf8ToCp1251("a\xE4\xB8\xAD\xF0\x9F\x98\x80"
                         "b\xFF\xC3"
                         "c"),
            "a??b??c");
}

// The edges of UTF-8 (overlong forms, surrogates, past U+10FFFF, sequences
// cut short) and what each such text becomes in windows-1251.
TEST(TextCodecTest, Utf8Edges) {
  const struct {
    std::string_view bytes;
    bool valid;
    std::string_view cp1251;
  } cases[] = {
      {"", true, ""},
      {"\x7F", true, "\x7F"},
      {"\x80", false, "?"},
      {"\xC1\xBF", false, "??"},
      {"\xC2\x80", true, "?"},
      {"\xC2\xA0", true, "\xA0"},
      {"\xDF\xBF", true, "?"},
      {"\xE0\x9F\xBF", false, "???"},
      {"\xE0\xA0\x80", true, "?"},
      {"\xE1\x90\x81", true, "?"},  // U+1401, not U+0401 "Ё"
      {"\xED\x9F\xBF", true, "?"},
      {"\xED\xA0\x80", false, "???"},
      {"\xF0\x8F\xBF\xBF", false, "????"},
      {"\xF0\x90\x80\x80", true, "?"},
      {"\xF1\x80\x90\x81", true, "?"},  // U+40401, not "Ё"
      {"\xF4\x8F\xBF\xBF", true, "?"},
      {"\xF4\x90\x80\x80", false, "????"},
      {"\xF5\x80\x80\x80", false, "????"},
      {"\xC3\x28", false, "?("},
      // The bytes after the text's end are never read.
      {std::string_view("\xC3\xA9", 1), false, "?"},
      {std::string_view("\xE2\x84\x96", 2), false, "??"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::string(c.bytes)));
    EXPECT_EQ(IsValidUtf8(c.bytes), c.valid);
    EXPECT_EQ(Utf8ToCp1251(c.bytes), c.cp1251);
    // A list entry shows as UTF-8 when it is, else as windows-1251.
    EXPECT_EQ(EntryForDisplay(c.bytes), c.valid ? std::string(c.bytes) : Cp1251ToUtf8(c.bytes));
  }
}

}  // namespace
}  // namespace kestrova
