#include "ui/ui_model.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <set>

#include "base/text_set.h"
#include "tests/test_support.h"
#include "ui/entry_display.h"

namespace kestrova {
namespace {

// Entries replaced in the middle live out of order in the list's buffer;
// packing and dropping repeats must still see them in list order.
TEST(EntryListTest, PackingWorksAfterReplacementsAndReads) {
  EntryList list;
  list.Assign({"aaaa", "bbbb", "cccc", "aaaa"});
  list.Set(1, "aaaaXX");  // replaced: its bytes now sit at the end
  list.Set(4, "dd");      // appended
  EXPECT_EQ(list.At(5), "");
  EXPECT_EQ(list.At(-1), "");
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"aaaa", "aaaaXX", "cccc", "aaaa", "dd"}));

  // Keep the first four bytes of entries holding an "a", within the first four.
  list.KeepPrefixes(4, [](std::string_view e) -> std::optional<size_t> {
    if (e.find('a') == std::string_view::npos) return std::nullopt;
    return 4;
  });
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"aaaa", "aaaa", "aaaa"}));
  list.DropRepeats();
  EXPECT_EQ(list.Items(), std::vector<std::string>{"aaaa"});

  list.Assign({"x", "", "y", "x", "", "Y", "y"});
  list.Set(0, "y");
  list.DropRepeats();
  EXPECT_EQ(list.Items(), (std::vector<std::string>{"y", "", "x", "Y"}));
}

TEST(EntryListTest, EveryChangeMovesTheRevision) {
  EntryList list;
  auto last = list.Revision();
  auto moved = [&] {
    const bool changed = list.Revision() != last;
    last = list.Revision();
    return changed;
  };
  list.Set(0, "a");
  EXPECT_TRUE(moved());
  list.Set(5, "out of range");  // ignored, as is a negative index
  list.Set(-1, "out of range");
  EXPECT_FALSE(moved());
  EXPECT_EQ(list.Items(), std::vector<std::string>{"a"});
  list.DropRepeats();
  EXPECT_TRUE(moved());
  list.KeepPrefixes(1, [](std::string_view e) -> std::optional<size_t> { return e.size(); });
  EXPECT_TRUE(moved());
  list.Clear();
  EXPECT_TRUE(moved());
}

// The set behind dropping repeats, against the standard library's, through
// several doublings: short and long texts, near-equal texts, every byte.
TEST(TextSetTest, AgreesWithAReferenceSet) {
  std::mt19937 random(5);
  const char* forms[] = {"1.2.3.4:80",
                         "01.2.3.4:80",
                         "1.2.3.4:080",
                         "255.255.255.255:65535",
                         "1.2.3.4:123456",
                         "1.2.3.4:999999",
                         "1.2.3.4:1234567",
                         "1.2.3.4:0",
                         "1.2.3.4:",
                         "www.host.example:80 ",
                         "",
                         "a"};
  TextSet set;
  std::set<std::string> reference;
  for (int i = 0; i < 200000; ++i) {
    std::string text = forms[random() % std::size(forms)];
    const int edits = static_cast<int>(random() % 4);
    for (int e = 0; e < edits && !text.empty(); ++e) {
      text[random() % text.size()] =
          static_cast<char>(random() % 16 < 12 ? '0' + random() % 10 : random() % 256);
    }
    if (random() % 50 == 0) text += std::string(random() % 300, 'x');
    ASSERT_EQ(set.Insert(text), reference.insert(text).second) << text;
  }
  EXPECT_EQ(set.Size(), reference.size());
}

// Texts of every length up to past the longest numeric entry, right against
// memory that cannot be read, before and after: the set reads no byte
// outside a text.
TEST(TextSetTest, ReadsNothingPastAText) {
  const std::string forms[] = {"255.255.255.255:999999", "1.2.3.4:80", "www.host.example:8080"};
  for (const std::string& form : forms) {
    for (size_t n = 0; n <= form.size(); ++n) {
      const std::string text = form.substr(0, n);
      SCOPED_TRACE(text);
      TextSet set;
      const testing::GuardedText after(text, false), before(text, true);
      EXPECT_TRUE(set.Insert(after.view()));
      EXPECT_FALSE(set.Insert(before.view()));
      EXPECT_FALSE(set.Insert(text));
    }
  }
}

// What a list control shows of an entry: decoded, and cut between letters
// when it is long, so a long UTF-8 entry never turns into windows-1251.
TEST(EntryForListTest, DecodesAndCutsLongEntriesBetweenLetters) {
  const std::string ya = "\xD1\x8F";        // я in UTF-8
  const std::string euro = "\xE2\x82\xAC";  // € in UTF-8
  const std::string grin = "\xF0\x9F\x98\x80";  // 😀 in UTF-8
  const std::string ellipsis = "\xE2\x80\xA6";
  const struct {
    std::string entry;
    std::string shown;
  } rows[] = {
      {"1.2.3.4:80", "1.2.3.4:80"},
      {"\xCF\xF0\xEE\xEA\xF1\xE8", "\xD0\x9F\xD1\x80\xD0\xBE\xD0\xBA\xD1\x81\xD0\xB8"},
      {std::string(2048, 'a'), std::string(2048, 'a')},
      {std::string(2049, 'a'), std::string(2048, 'a') + ellipsis},
      // The cut falls inside a letter: the letter goes, the rest stays UTF-8.
      {std::string(2047, 'a') + ya + "b", std::string(2047, 'a') + ellipsis},
      {std::string(2046, 'a') + ya + "b", std::string(2046, 'a') + ya + ellipsis},
      {std::string(2046, 'a') + euro + "b", std::string(2046, 'a') + ellipsis},
      {std::string(2045, 'a') + euro + "b", std::string(2045, 'a') + euro + ellipsis},
      {std::string(2045, 'a') + grin + "b", std::string(2045, 'a') + ellipsis},
      {std::string(2044, 'a') + grin + "b", std::string(2044, 'a') + grin + ellipsis},
      {"x" + std::string(1100, '\0') + std::string(1000, '\xE0'), ""},
  };
  for (const auto& row : rows) {
    const std::string shown = EntryForList(row.entry);
    if (row.shown.empty()) {
      // windows-1251 to the end of what is shown: а is two bytes in UTF-8.
      EXPECT_EQ(shown.substr(shown.size() - 5), "\xD0\xB0" + ellipsis);
      continue;
    }
    EXPECT_EQ(shown, row.shown) << row.entry.size();
  }
}

// Texts next to the limits of the set's two forms: the numeric key (ports of
// six digits and more, whose bits must not spill into the digit count) and
// the stored length (one byte below 128, two from 128), and texts larger than
// a block of storage. With the key table sized ahead or grown step by step.
TEST(TextSetTest, KeysAndLengthsAtTheirLimits) {
  // First, each larger than the block that storage takes next.
  const std::string big(70 << 10, 'x');
  std::string big2(150 << 10, 'x');
  big2.back() = 'y';
  const std::vector<std::string> texts = {big,
                                          big2,
                                          "1.2.3.4:0000000",
                                          "1.2.3.4:1048576",
                                          "1.2.3.4:000000",
                                          "1.2.3.4:999999",
                                          "1.2.3.4:1048575",
                                          "1.2.3.4:0",
                                          "1.2.3.4:00",
                                          "1.2.3.4:524288",
                                          "255.255.255.255:999999",
                                          std::string(127, 'a'),
                                          std::string(128, 'a'),
                                          std::string(129, 'a')};
  for (const size_t reserved : {size_t{0}, size_t{1} << 20}) {
    SCOPED_TRACE("reserved " + std::to_string(reserved));
    TextSet set;
    set.ReserveKeys(reserved);
    for (const std::string& text : texts) EXPECT_TRUE(set.Insert(text)) << text.substr(0, 20);
    for (int i = 0; i < 2000; ++i) {
      EXPECT_TRUE(
          set.Insert("9.9." + std::to_string(i / 250) + "." + std::to_string(i % 250) + ":1"));
    }
    set.ReserveKeys(2 * reserved);  // growing keeps what is in the set
    set.ReserveKeys(1);             // and a smaller reservation leaves it as it is
    for (const std::string& text : texts) EXPECT_FALSE(set.Insert(text)) << text.substr(0, 20);
    EXPECT_FALSE(set.Insert("9.9.7.249:1"));
    EXPECT_EQ(set.Size(), texts.size() + 2000);
  }
}

}  // namespace
}  // namespace kestrova
