#include "win32/controls.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "ui/contrast.h"
#include "win32/dpi.h"
#include "win32/wide_text.h"

namespace kestrova {
namespace {

// Room for the drop-down's list below its field.
constexpr int kDropDownRows = 8;

// Control texts as Windows draws them: "\r\n" between lines.
std::wstring ControlText(const char* text) {
  std::wstring wide;
  for (wchar_t c : Widen(text)) {
    if (c == L'\n') wide += L'\r';
    wide += c;
  }
  return wide;
}

// The frame: a panel that covers what lies under it with the window's
// painted background, draws its group box, and hands its controls'
// notifications to the window, as a frame of the window's own would.
LRESULT CALLBACK FrameProc(HWND frame, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE: {
      const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
      const HWND group = ::CreateWindowExW(
          0, WC_BUTTONW, create->lpszName, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | BS_GROUPBOX, 0,
          0, create->cx, create->cy, frame, nullptr, ProgramInstance(), nullptr);
      ::SetWindowLongPtrW(frame, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(group));
      return 0;
    }
    case WM_SIZE:
      ::SetWindowPos(FrameGroupBox(frame), HWND_BOTTOM, 0, 0, LOWORD(lparam), HIWORD(lparam),
                     SWP_NOACTIVATE | SWP_NOMOVE);
      return 0;
    case WM_SETFONT:
    case WM_GETFONT:
      return ::SendMessageW(FrameGroupBox(frame), message, wparam, lparam);
    case WM_PAINT: {
      PAINTSTRUCT paint;
      const HDC dc = ::BeginPaint(frame, &paint);
      ::SendMessageW(::GetParent(frame), kPaintBackgroundUnder, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(frame));
      ::EndPaint(frame, &paint);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT covers everything from the window's buffer
    // A themed group box asks for what lies under it through this.
    case WM_PRINTCLIENT:
      ::SendMessageW(::GetParent(frame), kPaintBackgroundUnder, wparam,
                     reinterpret_cast<LPARAM>(frame));
      return 0;
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
      return ::SendMessageW(::GetParent(frame), message, wparam, lparam);
    default:
      return ::DefWindowProcW(frame, message, wparam, lparam);
  }
}

}  // namespace

HWND FrameGroupBox(HWND frame) {
  return reinterpret_cast<HWND>(::GetWindowLongPtrW(frame, GWLP_USERDATA));
}

HINSTANCE ProgramInstance() { return ::GetModuleHandleW(nullptr); }

void UseCommonControls() {
  static const bool ready = [] {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES |
                                                       ICC_PROGRESS_CLASS | ICC_LISTVIEW_CLASSES};
    return ::InitCommonControlsEx(&controls) != FALSE;
  }();
  static_cast<void>(ready);
}

void RegisterFrameClass() {
  static const bool registered = [] {
    WNDCLASSEXW frame{};
    frame.cbSize = sizeof frame;
    frame.lpfnWndProc = FrameProc;
    frame.hInstance = ProgramInstance();
    frame.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    frame.lpszClassName = kFrameClass;
    return ::RegisterClassExW(&frame) != 0;
  }();
  static_cast<void>(registered);
}

HWND CreateControl(const ControlLayout& row, HWND parent, int id, bool owner_data) {
  DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  DWORD ex_style = 0;
  const wchar_t* window_class = WC_STATICW;
  switch (row.kind) {
    case ControlKind::kButton:
      window_class = WC_BUTTONW;
      style |= BS_PUSHBUTTON | WS_TABSTOP;
      break;
    case ControlKind::kCheckBox:
      window_class = WC_BUTTONW;
      style |= BS_AUTOCHECKBOX | WS_TABSTOP;
      break;
    case ControlKind::kLabel:
      // Cut, not wrapped, where a face wider than the design's runs out of
      // room; a label with a tooltip has to see the mouse.
      style |= SS_LEFTNOWORDWRAP | SS_NOPREFIX | (*row.tooltip ? SS_NOTIFY : 0);
      break;
    case ControlKind::kListBox:
      ex_style = WS_EX_CLIENTEDGE;
      style |= WS_TABSTOP;
      if (owner_data) {
        // A virtual list view: it knows how many rows there are and asks
        // for the text of each as it is drawn or as a screen reader reads
        // it; a list box without data has no text to give them.
        window_class = WC_LISTVIEWW;
        style |=
            LVS_REPORT | LVS_OWNERDATA | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS;
      } else {
        window_class = WC_LISTBOXW;
        style |= WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
      }
      break;
    case ControlKind::kProgressBar:
      window_class = PROGRESS_CLASSW;
      break;
    case ControlKind::kVerticalProgressBar:
      window_class = PROGRESS_CLASSW;
      style |= PBS_VERTICAL;
      break;
    case ControlKind::kFrame:
      RegisterFrameClass();
      window_class = kFrameClass;
      // Not clipping its children: the group box covers the whole frame
      // and paints only its border and caption, so the frame paints first,
      // under everything.
      ex_style = WS_EX_CONTROLPARENT;
      break;
    case ControlKind::kComboBox:
      window_class = WC_COMBOBOXW;
      style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP;
      break;
    case ControlKind::kToolBar:
      window_class = TOOLBARCLASSNAMEW;
      style |= TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN;
      break;
    case ControlKind::kPicture:
      style |= SS_OWNERDRAW;
      break;
    case ControlKind::kRule:
      style |= SS_ETCHEDHORZ;
      break;
  }
  const RECT rect = PixelRect(row.rect, kDefaultDpi);
  const HWND control = ::CreateWindowExW(
      ex_style, window_class, ControlText(row.text).c_str(), style, rect.left, rect.top,
      rect.right - rect.left, rect.bottom - rect.top, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ProgramInstance(), nullptr);
  if (control && row.kind == ControlKind::kToolBar) {
    ::SendMessageW(control, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  }
  if (control && owner_data) {
    // One column, as wide as the list (PlaceControl); selection across it.
    ::SendMessageW(control, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                   LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH;
    column.fmt = LVCFMT_LEFT;
    column.cx = rect.right - rect.left;
    ::SendMessageW(control, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  }
  return control;
}

RECT PixelRect(const TwipsRect& rect, UINT dpi) {
  const int left = TwipsToPixels(rect.left, dpi);
  const int top = TwipsToPixels(rect.top, dpi);
  return {left, top, left + TwipsToPixels(rect.width, dpi), top + TwipsToPixels(rect.height, dpi)};
}

void PlaceControl(HWND control, const ControlLayout& row, const RECT& rect) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (row.kind != ControlKind::kComboBox) {
    ::SetWindowPos(control, nullptr, rect.left, rect.top, width, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    return;
  }
  // A drop-down's window height is its field's; the height it is given
  // sets how far its list drops.
  const int item = static_cast<int>(::SendMessageW(control, CB_GETITEMHEIGHT, 0, 0));
  ::SetWindowPos(control, nullptr, rect.left, rect.top, width, height + kDropDownRows * item,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  // The field follows its font; set its height until the box has the row's,
  // correcting by what each setting gave (systems differ in what the
  // height they report includes).
  int field = static_cast<int>(::SendMessageW(control, CB_GETITEMHEIGHT, WPARAM(-1), 0));
  for (int attempt = 0; attempt < 3; ++attempt) {
    RECT now;
    ::GetWindowRect(control, &now);
    const int shown = now.bottom - now.top;
    if (shown == height || field + height - shown <= 0) break;
    field += height - shown;
    ::SendMessageW(control, CB_SETITEMHEIGHT, WPARAM(-1), field);
  }
}

int TextWidth(HWND control) {
  const std::wstring text = WindowText(control);
  const HDC dc = ::GetDC(control);
  const HGDIOBJ previous =
      ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
  int widest = 0;
  for (size_t start = 0; start <= text.size();) {
    size_t end = std::min(text.find(L'\n', start), text.size());
    const size_t next = end + 1;
    if (end > start && text[end - 1] == L'\r') --end;
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text.data() + start, static_cast<int>(end - start), &size);
    widest = std::max<int>(widest, size.cx);
    start = next;
  }
  ::SelectObject(dc, previous);
  ::ReleaseDC(control, dc);
  return widest;
}

int CheckBoxTextOffset(UINT dpi) {
  return MetricForDpi(SM_CXMENUCHECK, dpi) + ::MulDiv(4, static_cast<int>(dpi), kDefaultDpi);
}

void PlaceControls(std::span<const ControlLayout> rows, const std::vector<HWND>& controls,
                   UINT dpi) {
  std::vector<RECT> rects;
  std::vector<size_t> from_left;
  for (size_t i = 0; i < rows.size(); ++i) {
    rects.push_back(PixelRect(rows[i].rect, dpi));
    from_left.push_back(i);
  }
  std::stable_sort(from_left.begin(), from_left.end(),
                   [&](size_t a, size_t b) { return rects[a].left < rects[b].left; });
  // The table was drawn for one face at one scale; a wider face (Tahoma,
  // Segoe UI, a scalable face at 150 %) would cut a label's last letters.
  // Such a text widens its control, and whatever stands after it on its
  // line moves right by as much.
  for (const size_t i : from_left) {
    const ControlKind kind = rows[i].kind;
    if (kind != ControlKind::kLabel && kind != ControlKind::kCheckBox) continue;
    const int text =
        TextWidth(controls[i]) + (kind == ControlKind::kCheckBox ? CheckBoxTextOffset(dpi) : 0);
    const LONG extra = text - (rects[i].right - rects[i].left);
    if (extra <= 0) continue;
    const RECT was = rects[i];
    rects[i].right += extra;
    for (size_t j = 0; j < rows.size(); ++j) {
      if (j != i && std::string_view(rows[j].parent) == rows[i].parent &&
          rects[j].left >= was.right && rects[j].top < was.bottom && rects[j].bottom > was.top) {
        ::OffsetRect(&rects[j], extra, 0);
      }
    }
  }
  for (size_t i = 0; i < rows.size(); ++i) PlaceControl(controls[i], rows[i], rects[i]);
}

void StackInTabOrder(std::span<const ControlLayout> rows, const std::vector<HWND>& controls) {
  // Siblings only stack among themselves: one pile per parent.
  std::map<HWND, std::vector<std::pair<int, HWND>>> piles;
  for (size_t i = 0; i < rows.size() && i < controls.size(); ++i) {
    if (!controls[i]) continue;
    const ControlLayout& row = rows[i];
    const int place = row.kind == ControlKind::kLabel ? INT_MAX
                      : row.tab < 0                   ? INT_MAX - 1
                                                      : row.tab;
    piles[::GetParent(controls[i])].emplace_back(place, controls[i]);
  }
  for (auto& [parent, pile] : piles) {
    std::stable_sort(pile.begin(), pile.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    HWND after = HWND_TOP;
    for (const auto& [place, control] : pile) {
      ::SetWindowPos(control, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
      after = control;
    }
  }
}

std::vector<COLORREF> TextColorsOverTint(const WindowLayout& window, const Canvas& canvas) {
  const COLORREF theme = ::GetSysColor(COLOR_BTNTEXT);
  std::vector<COLORREF> colors(window.controls.size(), theme);
  const Rgb theme_text{GetRValue(theme), GetGValue(theme), GetBValue(theme)};
  for (const TextOverTint& text : TextsOverTint(window)) {
    const Rgb c = TextColorOver(canvas, text.rect, kClassicFaceColor, theme_text);
    colors[static_cast<size_t>(text.control - window.controls.data())] =
        RGB(c.red, c.green, c.blue);
  }
  return colors;
}

LRESULT ColorOverBackground(HDC dc, HWND control, HWND window, HBRUSH brush,
                            const std::vector<HWND>& controls,
                            const std::vector<COLORREF>& colors) {
  // A frame's caption is drawn by the group box inside the frame.
  auto row = std::find(controls.begin(), controls.end(), control);
  if (row == controls.end())
    row = std::find(controls.begin(), controls.end(), ::GetParent(control));
  const size_t index = static_cast<size_t>(row - controls.begin());
  ::SetTextColor(dc, index < colors.size() ? colors[index] : ::GetSysColor(COLOR_BTNTEXT));
  ::SetBkMode(dc, TRANSPARENT);
  POINT origin{0, 0};
  ::MapWindowPoints(control, window, &origin, 1);
  ::SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
  return reinterpret_cast<LRESULT>(brush);
}

HWND CreateTooltips(HWND owner) {
  const HWND tooltips =
      ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, ProgramInstance(), nullptr);
  ::SendMessageW(tooltips, TTM_SETMAXTIPWIDTH, 0, 600);
  return tooltips;
}

void AddTooltip(HWND tooltips, HWND control, const char* text) {
  std::wstring wide = Widen(text);
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = ::GetParent(control);
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = wide.data();  // copied by the tooltip window
  ::SendMessageW(tooltips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

bool IsPushButton(HWND window) {
  wchar_t name[16] = {};
  if (!window || !::GetClassNameW(window, name, 16) || ::lstrcmpiW(name, WC_BUTTONW) != 0) {
    return false;
  }
  const LONG_PTR type = ::GetWindowLongPtrW(window, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON;
}

}  // namespace kestrova
