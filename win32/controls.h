// The windows' controls made from their rows in ui/window_layout.cc, and
// what both windows do alike: place them at a DPI, show a painted
// background behind labels and check boxes, tooltips, the tab order.
#ifndef KESTROVA_WIN32_CONTROLS_H_
#define KESTROVA_WIN32_CONTROLS_H_

#include <windows.h>

#include <span>
#include <vector>

#include "ui/canvas.h"
#include "ui/window_layout.h"

namespace kestrova {

// The window classes of the program, registered on first use.
inline constexpr wchar_t kMainWindowClass[] = L"KestrovaMain";
inline constexpr wchar_t kFrameClass[] = L"KestrovaFrame";
inline constexpr wchar_t kAboutWindowClass[] = L"KestrovaAbout";

// Control identifiers: the row's index in its window's table, from here.
inline constexpr int kControlIdBase = 1000;

// Sent by a frame to the window it sits on: paint your background into the
// DC in wParam, as it lies under the child in lParam.
inline constexpr UINT kPaintBackgroundUnder = WM_APP + 100;

HINSTANCE ProgramInstance();
// Loads the common controls the windows use (once).
void UseCommonControls();
// Registers the frame's class; the windows register their own.
void RegisterFrameClass();
// The group box that draws a frame's border and caption; it lies under the
// frame's controls.
HWND FrameGroupBox(HWND frame);

// Creates the control of `row` (its text, style and tooltip) under `parent`.
// `owner_data` makes a virtual list view: it holds no rows and asks its
// parent for each row's text (LVN_GETDISPINFO).
HWND CreateControl(const ControlLayout& row, HWND parent, int id, bool owner_data = false);

RECT PixelRect(const TwipsRect& rect, UINT dpi);
// Puts a control at `rect`; a drop-down's closed height is the rect's too.
void PlaceControl(HWND control, const ControlLayout& row, const RECT& rect);
// Puts each of `controls` (parallel to `rows`, fonts set) at its row's place
// at `dpi`; a label or check box whose text would be cut there widens to
// show it whole, and what follows it on its line moves right by as much.
void PlaceControls(std::span<const ControlLayout> rows, const std::vector<HWND>& controls,
                   UINT dpi);
// The width of `control`'s text in its font (the widest line); where a
// check box's text starts.
int TextWidth(HWND control);
int CheckBoxTextOffset(UINT dpi);

// Stacks `controls` (parallel to `rows`) for painting and for Tab: labels
// at the bottom, under every other control, the rest in tab order from the top.
void StackInTabOrder(std::span<const ControlLayout> rows, const std::vector<HWND>& controls);

// The colour of each text drawn straight over `window`'s painted background,
// parallel to its table: the one that reads best over the tint behind it
// (ui/contrast.h); the theme's button text for every other control.
std::vector<COLORREF> TextColorsOverTint(const WindowLayout& window, const Canvas& canvas);

// For WM_CTLCOLORSTATIC/BTN: the text of `control` (one of `controls`,
// parallel to `colors`, or a frame's caption) in its colour over `brush`, a
// pattern brush of the background of `window`, lined up with where
// `control` lies on it.
LRESULT ColorOverBackground(HDC dc, HWND control, HWND window, HBRUSH brush,
                            const std::vector<HWND>& controls, const std::vector<COLORREF>& colors);

// A tooltip window for `owner`'s controls; AddTooltip adds one control's text.
HWND CreateTooltips(HWND owner);
void AddTooltip(HWND tooltips, HWND control, const char* text);

// Whether `window` is a push button (not a check box, not a group box).
bool IsPushButton(HWND window);

}  // namespace kestrova

#endif  // KESTROVA_WIN32_CONTROLS_H_
