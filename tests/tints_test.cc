#include "options/tints.h"

#include <gtest/gtest.h>

#include "tests/test_support.h"
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
  ASSERT_TRUE(testing::ColorAt(canvas, 2500, 1000, &color));
  EXPECT_EQ(color, (Rgb{193, 255, 255}));
  EXPECT_FALSE(testing::ColorAt(canvas, 5001, 1000, &color));
  EXPECT_FALSE(testing::ColorAt(canvas, 10, 2, &color));
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
  // Where neither black nor white reads better than the theme's colour, the
  // theme's stays: here each of the three is one of the colours behind.
  const Rgb red{200, 0, 0};
  Canvas mixed;
  mixed.DrawLine(0, 1000, 9000, 1000, kBlackText);
  mixed.DrawLine(0, 1100, 9000, 1100, kWhiteText);
  EXPECT_EQ(TextColorOver(mixed, {1000, 1000, 1000, 300}, red, red), red);
  EXPECT_NEAR(ContrastRatio(kBlackText, kWhiteText), 21, 1e-9);
  EXPECT_NEAR(ContrastRatio(Rgb{119, 119, 119}, kWhiteText), 4.48, 0.01);
}

// What shows behind a text's rows: a line across the whole text hides what
// lies below it in that row; any other line that reaches the text adds its
// colour. The rows are the text's box and 15 twips above and below.
TEST(ColorsBehindTest, LinesThatReachTheText) {
  const Rgb plain{1, 1, 1};
  const Rgb red{200, 0, 0};
  const TwipsRect text{1000, 1000, 1000, 300};  // x 1000-2000, rows 985-1314
  struct Case {
    const char* name;
    std::vector<CanvasLine> lines;
    TwipsRect rect;
    std::vector<Rgb> expected;
  };
  // One line across the text in each of its rows, from x1 to x2.
  auto every_row = [&](int x1, int x2) {
    std::vector<CanvasLine> lines;
    for (int y = 985; y <= 1314; ++y) lines.push_back({x1, y, x2, y, red});
    return lines;
  };
  const Case cases[] = {
      {"nothing drawn", {}, text, {plain}},
      {"a line in one row", {{0, 1100, 3000, 1100, red}}, text, {plain, red}},
      {"drawn right to left", {{3000, 1100, 0, 1100, red}}, text, {plain, red}},
      {"wholly to the left", {{0, 1100, 999, 1100, red}}, text, {plain}},
      {"wholly to the right", {{2001, 1100, 3000, 1100, red}}, text, {plain}},
      {"touching the right edge", {{2000, 1100, 3000, 1100, red}}, text, {plain, red}},
      {"touching the left edge", {{0, 1100, 1000, 1100, red}}, text, {plain, red}},
      {"above the rows", {{0, 984, 3000, 984, red}}, text, {plain}},
      {"in the margin above", {{0, 985, 3000, 985, red}}, text, {red, plain}},
      {"in the margin below", {{0, 1314, 3000, 1314, red}}, text, {plain, red}},
      {"below the rows", {{0, 1315, 3000, 1315, red}}, text, {plain}},
      {"a slanted line through the rows", {{1500, 0, 1500, 5000, red}}, text, {plain, red}},
      {"across every row, exactly", every_row(1000, 2000), text, {red}},
      {"across every row but one twip short", every_row(1000, 1999), text, {plain, red}},
      {"no rows at all", {{0, 1000, 3000, 1000, red}}, {1000, 1000, 1000, -30}, {plain}},
      {"fewer than none", {}, {1000, 1000, 1000, -31}, {plain}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas;
    for (const CanvasLine& l : c.lines) canvas.DrawLine(l.x1, l.y1, l.x2, l.y2, l.color);
    EXPECT_EQ(ColorsBehind(canvas, c.rect, plain), c.expected);
  }
}

// The texts drawn over a tint: labels, check boxes and a frame's caption
// line, in the window's client area; never a button or a list.
TEST(TextsOverTintTest, LabelsCheckBoxesAndFrameCaptions) {
  const ControlLayout controls[] = {
      {"Label", ControlKind::kLabel, "", "", {100, 200, 300, 400}, -1, ""},
      {"Button", ControlKind::kButton, "", "", {1, 2, 3, 4}, 0, ""},
      {"List", ControlKind::kListBox, "", "", {1, 2, 3, 4}, 1, ""},
      {"Frame", ControlKind::kFrame, "", "", {1000, 2000, 3000, 4000}, -1, ""},
      {"Check", ControlKind::kCheckBox, "", "", {10, 20, 30, 40}, 2, "Frame"},
      {"Low", ControlKind::kFrame, "", "", {5, 6, 7, 100}, -1, ""},
  };
  const WindowLayout window{"W", "", 9000, 9000, 8, controls};
  std::string got;
  for (const TextOverTint& t : TextsOverTint(window)) {
    got += std::string(t.control->name) + " " + std::to_string(t.rect.left) + "," +
           std::to_string(t.rect.top) + "," + std::to_string(t.rect.width) + "," +
           std::to_string(t.rect.height) + "; ";
  }
  EXPECT_EQ(got,
            "Label 100,200,300,400; Frame 1000,2000,3000,255; Check 1010,2020,30,40; "
            "Low 5,6,7,100; ");
}

// Lines at one device pixel a twip (1440 DPI), drawn in their colour over
// what the view holds, in every direction and clipped to the view: the view
// sits inside a larger buffer whose border must stay as it was.
TEST(RenderCanvasTest, LinesInEveryDirection) {
  struct Case {
    const char* name;
    struct {
      int x1, y1, x2, y2;
    } line;
    const char* expected;  // rows of the 6 x 4 view, "#" where the line is
  } cases[] = {
      {"across", {1, 1, 4, 1}, "....../.####./....../......"},
      {"along the top", {0, 0, 5, 0}, "######/....../....../......"},
      {"above the view", {0, -1, 5, -1}, "....../....../....../......"},
      {"below the view", {0, 4, 5, 4}, "....../....../....../......"},
      {"right to left", {4, 2, 1, 2}, "....../....../.####./......"},
      {"down", {2, 0, 2, 3}, "..#.../..#.../..#.../..#..."},
      {"up", {3, 3, 3, 1}, "....../...#../...#../...#.."},
      {"down and right", {0, 0, 3, 3}, "#...../.#..../..#.../...#.."},
      {"up and right", {0, 3, 3, 0}, "...#../..#.../.#..../#....."},
      {"up and left", {5, 3, 2, 0}, "..#.../...#../....#./.....#"},
      {"steep", {0, 0, 1, 3}, "#...../#...../.#..../.#...."},
      {"shallow", {0, 0, 5, 2}, "##..../..##../....##/......"},
      {"nearly diagonal", {0, 0, 4, 3}, "#...../.#..../..##../....#."},
      {"diagonal past the top", {-1, 2, 4, -3}, ".#..../#...../....../......"},
      {"diagonal past the right", {4, 0, 7, 3}, "....#./.....#/....../......"},
      {"a point", {4, 2, 4, 2}, "....../....../....#./......"},
      {"past the edges", {-3, 3, 9, 3}, "....../....../....../######"},
      {"past the corner", {3, 2, 8, 7}, "....../....../...#../....#."},
  };
  const Rgb color{201, 101, 51};  // odd, so every bit of a channel counts
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Canvas canvas;
    const auto& l = c.line;
    canvas.DrawLine(l.x1, l.y1, l.x2, l.y2, color);
    // A 6 x 4 view at (1, 1) of an 8 x 6 buffer.
    std::vector<std::uint32_t> pixels(8 * 6, 7);
    RenderCanvas(canvas, {pixels.data() + 8 + 1, 6, 4, 8}, 1440);
    std::string got;
    for (int y = 0; y < 6; ++y) {
      for (int x = 0; x < 8; ++x) {
        const std::uint32_t p = pixels[static_cast<size_t>(y) * 8 + x];
        if (y == 0 || y == 5 || x == 0 || x == 7) {
          EXPECT_EQ(p, 7u) << "outside the view at " << x << "," << y;
          continue;
        }
        if (x == 1 && y > 1) got += '/';
        EXPECT_TRUE(p == 7 || p == 0xffc96533u) << std::hex << p;
        got += p == 7 ? '.' : '#';
      }
    }
    EXPECT_EQ(got, c.expected);
  }
}

// Lines over different spans stay apart, however far out their ends lie;
// only a line over the very same span hides the older one.
TEST(CanvasTest, OnlyTheSameSpanHidesALine) {
  const std::pair<CanvasLine, CanvasLine> apart[] = {
      {{0, 0, -1, 0, {}}, {0, 1, 32767, 0, {}}},
      {{-32768, 0, 0, 0, {}}, {0, 0, 0, 0, {}}},
      {{0, 0, 0, -1, {}}, {0, 0, 1, 65535, {}}},
      {{1, 0, 0, 0, {}}, {0, -32768, 0, 0, {}}},
  };
  for (const auto& [a, b] : apart) {
    Canvas canvas;
    canvas.DrawLine(a.x1, a.y1, a.x2, a.y2, Rgb{1, 1, 1});
    canvas.DrawLine(b.x1, b.y1, b.x2, b.y2, Rgb{2, 2, 2});
    EXPECT_EQ(canvas.Lines().size(), 2u) << b.x1 << "," << b.y1 << "," << b.x2 << "," << b.y2;
  }
  // Many lines drawn over one span: the hidden ones are dropped, the first
  // line drawn stays, and so does the last over the span.
  Canvas canvas;
  canvas.DrawLine(0, 0, 5, 0, Rgb{1, 1, 1});
  for (int i = 0; i < 5000; ++i) canvas.DrawLine(0, 1, 5, 1, Rgb{2, 2, static_cast<int>(i % 200)});
  ASSERT_EQ(canvas.Lines().size(), 2u);
  EXPECT_EQ(canvas.Lines()[0].y1, 0);
  EXPECT_EQ(canvas.Lines()[1].color.blue, 4999 % 200);
  // A line off the view leaves the next one to be drawn.
  std::vector<std::uint32_t> pixels(6 * 4, 7);
  Canvas two;
  two.DrawLine(0, -5, 5, -5, Rgb{1, 1, 1});
  two.DrawLine(0, 2, 5, 2, Rgb{1, 1, 1});
  two.DrawLine(4, 0, 4, 1, Rgb{1, 1, 1});  // and a line across leaves the next one too
  RenderCanvas(two, {pixels.data(), 6, 4, 6}, 1440);
  EXPECT_NE(pixels[2 * 6], 7u);
  EXPECT_NE(pixels[4], 7u);
}

}  // namespace
}  // namespace kestrova
