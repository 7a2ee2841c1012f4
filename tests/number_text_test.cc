#include "base/number_text.h"

#include <gtest/gtest.h>

namespace kestrova {
namespace {

struct NumberCase {
  const char* text;
  bool at_most_255;
  bool below_99;
};

TEST(NumberTextTest, ReadsTheNumberGrammarExactly) {
  const NumberCase cases[] = {
      {"0", true, true},
      {"255", true, false},
      {"256", false, false},
      {"007", true, true},
      {"-1", true, true},
      {"+12", true, true},
      {"  12  ", true, true},
      {"98", true, true},
      {"99", true, false},
      {"7.", true, true},
      {".5", true, true},
      {"255.0", true, false},
      {"255.000", true, false},
      {"255.001", false, false},
      {"254.999", true, false},
      {"4.5", true, true},
      {"", false, false},
      {" ", false, false},
      {".", false, false},
      {"-", false, false},
      {"1a", false, false},
      {"1.2.3", false, false},
      {"1:", false, false},
      {"1 2", false, false},
      {"- 1", false, false},
      {"1e2", false, false},
      {"0x1", false, false},
      {"--1", false, false},
      {". 5", false, false},  // a point ends the leading blanks
      {".-5", false, false},  // and comes after any sign
      {"99999999999999999999999", false, false},
      {"-99999999999999999999", true, true},
  };
  for (const NumberCase& c : cases) {
    SCOPED_TRACE(std::string("text '") + c.text + "'");
    EXPECT_EQ(AtMost(c.text, 255), c.at_most_255);
    EXPECT_EQ(Below(c.text, 99), c.below_99);
  }
}

TEST(NumberTextTest, IncrementalReadingMatchesReadingWhole) {
  const std::string text = " 12.50 ";
  NumberReader reader;
  for (size_t i = 0; i < text.size(); ++i) {
    reader.Feed(text[i]);
    NumberReader whole;
    whole.Feed(text.substr(0, i + 1));
    EXPECT_EQ(reader.AtMost(255), whole.AtMost(255)) << i;
    EXPECT_EQ(reader.IsNumber(), whole.IsNumber()) << i;
  }
}

}  // namespace
}  // namespace kestrova
