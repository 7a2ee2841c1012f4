#include "options/tints.h"

#include <gtest/gtest.h>

#include "ui/contrast.h"

namespace kestrova {
namespace {

const TintScheme& Named(std::string_view name) {
  for (const TintScheme& t : kNamedTints) {
    if (t.name == name) return t;
  }
  return kAboutTint;
}

struct Reference {
  const TintScheme* scheme;
  Rgb at3, at100, at1000;
  int white_at[3];
};

TEST(TintsTest, ReferenceColours) {
  const Reference refs[] = {
      {&Named("Золотой"), {241, 201, 6}, {255, 233, 38}, {255, 255, 255}, {44, 164, 749}},
      {&Named("Бирюзовый"), {101, 196, 191}, {133, 228, 223}, {255, 255, 255}, {464, 179, 194}},
      {&Named("Зеленый"), {11, 160, 2}, {43, 163, 34}, {255, 193, 255}, {734, 2836, 761}},
      {&Named("Серый"), {101, 101, 96}, {133, 133, 128}, {255, 255, 255}, {464, 464, 479}},
      {&Named("Красный"), {160, 10, 10}, {163, 42, 42}, {193, 255, 255}, {2836, 737, 737}},
      {&Named("Синий"), {11, 10, 160}, {43, 42, 168}, {255, 255, 237}, {734, 737, 1229}},
      {&kAboutTint, {101, 96, 91}, {133, 128, 123}, {255, 255, 255}, {464, 479, 494}},
  };
  for (const Reference& r : refs) {
    SCOPED_TRACE(std::string(r.scheme->name));
    EXPECT_EQ(TintColor(*r.scheme, 3), r.at3);
    EXPECT_EQ(TintColor(*r.scheme, 100), r.at100);
    EXPECT_EQ(TintColor(*r.scheme, 1000), r.at1000);
    EXPECT_EQ(TintColor(*r.scheme, 5000), (Rgb{255, 255, 255}));
    const ChannelRule channels[] = {r.scheme->red, r.scheme->green, r.scheme->blue};
    for (int c = 0; c < 3; ++c) {
      EXPECT_EQ(ChannelValue(channels[c], r.white_at[c]), 255) << c;
      EXPECT_LT(ChannelValue(channels[c], r.white_at[c] - 1), 255) << c;
    }
  }
}

TEST(TintsTest, ExactHalvesRoundToEven) {
  const std::pair<int, int> green_of_green[] = {{15, 160}, {44, 161}, {45, 162},
                                                {46, 162}, {75, 162}, {105, 164}};
  for (auto [y, value] : green_of_green) {
    EXPECT_EQ(ChannelValue(Named("Зеленый").green, y), value) << y;
    EXPECT_EQ(ChannelValue(Named("Красный").red, y), value) << y;
  }
}

class RecordingSurface : public DrawingSurface {
 public:
  void DrawLine(int x1, int y1, int x2, int y2, Rgb color) override {
    lines.push_back({x1, y1, x2, y2, color});
  }
  std::vector<CanvasLine> lines;
};

TEST(TintsTest, PaintDrawsTheBandTopToBottom) {
  RecordingSurface surface;
  PaintTint(surface, Named("Синий"));
  ASSERT_EQ(surface.lines.size(), 4998u);
  for (size_t i = 0; i < surface.lines.size(); ++i) {
    const CanvasLine& l = surface.lines[i];
    const int y = static_cast<int>(i) + 3;
    ASSERT_TRUE(l.x1 == 0 && l.x2 == 5000 && l.y1 == y && l.y2 == y) << i;
    ASSERT_EQ(l.color, TintColor(Named("Синий"), y));
  }
}

TEST(TintsTest, LookupPaintsOnlyExactNames) {
  const std::pair<const char*, int> cases[] = {{"Серый", 4998}, {"Золотой", 4998}, {"серый", 0},
                                               {"Серый ", 0},   {"", 0},           {"Grey", 0}};
  for (auto [text, lines] : cases) {
    RecordingSurface surface;
    PaintNamedTint(surface, text);
    EXPECT_EQ(static_cast<int>(surface.lines.size()), lines) << text;
  }
  // Starting at "Красный" skips the tests before it.
  RecordingSurface surface;
  PaintNamedTint(surface, "Золотой", "Красный");
  EXPECT_TRUE(surface.lines.empty());
  PaintNamedTint(surface, "Синий", "Красный");
  EXPECT_EQ(surface.lines.size(), 4998u);
}

TEST(CanvasTest, ANewPaintingReplacesTheOldWithinTheBand) {
  Canvas canvas;
  for (int i = 0; i < 5; ++i) {
    PaintTint(canvas, Named("Золотой"));
    PaintTint(canvas, Named("Красный"));
  }
  EXPECT_EQ(canvas.Lines().size(), 4998u);
  Rgb color;
  ASSERT_TRUE(canvas.ColorAt(2500, 1000, &color));
  EXPECT_EQ(color, (Rgb{193, 255, 255}));
  EXPECT_FALSE(canvas.ColorAt(5001, 1000, &color));
  EXPECT_FALSE(canvas.ColorAt(10, 2, &color));
}

// The colour a text over a tint takes, for every binding: the theme's where
// it reads, else black or white, whichever reads best over the worst row.
TEST(TextColorOverTest, ThemeWhereItReadsElseTheBestOverTheWorstRow) {
  const Rgb light_text{238, 238, 236};
  const Rgb dark_text{20, 20, 20};
  const Rgb dark_window{53, 53, 53};
  struct Case {
    const char* name;
    const char* tint;  // "" for none painted
    TwipsRect rect;
    Rgb plain, theme, expected;
  } cases[] = {
      {"dark blue top of Синий",
       "Синий",
       {120, 40, 2000, 150},
       kClassicFaceColor,
       dark_text,
       kWhiteText},
      {"pale cyan of Красный under a dark theme",
       "Красный",
       {240, 1560, 3735, 375},
       kClassicFaceColor,
       light_text,
       kBlackText},
      {"the theme's own where it reads",
       "Красный",
       {240, 1560, 3735, 375},
       kClassicFaceColor,
       dark_text,
       dark_text},
      {"past the band only the plain colour counts",
       "Синий",
       {5040, 10, 855, 255},
       dark_window,
       dark_text,
       kWhiteText},
      {"rows above the band show the plain colour",
       "Синий",
       {120, 0, 2000, 2},
       dark_window,
       dark_text,
       kWhiteText},
      {"nothing painted", "", {120, 480, 5775, 255}, kClassicFaceColor, light_text, kBlackText},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas;
    PaintNamedTint(canvas, c.tint);
    EXPECT_EQ(TextColorOver(canvas, c.rect, c.plain, c.theme), c.expected);
  }
  EXPECT_NEAR(ContrastRatio(kBlackText, kWhiteText), 21, 1e-9);
  EXPECT_NEAR(ContrastRatio(Rgb{119, 119, 119}, kWhiteText), 4.48, 0.01);
}

}  // namespace
}  // namespace kestrova
