// Text that stays legible over a painted tint, under any desktop theme. The
// texts drawn on a window's own background (labels, check boxes, a frame's
// caption) take the colour that reads best over the tint behind them; the
// controls with a background of their own follow the theme.
#ifndef KESTROVA_UI_CONTRAST_H_
#define KESTROVA_UI_CONTRAST_H_

#include <span>
#include <vector>

#include "ui/canvas.h"
#include "ui/window_layout.h"

namespace kestrova {

// The contrast the texts must reach over every colour behind them (WCAG AA).
inline constexpr double kLegibleContrast = 4.5;

// The tinted windows' own background where no tint line lies, in every
// theme: the classic light face colour. A dark theme's window colour there
// would leave no text colour readable over both it and the pale tint beside
// it.
inline constexpr Rgb kClassicFaceColor{212, 208, 200};
inline constexpr Rgb kBlackText{0, 0, 0};
inline constexpr Rgb kWhiteText{255, 255, 255};

// WCAG 2 relative luminance (0 to 1) and contrast ratio (1 to 21).
double RelativeLuminance(Rgb color);
double ContrastRatio(Rgb a, Rgb b);

// The colours a text inside `rect` (twips, the window's client area) stands
// on: the canvas's lines over the rows it covers, and `plain` wherever no
// line lies under some part of it.
std::vector<Rgb> ColorsBehind(const Canvas& canvas, const TwipsRect& rect, Rgb plain);

// The theme's text colour when it reaches kLegibleContrast over every
// colour behind `rect`; else whichever of it, black and white reads best
// over the worst of them.
Rgb TextColorOver(const Canvas& canvas, const TwipsRect& rect, Rgb plain, Rgb theme_text);

// A text drawn straight on the window's background, and where it lies.
struct TextOverTint {
  const ControlLayout* control;
  TwipsRect rect;  // in the window's client area
};
// Every such text of `window`: labels, check boxes, frame captions.
std::vector<TextOverTint> TextsOverTint(const WindowLayout& window);

}  // namespace kestrova

#endif  // KESTROVA_UI_CONTRAST_H_
