#include "options/tints.h"

#include <algorithm>

namespace kestrova {

int ChannelValue(ChannelRule rule, int y) {
  const int whole = rule.base + y / rule.divisor;
  const int twice_rest = 2 * (y % rule.divisor);
  int value = whole;
  if (twice_rest > rule.divisor || (twice_rest == rule.divisor && whole % 2 != 0)) ++value;
  return std::min(value, 255);
}

Rgb TintColor(const TintScheme& scheme, int y) {
  return {ChannelValue(scheme.red, y), ChannelValue(scheme.green, y), ChannelValue(scheme.blue, y)};
}

void PaintTint(DrawingSurface& surface, const TintScheme& scheme) {
  for (int y = kTintFirstY; y <= kTintLastY; ++y) {
    surface.DrawLine(0, y, kTintWidth, y, TintColor(scheme, y));
  }
}

void PaintNamedTint(DrawingSurface& surface, std::string_view text, std::string_view first) {
  auto it = std::find_if(kNamedTints.begin(), kNamedTints.end(),
                         [&](const TintScheme& t) { return t.name == first; });
  for (; it != kNamedTints.end(); ++it) {
    if (text == it->name) PaintTint(surface, *it);
  }
}

}  // namespace kestrova
