// A window background that remembers the lines drawn on it, so the view can
// draw them again at any scale and after any redraw.
#ifndef KESTROVA_UI_CANVAS_H_
#define KESTROVA_UI_CANVAS_H_

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace kestrova {

struct Rgb {
  int red = 0;
  int green = 0;
  int blue = 0;
  bool operator==(const Rgb&) const = default;
};

// Coordinates are twips from the top-left corner of the client area.
class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;
  virtual void DrawLine(int x1, int y1, int x2, int y2, Rgb color) = 0;
};

struct CanvasLine {
  int x1, y1, x2, y2;
  Rgb color;
};

class Canvas : public DrawingSurface {
 public:
  void DrawLine(int x1, int y1, int x2, int y2, Rgb color) override;
  // The visible lines, oldest first; later lines are drawn over earlier ones.
  std::vector<CanvasLine> Lines() const;
  std::uint64_t Revision() const { return revision_; }

 private:
  void Compact();

  std::vector<CanvasLine> lines_;
  std::vector<bool> dead_;
  size_t dead_count_ = 0;
  // A line drawn again over the very same span hides the older one.
  std::unordered_map<std::uint64_t, size_t> by_span_;
  std::uint64_t revision_ = 0;
};

// Device pixels 0xffRRGGBB, as both bindings hold a window's background:
// Qt's RGB32 image and a Windows DIB section alike. `stride` counts pixels.
struct PixelView {
  std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;
};

// Draws the canvas lines into `view`, over what it holds, at `dpi` device
// pixels per inch. A device row shows the last twip line that falls into
// it, so the gradient stays sharp at any scale.
void RenderCanvas(const Canvas& canvas, PixelView view, double dpi);

}  // namespace kestrova

#endif  // KESTROVA_UI_CANVAS_H_
