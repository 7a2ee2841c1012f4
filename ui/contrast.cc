#include "ui/contrast.h"

#include <algorithm>
#include <cmath>

namespace kestrova {
namespace {

double Linear(int channel) {
  const double c = std::clamp(channel, 0, 255) / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

void AddOnce(std::vector<Rgb>& colors, Rgb color) {
  if (std::find(colors.begin(), colors.end(), color) == colors.end()) colors.push_back(color);
}

double WorstContrast(Rgb text, const std::vector<Rgb>& behind) {
  double worst = 21;
  for (const Rgb& b : behind) worst = std::min(worst, ContrastRatio(text, b));
  return worst;
}

// A frame's caption takes one line of text along its top edge.
constexpr int kCaptionLineTwips = 255;
// Rows just past a text's box still show beside its glyphs once they are
// rounded to device pixels.
constexpr int kRowMarginTwips = 15;

}  // namespace

double RelativeLuminance(Rgb color) {
  return 0.2126 * Linear(color.red) + 0.7152 * Linear(color.green) + 0.0722 * Linear(color.blue);
}

double ContrastRatio(Rgb a, Rgb b) {
  const double la = RelativeLuminance(a);
  const double lb = RelativeLuminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

std::vector<Rgb> ColorsBehind(const Canvas& canvas, const TwipsRect& rect, Rgb plain) {
  const int top = rect.top - kRowMarginTwips;
  const int rows = rect.height + 2 * kRowMarginTwips;
  const int left = rect.left;
  const int right = rect.left + rect.width;
  if (rows <= 0) return {plain};
  // Per row, what shows there: a line that spans the whole text hides all
  // below it; one that spans part of it adds its colour to what stays seen.
  std::vector<std::vector<Rgb>> seen(static_cast<size_t>(rows), std::vector<Rgb>{plain});
  for (const CanvasLine& line : canvas.Lines()) {
    const int from = std::min(line.y1, line.y2);
    const int to = std::max(line.y1, line.y2);
    const int x1 = std::min(line.x1, line.x2);
    const int x2 = std::max(line.x1, line.x2);
    if (x2 < left || x1 > right) continue;
    const bool spans = line.y1 == line.y2 && x1 <= left && x2 >= right;
    for (int y = std::max(from, top); y <= std::min(to, top + rows - 1); ++y) {
      std::vector<Rgb>& row = seen[static_cast<size_t>(y - top)];
      if (spans) row.clear();
      AddOnce(row, line.color);
    }
  }
  std::vector<Rgb> colors;
  for (const std::vector<Rgb>& row : seen) {
    for (const Rgb& c : row) AddOnce(colors, c);
  }
  return colors;
}

Rgb TextColorOver(const Canvas& canvas, const TwipsRect& rect, Rgb plain, Rgb theme_text) {
  const std::vector<Rgb> behind = ColorsBehind(canvas, rect, plain);
  if (WorstContrast(theme_text, behind) >= kLegibleContrast) return theme_text;
  Rgb best = theme_text;
  for (const Rgb candidate : {kBlackText, kWhiteText}) {
    if (WorstContrast(candidate, behind) > WorstContrast(best, behind)) best = candidate;
  }
  return best;
}

std::vector<TextOverTint> TextsOverTint(const WindowLayout& window) {
  std::vector<TextOverTint> texts;
  for (const ControlLayout& control : window.controls) {
    const ControlKind k = control.kind;
    if (k != ControlKind::kLabel && k != ControlKind::kCheckBox && k != ControlKind::kFrame) {
      continue;
    }
    TwipsRect rect = control.rect;
    if (*control.parent) {
      const TwipsRect& frame = FindControl(window, control.parent).rect;
      rect.left += frame.left;
      rect.top += frame.top;
    }
    if (k == ControlKind::kFrame) rect.height = std::min(rect.height, kCaptionLineTwips);
    texts.push_back({&control, rect});
  }
  return texts;
}

}  // namespace kestrova
