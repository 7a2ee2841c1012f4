#include "win32/about_window.h"

#include <algorithm>

#include "ui/artwork.h"
#include "ui/contrast.h"
#include "ui/platform.h"
#include "ui/window_layout.h"
#include "win32/controls.h"
#include "win32/dpi.h"
#include "win32/wide_text.h"

namespace kestrova {
namespace {

constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;

}  // namespace

AboutWindow::AboutWindow(const Canvas& canvas, HWND owner, std::function<void()> on_close_button,
                         std::function<void()> on_closed)
    : canvas_(canvas),
      on_close_button_(std::move(on_close_button)),
      on_closed_(std::move(on_closed)) {
  static const bool registered = [] {
    WNDCLASSEXW about{};
    about.cbSize = sizeof about;
    about.lpfnWndProc = &AboutWindow::WindowProc;
    about.hInstance = ProgramInstance();
    about.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    about.lpszClassName = kAboutWindowClass;
    return ::RegisterClassExW(&about) != 0;
  }();
  static_cast<void>(registered);
  const WindowLayout& layout = AboutWindowLayout();
  ::CreateWindowExW(WS_EX_CONTROLPARENT, kAboutWindowClass, Widen(layout.caption).c_str(), kStyle,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                    ProgramInstance(), this);
  dpi_ = WindowDpi(hwnd_);
  for (size_t i = 0; i < layout.controls.size(); ++i) {
    controls_.push_back(
        CreateControl(layout.controls[i], hwnd_, kControlIdBase + static_cast<int>(i)));
  }
  const HWND credits = Control("List1");
  for (const char* line : AboutCredits()) {
    ::SendMessageW(credits, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(line).c_str()));
  }
  ::SetWindowTextW(Control("Image2"), Widen(kAppTitle).c_str());  // its name for screen readers
  StackInTabOrder(layout.controls, controls_);
  ApplyDpi();
}

AboutWindow::~AboutWindow() {
  Close();
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(title_font_),
                         static_cast<HGDIOBJ>(background_brush_)}) {
    if (object) ::DeleteObject(object);
  }
  for (HICON icon : {big_icon_, small_icon_}) {
    if (icon) ::DestroyIcon(icon);
  }
}

void AboutWindow::ApplyDpi() {
  const WindowLayout& layout = AboutWindowLayout();
  const HFONT old_font = font_;
  const HFONT old_title = title_font_;
  font_ = CreateClassicFont(layout.font_points, false, dpi_);
  title_font_ = nullptr;
  for (size_t i = 0; i < layout.controls.size(); ++i) {
    const ControlLayout& row = layout.controls[i];
    HFONT font = font_;
    if (row.font_points > 0) {
      if (!title_font_) title_font_ = CreateClassicFont(row.font_points, row.bold, dpi_);
      font = title_font_;
    }
    ::SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  PlaceControls(layout.controls, controls_, dpi_);
  if (old_font) ::DeleteObject(old_font);
  if (old_title) ::DeleteObject(old_title);

  for (HICON icon : {big_icon_, small_icon_}) {
    if (icon) ::DestroyIcon(icon);
  }
  big_icon_ = IconFromImage(Rasterize(AboutIconPicture(), MetricForDpi(SM_CXICON, dpi_), false));
  small_icon_ =
      IconFromImage(Rasterize(AboutIconPicture(), MetricForDpi(SM_CXSMICON, dpi_), false));
  ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_));
  ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_));

  const SIZE outer = OuterSizeForClient(
      {TwipsToPixels(layout.client_width, dpi_), TwipsToPixels(layout.client_height, dpi_)}, kStyle,
      WS_EX_CONTROLPARENT, false, dpi_);
  ::SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  PaintBackground();
}

void AboutWindow::PaintBackground() {
  RECT client;
  ::GetClientRect(hwnd_, &client);
  if (!background_.Resize(client.right, client.bottom)) return;
  // The classic face colour in every theme: a dark theme's window colour
  // beside the pale tint would leave no text colour readable over both.
  background_.Fill(RGB(kClassicFaceColor.red, kClassicFaceColor.green, kClassicFaceColor.blue));
  RenderCanvas(canvas_, background_.view(), dpi_);
  text_colors_ = TextColorsOverTint(AboutWindowLayout(), canvas_);
  // The picture is painted into the background, stretched over its place.
  const RECT picture = PixelRect(FindControl(AboutWindowLayout(), "Image2").rect, dpi_);
  DrawImage(background_.view(), picture, Rasterize(AboutImagePicture(), 70, false));
  if (background_brush_) ::DeleteObject(background_brush_);
  background_brush_ = ::CreatePatternBrush(background_.bitmap());
  ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void AboutWindow::Show() {
  if (!hwnd_) return;
  ::ShowWindow(hwnd_, SW_SHOW);
  ::SetForegroundWindow(hwnd_);
  // "Закрыть" comes first in the tab order and takes the keyboard.
  ::SetFocus(Control("Command1"));
}

void AboutWindow::Hide() {
  if (hwnd_) ::ShowWindow(hwnd_, SW_HIDE);
}

bool AboutWindow::IsVisible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }

void AboutWindow::Close() {
  if (!hwnd_) return;
  quiet_ = true;
  ::DestroyWindow(hwnd_);
}

void AboutWindow::CenterOver(HWND window) {
  RECT over;
  RECT own;
  ::GetWindowRect(window, &over);
  ::GetWindowRect(hwnd_, &own);
  const int width = own.right - own.left;
  const int height = own.bottom - own.top;
  ::SetWindowPos(hwnd_, nullptr, (over.left + over.right - width) / 2,
                 (over.top + over.bottom - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool AboutWindow::TranslateKeys(MSG* message) {
  if (!hwnd_ || (message->hwnd != hwnd_ && !::IsChild(hwnd_, message->hwnd))) return false;
  return ::IsDialogMessageW(hwnd_, message) != FALSE;
}

HWND AboutWindow::Control(std::string_view name) const {
  const WindowLayout& layout = AboutWindowLayout();
  for (size_t i = 0; i < layout.controls.size() && i < controls_.size(); ++i) {
    if (name == layout.controls[i].name) return controls_[i];
  }
  return nullptr;
}

LRESULT CALLBACK AboutWindow::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self =
        static_cast<AboutWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<AboutWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || message == WM_NCDESTROY) {
    if (self) self->hwnd_ = nullptr;
    return ::DefWindowProcW(window, message, wparam, lparam);
  }
  return self->Handle(message, wparam, lparam);
}

LRESULT AboutWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      const HWND close = Control("Command1");
      if (id == IDCANCEL || (id == ::GetDlgCtrlID(close) && HIWORD(wparam) == BN_CLICKED)) {
        on_close_button_();
      } else if (id == IDOK) {
        const HWND focus = ::GetFocus();
        if (IsPushButton(focus) && ::IsChild(hwnd_, focus)) ::SendMessageW(focus, BM_CLICK, 0, 0);
      }
      return 0;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (!background_brush_) break;
      return ColorOverBackground(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam),
                                 hwnd_, background_brush_, controls_, text_colors_);
    case WM_DRAWITEM: {
      // The picture: its part of the background, where it was painted.
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      POINT offset{0, 0};
      ::MapWindowPoints(item->hwndItem, hwnd_, &offset, 1);
      background_.CopyTo(item->hDC, item->rcItem, offset);
      return TRUE;
    }
    case WM_ERASEBKGND:
    case WM_PAINT:
    case WM_PRINTCLIENT:
      return background_.Paint(hwnd_, message, wparam);
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wparam);
      const auto* suggested = reinterpret_cast<const RECT*>(lparam);
      ::SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      ApplyDpi();
      return 0;
    }
    case WM_SYSCOLORCHANGE:
      PaintBackground();
      break;
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) {
        saved_focus_ = ::GetFocus();
      } else {
        ::SetFocus(saved_focus_ && ::IsChild(hwnd_, saved_focus_) ? saved_focus_
                                                                  : Control("Command1"));
      }
      return 0;
    case WM_CLOSE:
      // The title bar's close: the window is gone, not hidden.
      if (!quiet_) on_closed_();
      if (hwnd_) ::DestroyWindow(hwnd_);
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(hwnd_, message, wparam, lparam);
}

}  // namespace kestrova
