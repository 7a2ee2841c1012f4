#include "ui/canvas.h"

#include <algorithm>

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

bool Canvas::ColorAt(int x, int y, Rgb* color) const {
  for (size_t i = lines_.size(); i-- > 0;) {
    const CanvasLine& l = lines_[i];
    if (dead_[i] || l.y1 != y || l.y2 != y) continue;
    if (x >= std::min(l.x1, l.x2) && x <= std::max(l.x1, l.x2)) {
      *color = l.color;
      return true;
    }
  }
  return false;
}

}  // namespace kestrova
