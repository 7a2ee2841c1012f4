// Pictures described as shapes on a square grid, and the one rasterizer
// that turns them into pixels for both bindings and for the icon files made
// at build time: the same description gives the same pixels everywhere.
#ifndef KESTROVA_UI_PICTURE_H_
#define KESTROVA_UI_PICTURE_H_

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kestrova {

struct Rgba {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t alpha = 0;  // 0: none (no outline, no fill)
  bool operator==(const Rgba&) const = default;
};

inline constexpr Rgba Opaque(int red, int green, int blue) {
  return {static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green),
          static_cast<std::uint8_t>(blue), 255};
}

struct GridPoint {
  double x = 0;
  double y = 0;
};

// Outlines run through pixel centres, as a one-pixel pen hits them when drawn
// without smoothing: an outlined rectangle at (1, 1) of size 13 covers
// pixels 1 to 14. A fill covers whole pixels from its corner.
struct Shape {
  enum class Kind {
    kEllipse,    // points: corner, size
    kRectangle,  // points: corner, size
    kPolygon,    // points: the corners
    kLine,       // points: the two ends (square ends)
    kFill,       // points: corner, size; whole pixels, no outline
  };
  Kind kind;
  Rgba pen;    // outline colour
  Rgba brush;  // fill colour
  std::vector<GridPoint> points;
  double pen_width = 1;
};

struct Picture {
  int grid = 16;  // the design size: the picture spans grid x grid units
  std::vector<Shape> shapes;

  // Adds `other`'s shapes, scaled by `scale` and moved by (dx, dy).
  void Add(const Picture& other, double scale, double dx, double dy);
};

// Pixels 0xAARRGGBB, row by row from the top, alpha not premultiplied.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> argb;
  std::uint32_t At(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
};

// Draws `picture` at `size` x `size` pixels on a transparent ground. With
// `smooth`, edges are blended from 4 x 4 samples a pixel; without, each pixel
// takes the colour at its centre.
Image Rasterize(const Picture& picture, int size, bool smooth);

}  // namespace kestrova

#endif  // KESTROVA_UI_PICTURE_H_
