// The two windows as designed: every control's name, kind, texts and place
// in twips, the menu and the toolbar. Each binding builds its widgets from
// these tables, so the Qt window and the Windows one cannot drift apart.
#ifndef KESTROVA_UI_WINDOW_LAYOUT_H_
#define KESTROVA_UI_WINDOW_LAYOUT_H_

#include <cmath>
#include <span>
#include <string_view>

namespace kestrova {

// 1/1440 inch; fifteen make a pixel at 96 dots per inch.
inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kTwipsPerPixel = 15;

// Twips to pixels at `dpi` dots per inch, rounded to the nearest pixel.
inline int TwipsToPixels(double twips, double dpi = 96) {
  return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

// What a click on a control or a menu item runs.
enum class WindowCommand {
  kNone,
  kOpenList,
  kCloseList,
  kSaveList,
  kSaveListAs,
  kUnloadMainWindow,
  kShowAbout,
  kQuitImmediately,
  kClearList,
  kShowOptionsPanel,
  kSiftList,
  kApplyOptions,
  kHideAbout,
};

enum class ControlKind {
  kButton,
  kCheckBox,
  kLabel,
  kListBox,
  kProgressBar,
  kVerticalProgressBar,
  kFrame,
  kComboBox,
  kToolBar,
  kPicture,
  kRule,  // a frame drawn as a horizontal line
};

struct TwipsRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct ControlLayout {
  const char* name;
  ControlKind kind;
  const char* text;     // UTF-8; "" for none
  const char* tooltip;  // UTF-8; "" for none
  TwipsRect rect;       // relative to the parent's client area
  int tab;              // place in the tab order; -1 when never focused
  const char* parent;   // "" for the window itself, else a frame's name
  WindowCommand command = WindowCommand::kNone;
  double font_points = 0;  // 0: the window's font
  bool bold = false;
};

struct MenuItemLayout {
  const char* name;
  const char* text;  // with "&" before the access key; "" for a separator
  const char* keys;  // "Ctrl+O" and the like; "" for none
  WindowCommand command;
};

struct MenuLayout {
  const char* name;
  const char* text;
  std::span<const MenuItemLayout> items;
};

struct WindowLayout {
  const char* name;
  const char* caption;
  int client_width;  // twips
  int client_height;
  double font_points;                       // the window's font
  std::span<const ControlLayout> controls;  // in creation order
};

// The window's font where it exists, and the faces that stand in for it.
inline constexpr const char* kClassicFontFaces[] = {"MS Sans Serif", "Microsoft Sans Serif",
                                                    "Arial",         "Liberation Sans",
                                                    "Nimbus Sans",   "DejaVu Sans"};

const WindowLayout& MainWindowLayout();
const WindowLayout& AboutWindowLayout();
std::span<const MenuLayout> MainMenuLayout();
// The toolbar's buttons, left to right, by key: "Open", "Save", a keyless
// one and "Help".
std::span<const char* const> ToolbarKeys();
// The tint selector's items, in order.
std::span<const char* const> TintSelectorItems();
// The About window's 21 credit lines.
std::span<const char* const> AboutCredits();

// A control of `window` by name; the program's tables always hold it.
const ControlLayout& FindControl(const WindowLayout& window, std::string_view name);

}  // namespace kestrova

#endif  // KESTROVA_UI_WINDOW_LAYOUT_H_
