#include "ui/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace kestrova {
namespace {

std::uint64_t SpanKey(int x1, int y1, int x2, int y2) {
  auto part = [](int v) { return static_cast<std::uint64_t>(static_cast<std::uint16_t>(v)); };
  return part(x1) << 48 | part(y1) << 32 | part(x2) << 16 | part(y2);
}

}  // namespace

void Canvas::DrawLine(int x1, int y1, int x2, int y2, Rgb color) {
  const std::uint64_t key = SpanKey(x1, y1, x2, y2);
  if (auto it = by_span_.find(key); it != by_span_.end()) {
    dead_[it->second] = true;
    ++dead_count_;
  }
  by_span_[key] = lines_.size();
  lines_.push_back({x1, y1, x2, y2, color});
  dead_.push_back(false);
  if (dead_count_ > 4096 && dead_count_ * 2 > lines_.size()) Compact();
  ++revision_;
}

void Canvas::Compact() {
  std::vector<CanvasLine> live;
  live.reserve(lines_.size() - dead_count_);
  by_span_.clear();
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (dead_[i]) continue;
    const CanvasLine& l = lines_[i];
    by_span_[SpanKey(l.x1, l.y1, l.x2, l.y2)] = live.size();
    live.push_back(l);
  }
  lines_ = std::move(live);
  dead_.assign(lines_.size(), false);
  dead_count_ = 0;
}

std::vector<CanvasLine> Canvas::Lines() const {
  std::vector<CanvasLine> out;
  out.reserve(lines_.size() - dead_count_);
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (!dead_[i]) out.push_back(lines_[i]);
  }
  return out;
}

namespace {

int DevicePixel(int twips, double dpi) { return static_cast<int>(std::floor(twips * dpi / 1440)); }

std::uint32_t Pixel(Rgb c) {
  return 0xff000000u | static_cast<std::uint32_t>(c.red & 0xff) << 16 |
         static_cast<std::uint32_t>(c.green & 0xff) << 8 |
         static_cast<std::uint32_t>(c.blue & 0xff);
}

}  // namespace

void RenderCanvas(const Canvas& canvas, PixelView view, double dpi) {
  auto put = [&](int x, int y, std::uint32_t pixel) {
    if (x >= 0 && x < view.width && y >= 0 && y < view.height)
      view.pixels[y * view.stride + x] = pixel;
  };
  for (const CanvasLine& line : canvas.Lines()) {
    const std::uint32_t pixel = Pixel(line.color);
    if (line.y1 == line.y2) {
      const int row = DevicePixel(line.y1, dpi);
      if (row < 0 || row >= view.height) continue;
      const int from = std::max(0, DevicePixel(std::min(line.x1, line.x2), dpi));
      const int to = std::min(view.width - 1, DevicePixel(std::max(line.x1, line.x2), dpi));
      std::uint32_t* row_pixels = view.pixels + row * view.stride;
      if (from <= to) std::fill(row_pixels + from, row_pixels + to + 1, pixel);
      continue;
    }
    // Any other line, step by step between its two device pixels.
    int x = DevicePixel(line.x1, dpi), y = DevicePixel(line.y1, dpi);
    const int x2 = DevicePixel(line.x2, dpi), y2 = DevicePixel(line.y2, dpi);
    const int dx = std::abs(x2 - x), dy = -std::abs(y2 - y);
    const int sx = x < x2 ? 1 : -1, sy = y < y2 ? 1 : -1;
    for (int err = dx + dy;;) {
      put(x, y, pixel);
      if (x == x2 && y == y2) break;
      const int e2 = 2 * err;
      if (e2 >= dy) err += dy, x += sx;
      if (e2 <= dx) err += dx, y += sy;
    }
  }
}

}  // namespace kestrova
