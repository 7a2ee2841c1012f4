#include "ui/artwork.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace kestrova {
namespace {

// The classic 16-colour palette entries used below.
constexpr Rgba kNone{};
constexpr Rgba kBlack = Opaque(0, 0, 0);
constexpr Rgba kNavy = Opaque(0, 0, 128);
constexpr Rgba kTeal = Opaque(0, 128, 128);
constexpr Rgba kOlive = Opaque(128, 128, 0);
constexpr Rgba kYellow = Opaque(255, 255, 0);
constexpr Rgba kSilver = Opaque(192, 192, 192);
constexpr Rgba kWhite = Opaque(255, 255, 255);
constexpr Rgba kRed = Opaque(255, 0, 0);
constexpr Rgba kBlue = Opaque(0, 0, 255);

using Kind = Shape::Kind;

Shape Fill(Rgba color, double left, double top, double width, double height) {
  return {Kind::kFill, kNone, color, {{left, top}, {width, height}}};
}

std::string Number(double v) {
  char buffer[32];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
  return std::string(buffer, end);
}

std::string Hex(Rgba c) {
  char buffer[8];
  std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", c.red, c.green, c.blue);
  return buffer;
}

}  // namespace

Picture ToolbarPicture(std::string_view key) {
  Picture p{16, {}};
  if (key == "Open") {  // a folder
    p.shapes = {
        {Kind::kPolygon, kBlack, kOlive, {{1, 3}, {6, 3}, {7, 5}, {13, 5}, {13, 13}, {1, 13}}},
        {Kind::kPolygon, kBlack, kYellow, {{3, 7}, {15, 7}, {13, 13}, {1, 13}}},
    };
  } else if (key == "Save") {  // a diskette
    p.shapes = {
        {Kind::kRectangle, kBlack, kNavy, {{1, 1}, {13, 13}}},
        {Kind::kRectangle, kBlack, kWhite, {{4, 1}, {7, 5}}},
        {Kind::kRectangle, kBlack, kSilver, {{4, 9}, {7, 5}}},
        Fill(kNavy, 9, 2, 1, 3),
    };
  } else if (key == "Help") {  // a question mark on a yellow disc
    p.shapes = {
        {Kind::kEllipse, kBlack, kYellow, {{1, 1}, {13, 13}}},
        Fill(kNavy, 5, 3, 5, 2),
        Fill(kNavy, 4, 4, 2, 2),
        Fill(kNavy, 9, 4, 2, 3),
        Fill(kNavy, 7, 6, 3, 2),
        Fill(kNavy, 7, 8, 2, 2),
        Fill(kNavy, 7, 11, 2, 2),
    };
  }
  return p;
}

Picture MarkPicture() {
  Picture p{32, {}};
  p.shapes.push_back({Kind::kEllipse, kBlack, kTeal, {{2, 14}, {28, 16}}});  // the sieve
  for (int x = 6; x <= 26; x += 4) {
    p.shapes.push_back({Kind::kLine, kSilver, kNone, {{double(x), 16}, {double(x), 28}}});
  }
  for (int y = 18; y <= 26; y += 4) {
    p.shapes.push_back({Kind::kLine, kSilver, kNone, {{4, double(y)}, {28, double(y)}}});
  }
  p.shapes.push_back({Kind::kEllipse, kBlack, Opaque(160, 82, 45), {{9, 2}, {14, 13}}});  // head
  p.shapes.push_back({Kind::kPolygon, kBlack, kYellow, {{21, 8}, {27, 10}, {21, 12}}});   // beak
  p.shapes.push_back({Kind::kEllipse, kBlack, kBlack, {{16, 6}, {3, 3}}});                // eye
  return p;
}

Picture SmallMarkPicture(int size) {
  // The mark's design points, snapped to whole pixels at `size`.
  const double k = size / 32.0;
  auto at = [k](double v) { return std::round(v * k); };
  auto length = [k](double v) { return std::max(1.0, std::round(v * k)); };
  Picture p{size, {}};
  p.shapes.push_back(
      {Kind::kEllipse, kBlack, kTeal, {{at(2), at(14)}, {length(28), length(16)}}});  // sieve
  // Three wires one way and one the other, with room between them at 16 px.
  for (const double x : {10.0, 16.0, 22.0}) {
    p.shapes.push_back({Kind::kLine, kSilver, kNone, {{at(x), at(17)}, {at(x), at(27)}}});
  }
  p.shapes.push_back({Kind::kLine, kSilver, kNone, {{at(5), at(22)}, {at(27), at(22)}}});
  p.shapes.push_back(
      {Kind::kEllipse, kBlack, Opaque(160, 82, 45), {{at(9), at(2)}, {length(14), length(13)}}});
  // The beak without an outline, a little larger: a thin one is all outline.
  p.shapes.push_back(
      {Kind::kPolygon, kNone, kYellow, {{at(21), at(7)}, {at(29), at(10)}, {at(21), at(13)}}});
  p.shapes.push_back(Fill(kBlack, at(16), at(6), length(3), length(3)));  // eye
  return p;
}

bool IsSmallMarkSize(int size) { return size <= kLargestSmallMark; }

Image MarkImage(int size) {
  if (IsSmallMarkSize(size)) return Rasterize(SmallMarkPicture(size), size, false);
  return Rasterize(MarkPicture(), size, true);
}

std::string MarkSvg() { return PictureSvg(MarkPicture()); }

std::string PictureSvg(const Picture& picture) {
  // Outlines through pixel centres, as the crisp 32-pixel drawing hits them.
  auto at = [](double v) { return Number(v + 0.5); };
  std::string svg = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
                    std::to_string(picture.grid) + "\" height=\"" + std::to_string(picture.grid) +
                    "\" viewBox=\"0 0 " + std::to_string(picture.grid) + " " +
                    std::to_string(picture.grid) + "\">\n";
  for (const Shape& shape : picture.shapes) {
    const std::string stroke =
        shape.pen.alpha
            ? " stroke=\"" + Hex(shape.pen) + "\" stroke-width=\"" + Number(shape.pen_width) + "\""
            : "";
    const std::string fill = " fill=\"" + (shape.brush.alpha ? Hex(shape.brush) : "none") + "\"";
    const std::vector<GridPoint>& p = shape.points;
    switch (shape.kind) {
      case Kind::kEllipse:
        svg += "  <ellipse cx=\"" + at(p[0].x + p[1].x / 2) + "\" cy=\"" + at(p[0].y + p[1].y / 2) +
               "\" rx=\"" + Number(p[1].x / 2) + "\" ry=\"" + Number(p[1].y / 2) + "\"" + fill +
               stroke + "/>\n";
        break;
      case Kind::kRectangle:
        svg += "  <rect x=\"" + at(p[0].x) + "\" y=\"" + at(p[0].y) + "\" width=\"" +
               Number(p[1].x) + "\" height=\"" + Number(p[1].y) + "\"" + fill + stroke + "/>\n";
        break;
      case Kind::kFill:
        svg += "  <rect x=\"" + Number(p[0].x) + "\" y=\"" + Number(p[0].y) + "\" width=\"" +
               Number(p[1].x) + "\" height=\"" + Number(p[1].y) + "\"" + fill + "/>\n";
        break;
      case Kind::kPolygon: {
        std::string corners;
        for (const GridPoint& c : p) {
          if (!corners.empty()) corners += ' ';
          corners += at(c.x) + "," + at(c.y);
        }
        svg += "  <polygon points=\"" + corners + "\"" + fill + stroke + "/>\n";
        break;
      }
      case Kind::kLine:
        svg += "  <line x1=\"" + at(p[0].x) + "\" y1=\"" + at(p[0].y) + "\" x2=\"" + at(p[1].x) +
               "\" y2=\"" + at(p[1].y) + "\"" + stroke + " stroke-linecap=\"square\"/>\n";
        break;
    }
  }
  return svg + "</svg>\n";
}

Picture AboutIconPicture() {
  return {16,
          {
              {Kind::kEllipse, kBlack, kBlue, {{1, 1}, {13, 13}}},
              Fill(kWhite, 7, 6, 2, 6),
              Fill(kWhite, 7, 3, 2, 2),
          }};
}

Picture AboutImagePicture() {
  Picture p{70,
            {
                Fill(Opaque(0, 128, 255), 0, 0, 70, 35),               // sky
                Fill(kOlive, 0, 35, 70, 35),                           // field
                {Kind::kEllipse, kRed, kYellow, {{48, 6}, {14, 14}}},  // sun
            }};
  p.Add(MarkPicture(), 48.0 / 32, 11, 14);
  return p;
}

}  // namespace kestrova
