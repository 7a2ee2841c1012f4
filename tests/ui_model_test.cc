#include "ui/ui_model.h"

#include <gtest/gtest.h>

#include <optional>

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
  list.Clear();
  EXPECT_TRUE(moved());
}

}  // namespace
}  // namespace kestrova
