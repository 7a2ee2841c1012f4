// Colour tints: a vertical gradient of horizontal lines on a window's
// background, from a base colour at the top towards white.
#ifndef KESTROVA_OPTIONS_TINTS_H_
#define KESTROVA_OPTIONS_TINTS_H_

#include <array>
#include <string_view>

#include "ui/canvas.h"

namespace kestrova {

struct ChannelRule {
  int base;
  int divisor;
};

struct TintScheme {
  std::string_view name;  // empty for the About window's own tint
  ChannelRule red, green, blue;
};

// The named tints, in the order the main window tests them.
inline constexpr std::array<TintScheme, 6> kNamedTints{{
    {"Золотой", {240, 3}, {200, 3}, {5, 3}},
    {"Бирюзовый", {100, 3}, {195, 3}, {190, 3}},
    {"Зеленый", {10, 3}, {160, 30}, {1, 3}},
    {"Серый", {100, 3}, {100, 3}, {95, 3}},
    {"Красный", {160, 30}, {9, 3}, {9, 3}},
    {"Синий", {10, 3}, {9, 3}, {160, 13}},
}};
inline constexpr TintScheme kAboutTint{"", {100, 3}, {95, 3}, {90, 3}};

// The painted band, in twips.
inline constexpr int kTintFirstY = 3;
inline constexpr int kTintLastY = 5000;
inline constexpr int kTintWidth = 5000;

// base + y / divisor, rounded half to even, at most 255.
int ChannelValue(ChannelRule rule, int y);
Rgb TintColor(const TintScheme& scheme, int y);

// Draws the lines y = 3..5000 from x = 0 to 5000 over what the surface shows.
void PaintTint(DrawingSurface& surface, const TintScheme& scheme);

// Runs the main window's tests of `text` against the tint names, starting at
// the name `first` (all of them by default), and paints each one that
// matches exactly.
void PaintNamedTint(DrawingSurface& surface, std::string_view text,
                    std::string_view first = kNamedTints.front().name);

}  // namespace kestrova

#endif  // KESTROVA_OPTIONS_TINTS_H_
