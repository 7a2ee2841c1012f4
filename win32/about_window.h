// The About window on Windows: credits over its own fixed gradient, modeless
// and owned by the main window. "Закрыть" and Escape hide it; its title
// bar's close button ends it.
#ifndef KESTROVA_WIN32_ABOUT_WINDOW_H_
#define KESTROVA_WIN32_ABOUT_WINDOW_H_

#include <windows.h>

#include <functional>
#include <string_view>
#include <vector>

#include "ui/canvas.h"
#include "win32/gdi.h"

namespace kestrova {

class AboutWindow {
 public:
  // `on_close_button` runs for "Закрыть" and Escape; `on_closed` when the
  // user closes the window through its title bar.
  AboutWindow(const Canvas& canvas, HWND owner, std::function<void()> on_close_button,
              std::function<void()> on_closed);
  ~AboutWindow();
  AboutWindow(const AboutWindow&) = delete;
  AboutWindow& operator=(const AboutWindow&) = delete;

  void Show();
  void Hide();
  bool IsVisible() const;
  // Ends the window without reporting it as the user's close.
  void Close();
  void CenterOver(HWND window);
  // Tab, Enter and Escape among its controls.
  bool TranslateKeys(MSG* message);

  HWND hwnd() const { return hwnd_; }
  HWND Control(std::string_view name) const;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void ApplyDpi();
  void PaintBackground();

  const Canvas& canvas_;
  std::function<void()> on_close_button_;
  std::function<void()> on_closed_;
  HWND hwnd_ = nullptr;
  UINT dpi_ = 96;
  std::vector<HWND> controls_;  // parallel to AboutWindowLayout().controls
  HFONT font_ = nullptr;
  HFONT title_font_ = nullptr;
  HICON big_icon_ = nullptr;
  HICON small_icon_ = nullptr;
  PixelBuffer background_;
  HBRUSH background_brush_ = nullptr;
  std::vector<COLORREF> text_colors_;  // parallel to controls_
  HWND saved_focus_ = nullptr;
  bool quiet_ = false;
};

}  // namespace kestrova

#endif  // KESTROVA_WIN32_ABOUT_WINDOW_H_
