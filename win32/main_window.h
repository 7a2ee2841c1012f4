// The main window on Windows: its controls come from the layout's tables,
// it shows the model and forwards every click, key, edit and drop to the
// commands. It holds no state of its own.
#ifndef KESTROVA_WIN32_MAIN_WINDOW_H_
#define KESTROVA_WIN32_MAIN_WINDOW_H_

#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/platform.h"
#include "ui/ui_model.h"
#include "ui/window_layout.h"
#include "win32/gdi.h"

namespace kestrova {

class AboutWindow;

// Menu items carry this plus their command; toolbar buttons this plus
// their place on the bar.
inline constexpr int kMenuIdBase = 100;
inline constexpr int kToolbarIdBase = 200;

class MainWindow {
 public:
  MainWindow(MainWindowModel& model, Platform& platform);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // Runs the load step, places the window and shows it.
  void Start(int show = SW_SHOWNORMAL);
  // Brings every control in line with the model.
  void Refresh();
  // Runs one command on the model, then shows the result.
  void Run(WindowCommand command);
  void Run(const std::function<void()>& command);
  // Opens a list file given from outside (the command line, a drop), as
  // File > Open does once the file is chosen; OpenFileLater once the
  // message loop runs.
  void OpenFile(const std::string& path);
  void OpenFileLater(const std::string& path);

  // For the message loop: the menu's keys, then Tab, Enter and the arrows
  // among the controls, for this window and the About window. True when
  // the message has been handled.
  bool TranslateKeys(MSG* message);

  // Runs when the program is to end; by default hides the windows and
  // posts the quit message.
  void SetOnEnd(std::function<void()> on_end) { on_end_ = std::move(on_end); }

  HWND hwnd() const { return hwnd_; }
  // A control by its name in the layout.
  HWND Control(std::string_view name) const;
  AboutWindow* About() const { return about_.get(); }
  UINT dpi() const { return dpi_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);

  void BuildMenu();
  void BuildControls();
  void BuildToolbar();
  void ApplyDpi();
  void PlaceControls();
  void UpdateBackground();
  void ShowList();
  void ShowCombo();
  void SyncAbout();
  void KeepFocusVisible();
  void HandleEndRequest();
  void CapturePlacement();
  void ApplyPlacement();
  void OnCommand(int id, int code);
  void OnControl(size_t index, int code);
  void OnDropFiles(HDROP drop);
  void FitListColumn();
  void GiveRowText(NMLVDISPINFOW* info);
  LRESULT OnToolbarDraw(NMTBCUSTOMDRAW* draw);

  MainWindowModel& model_;
  Platform& platform_;
  HWND hwnd_ = nullptr;
  UINT dpi_ = 96;
  std::vector<HWND> controls_;  // parallel to MainWindowLayout().controls
  HWND list1_ = nullptr;
  HWND label1_ = nullptr;
  HWND label3_ = nullptr;
  HWND combo1_ = nullptr;
  HWND frame1_ = nullptr;
  HWND toolbar_ = nullptr;
  HWND progress_bar1_ = nullptr;
  HWND progress_bar2_ = nullptr;
  std::array<HWND, 4> checks_{};    // Check1 to Check4
  std::array<HWND, 4> commands_{};  // Command1 to Command4
  HWND tooltips_ = nullptr;
  HACCEL keys_ = nullptr;
  HFONT font_ = nullptr;
  HFONT bold_font_ = nullptr;
  HIMAGELIST images_ = nullptr;
  HICON big_icon_ = nullptr;
  HICON small_icon_ = nullptr;

  PixelBuffer background_;
  HBRUSH background_brush_ = nullptr;
  std::vector<COLORREF> text_colors_;  // parallel to controls_
  std::uint64_t painted_revision_ = ~std::uint64_t{0};
  UINT painted_dpi_ = 0;
  std::uint64_t shown_list_revision_ = ~std::uint64_t{0};

  std::unique_ptr<AboutWindow> about_;
  std::vector<std::unique_ptr<AboutWindow>> retired_;  // freed once their messages are done
  int about_generation_ = 0;

  HWND saved_focus_ = nullptr;
  std::string pending_file_;
  bool placing_ = false;
  bool unloaded_ = false;
  std::function<void()> on_end_;
};

}  // namespace kestrova

#endif  // KESTROVA_WIN32_MAIN_WINDOW_H_
