#include "ui/picture.h"

#include <algorithm>
#include <cmath>

namespace kestrova {
namespace {

constexpr int kSmoothSamples = 4;  // per pixel and axis

struct Bounds {
  double left, top, right, bottom;
};

// A shape in pixel coordinates, with what a sample needs precomputed.
struct Placed {
  const Shape* shape;
  std::vector<GridPoint> at;  // the points, outline points moved to pixel centres
  double half_pen;
  Bounds bounds;
};

bool Inside(const Bounds& b, double x, double y) {
  return x >= b.left && x < b.right && y >= b.top && y < b.bottom;
}

double SegmentDistance(GridPoint a, GridPoint b, double x, double y) {
  const double dx = b.x - a.x;
  const double dy = b.y - a.y;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / length2 : 0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(x - (a.x + t * dx), y - (a.y + t * dy));
}

// Even-odd rule, as polygons are filled by default.
bool InsidePolygon(const std::vector<GridPoint>& p, double x, double y) {
  bool inside = false;
  for (size_t i = 0, j = p.size() - 1; i < p.size(); j = i++) {
    if ((p[i].y > y) != (p[j].y > y) &&
        x < (p[j].x - p[i].x) * (y - p[i].y) / (p[j].y - p[i].y) + p[i].x) {
      inside = !inside;
    }
  }
  return inside;
}

bool InsideEllipse(double cx, double cy, double rx, double ry, double x, double y) {
  if (rx <= 0 || ry <= 0) return false;
  const double u = (x - cx) / rx;
  const double v = (y - cy) / ry;
  return u * u + v * v <= 1;
}

// The colour the shape puts at (x, y), or none.
Rgba ColorAt(const Placed& s, double x, double y) {
  if (!Inside(s.bounds, x, y)) return {};
  const Shape& shape = *s.shape;
  const double h = s.half_pen;
  const bool has_pen = shape.pen.alpha != 0;
  switch (shape.kind) {
    case Shape::Kind::kFill:
      return shape.brush;
    case Shape::Kind::kRectangle: {
      const GridPoint a = s.at[0];
      const GridPoint b = {a.x + s.at[1].x, a.y + s.at[1].y};
      const bool inner = x >= a.x + h && x < b.x - h && y >= a.y + h && y < b.y - h;
      if (has_pen && !inner) return shape.pen;
      return x >= a.x && x < b.x && y >= a.y && y < b.y ? shape.brush : Rgba{};
    }
    case Shape::Kind::kEllipse: {
      const double rx = s.at[1].x / 2;
      const double ry = s.at[1].y / 2;
      const double cx = s.at[0].x + rx;
      const double cy = s.at[0].y + ry;
      if (has_pen && InsideEllipse(cx, cy, rx + h, ry + h, x, y) &&
          !InsideEllipse(cx, cy, rx - h, ry - h, x, y)) {
        return shape.pen;
      }
      return InsideEllipse(cx, cy, rx, ry, x, y) ? shape.brush : Rgba{};
    }
    case Shape::Kind::kPolygon: {
      if (has_pen) {
        for (size_t i = 0, j = s.at.size() - 1; i < s.at.size(); j = i++) {
          if (SegmentDistance(s.at[j], s.at[i], x, y) <= h) return shape.pen;
        }
      }
      return InsidePolygon(s.at, x, y) ? shape.brush : Rgba{};
    }
    case Shape::Kind::kLine: {
      // Square ends: the segment grows by half the pen at either end.
      GridPoint a = s.at[0];
      GridPoint b = s.at[1];
      const double length = std::hypot(b.x - a.x, b.y - a.y);
      if (length > 0) {
        const double ux = (b.x - a.x) / length * h;
        const double uy = (b.y - a.y) / length * h;
        a = {a.x - ux, a.y - uy};
        b = {b.x + ux, b.y + uy};
      }
      const double dx = b.x - a.x;
      const double dy = b.y - a.y;
      const double l2 = dx * dx + dy * dy;
      const double t = l2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / l2 : 0;
      if (t < 0 || t > 1) return {};
      return SegmentDistance(a, b, x, y) <= h ? shape.pen : Rgba{};
    }
  }
  return {};
}

Placed Place(const Shape& shape, double scale) {
  Placed placed{&shape, {}, shape.pen_width * scale / 2, {}};
  // Outlines run through pixel centres; fills start at pixel corners.
  const double centre = shape.kind == Shape::Kind::kFill ? 0 : 0.5;
  const bool corner_and_size = shape.kind == Shape::Kind::kEllipse ||
                               shape.kind == Shape::Kind::kRectangle ||
                               shape.kind == Shape::Kind::kFill;
  for (size_t i = 0; i < shape.points.size(); ++i) {
    const GridPoint p = shape.points[i];
    if (corner_and_size && i == 1) {
      placed.at.push_back({p.x * scale, p.y * scale});
    } else {
      placed.at.push_back({p.x * scale + centre, p.y * scale + centre});
    }
  }
  Bounds& b = placed.bounds;
  if (corner_and_size) {
    b = {placed.at[0].x, placed.at[0].y, placed.at[0].x + placed.at[1].x,
         placed.at[0].y + placed.at[1].y};
  } else {
    b = {1e9, 1e9, -1e9, -1e9};
    for (const GridPoint& p : placed.at) {
      b = {std::min(b.left, p.x), std::min(b.top, p.y), std::max(b.right, p.x),
           std::max(b.bottom, p.y)};
    }
  }
  const double grow = shape.kind == Shape::Kind::kFill ? 0 : placed.half_pen + 1e-9;
  b = {b.left - grow, b.top - grow, b.right + grow, b.bottom + grow};
  return placed;
}

}  // namespace

void Picture::Add(const Picture& other, double scale, double dx, double dy) {
  for (Shape shape : other.shapes) {
    const bool corner_and_size = shape.kind == Shape::Kind::kEllipse ||
                                 shape.kind == Shape::Kind::kRectangle ||
                                 shape.kind == Shape::Kind::kFill;
    for (size_t i = 0; i < shape.points.size(); ++i) {
      GridPoint& p = shape.points[i];
      if (corner_and_size && i == 1) {
        p = {p.x * scale, p.y * scale};
      } else {
        p = {p.x * scale + dx, p.y * scale + dy};
      }
    }
    shape.pen_width *= scale;
    shapes.push_back(std::move(shape));
  }
}

Image Rasterize(const Picture& picture, int size, bool smooth) {
  Image image{size, size, std::vector<std::uint32_t>(static_cast<size_t>(size) * size, 0)};
  if (size <= 0 || picture.grid <= 0) return image;
  const double scale = static_cast<double>(size) / picture.grid;
  std::vector<Placed> placed;
  placed.reserve(picture.shapes.size());
  for (const Shape& shape : picture.shapes) placed.push_back(Place(shape, scale));

  const int n = smooth ? kSmoothSamples : 1;
  std::vector<const Placed*> near;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      near.clear();
      const Bounds pixel{static_cast<double>(x), static_cast<double>(y), x + 1.0, y + 1.0};
      for (const Placed& s : placed) {
        const Bounds& b = s.bounds;
        if (b.left < pixel.right && b.right > pixel.left && b.top < pixel.bottom &&
            b.bottom > pixel.top) {
          near.push_back(&s);
        }
      }
      if (near.empty()) continue;
      // Sums of premultiplied colour over the samples.
      double red = 0, green = 0, blue = 0, alpha = 0;
      for (int sy = 0; sy < n; ++sy) {
        for (int sx = 0; sx < n; ++sx) {
          const double px = x + (sx + 0.5) / n;
          const double py = y + (sy + 0.5) / n;
          Rgba top;
          for (const Placed* s : near) {
            const Rgba c = ColorAt(*s, px, py);
            if (c.alpha != 0) top = c;
          }
          const double a = top.alpha / 255.0;
          red += top.red * a;
          green += top.green * a;
          blue += top.blue * a;
          alpha += a;
        }
      }
      if (alpha <= 0) continue;
      auto channel = [](double v) {
        return static_cast<std::uint32_t>(std::clamp(std::lround(v), 0L, 255L));
      };
      const std::uint32_t a = channel(alpha * 255 / (n * n));
      image.argb[static_cast<size_t>(y) * size + x] = a << 24 | channel(red / alpha) << 16 |
                                                      channel(green / alpha) << 8 |
                                                      channel(blue / alpha);
    }
  }
  return image;
}

}  // namespace kestrova
