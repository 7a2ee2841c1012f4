#include "ui/picture.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "ui/artwork.h"

namespace kestrova {
namespace {

constexpr std::uint32_t kRed = 0xffff0000u;
constexpr std::uint32_t kBlue = 0xff0000ffu;

// Crisp drawing: where each shape's outline and fill land, pixel by pixel.
TEST(RasterizeTest, CrispShapesCoverWholePixels) {
  using Kind = Shape::Kind;
  struct Case {
    const char* what;
    Kind kind;
    Rgba pen, brush;
    GridPoint a, b;
    std::vector<std::pair<int, int>> outline;  // pixels in the pen's colour
    std::vector<std::pair<int, int>> fill;     // pixels in the brush's colour
    std::vector<std::pair<int, int>> clear;    // untouched pixels
  };
  const Case cases[] = {
      {"outlined rectangle at 1,1 of size 4 covers pixels 1 to 5",
       Kind::kRectangle,
       Opaque(255, 0, 0),
       Opaque(0, 0, 255),
       {1, 1},
       {4, 4},
       {{1, 1}, {5, 1}, {1, 5}, {5, 5}, {3, 1}},
       {{2, 2}, {4, 4}, {3, 3}},
       {{0, 0}, {6, 6}, {6, 3}, {3, 6}}},
      {"a fill covers its pixels from the corner, no outline",
       Kind::kFill,
       {},
       Opaque(0, 0, 255),
       {2, 3},
       {1, 3},
       {},
       {{2, 3}, {2, 5}},
       {{2, 2}, {2, 6}, {1, 4}, {3, 4}}},
      {"a line has square ends: both end pixels are drawn",
       Kind::kLine,
       Opaque(255, 0, 0),
       {},
       {3, 1},
       {3, 6},
       {{3, 1}, {3, 6}, {3, 4}},
       {},
       {{3, 0}, {3, 7}, {2, 4}, {4, 4}}},
      {"ellipse: outline on the edge, fill inside",
       Kind::kEllipse,
       Opaque(255, 0, 0),
       Opaque(0, 0, 255),
       {1, 1},
       {8, 8},
       {{1, 5}, {9, 5}, {5, 1}, {5, 9}},
       {{5, 5}, {3, 5}},
       {{1, 1}, {9, 9}, {0, 5}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Image image = Rasterize(Picture{16, {{c.kind, c.pen, c.brush, {c.a, c.b}}}}, 16, false);
    for (auto [x, y] : c.outline) EXPECT_EQ(image.At(x, y), kRed) << x << "," << y;
    for (auto [x, y] : c.fill) EXPECT_EQ(image.At(x, y), kBlue) << x << "," << y;
    for (auto [x, y] : c.clear) EXPECT_EQ(image.At(x, y), 0u) << x << "," << y;
  }
}

TEST(RasterizeTest, ScalesAndSmoothsEdges) {
  // A fill of half a design unit's width at double size is one whole pixel;
  // smoothed at the design size it is half covered, in its own colour.
  const Picture half{4, {{Shape::Kind::kFill, {}, Opaque(0, 0, 255), {{1, 1}, {0.5, 1}}}}};
  EXPECT_EQ(Rasterize(half, 8, false).At(2, 2), kBlue);
  EXPECT_EQ(Rasterize(half, 8, false).At(3, 2), 0u);
  const std::uint32_t smooth = Rasterize(half, 4, true).At(1, 1);
  EXPECT_EQ(smooth >> 24, 128u);
  EXPECT_EQ(smooth & 0xffffff, 0x0000ffu);
  // Later shapes are drawn over earlier ones.
  const Picture both{4,
                     {{Shape::Kind::kFill, {}, Opaque(0, 0, 255), {{0, 0}, {4, 4}}},
                      {Shape::Kind::kFill, {}, Opaque(255, 0, 0), {{1, 1}, {1, 1}}}}};
  EXPECT_EQ(Rasterize(both, 4, false).At(1, 1), kRed);
  EXPECT_EQ(Rasterize(both, 4, false).At(2, 1), kBlue);
}

TEST(ArtworkTest, ToolbarImagesUseTheirKeysAndTheMarkIsOpaqueWhereDrawn) {
  for (const char* key : {"Open", "Save", "Help"}) {
    const Image image = Rasterize(ToolbarPicture(key), 16, false);
    EXPECT_EQ(image.At(0, 0), 0u) << key;  // the corner shows the bar through
    EXPECT_EQ(image.At(7, 10) >> 24, 255u) << key;
  }
  EXPECT_TRUE(ToolbarPicture("").shapes.empty());
  EXPECT_TRUE(ToolbarPicture("open").shapes.empty());
  for (int size : kMarkSizes) {
    const Image mark = MarkImage(size);
    EXPECT_EQ(mark.width, size);
    EXPECT_EQ(mark.At(size / 2, size * 3 / 4) >> 24, 255u) << size;  // the sieve
    EXPECT_EQ(mark.At(0, 0), 0u) << size;
  }
}

// The small icons are drawn for their size: whole pixels of the mark's own
// colours, and the sieve's wires apart, not a blur of the large drawing.
TEST(ArtworkTest, SmallMarksAreCrispWithRoomBetweenWires) {
  const std::uint32_t colors[] = {0xff000000u, 0xff008080u, 0xffc0c0c0u, 0xffa0522du, 0xffffff00u};
  constexpr std::uint32_t kWire = 0xffc0c0c0u;
  for (const int size : {16, 24, 32}) {
    SCOPED_TRACE(size);
    const Image mark = MarkImage(size);
    for (const std::uint32_t pixel : mark.argb) {
      if (pixel == 0) continue;
      EXPECT_NE(std::find(std::begin(colors), std::end(colors), pixel), std::end(colors))
          << std::hex << pixel;
    }
    // A row across the sieve between its rim and its crossing wire.
    const int y = size * 19 / 32;
    std::vector<int> wires;
    for (int x = 0; x < size; ++x) {
      if (mark.At(x, y) == kWire) wires.push_back(x);
    }
    ASSERT_GE(wires.size(), 2u);
    for (size_t i = 1; i < wires.size(); ++i) EXPECT_GE(wires[i] - wires[i - 1], 3) << wires[i];
  }
}

}  // namespace
}  // namespace kestrova
