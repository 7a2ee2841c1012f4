#include "win32/main_window.h"

#include <shellapi.h>

#include <algorithm>
#include <cmath>

#include "app/startup.h"
#include "app/window_commands.h"
#include "listfile/list_import.h"
#include "ui/artwork.h"
#include "ui/contrast.h"
#include "ui/entry_display.h"
#include "win32/about_window.h"
#include "win32/controls.h"
#include "win32/dpi.h"
#include "win32/wide_text.h"

namespace kestrova {
namespace {

constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr UINT kOpenPendingFile = WM_APP + 1;
constexpr UINT kReleaseAbout = WM_APP + 2;
constexpr UINT kShowCombo = WM_APP + 3;
// Beyond any screen, however absurd the stored placement.
constexpr double kMostPixels = 100000;

// "Ctrl+Shift+S" and the like as an accelerator; false for anything else.
bool ParseKeys(std::string_view keys, WORD command, ACCEL* accel) {
  accel->fVirt = FVIRTKEY;
  accel->cmd = command;
  while (true) {
    const size_t plus = keys.find('+');
    if (plus == std::string_view::npos) break;
    const std::string_view modifier = keys.substr(0, plus);
    if (modifier == "Ctrl") {
      accel->fVirt |= FCONTROL;
    } else if (modifier == "Shift") {
      accel->fVirt |= FSHIFT;
    } else if (modifier == "Alt") {
      accel->fVirt |= FALT;
    } else {
      return false;
    }
    keys.remove_prefix(plus + 1);
  }
  if (keys.size() != 1 ||
      !((keys[0] >= 'A' && keys[0] <= 'Z') || (keys[0] >= '0' && keys[0] <= '9'))) {
    return false;
  }
  accel->key = static_cast<WORD>(keys[0]);
  return true;
}

int PlacementPixels(float twips, UINT dpi) {
  const double pixels = std::round(static_cast<double>(twips) * dpi / kTwipsPerInch);
  return static_cast<int>(std::clamp(pixels, -kMostPixels, kMostPixels));
}

float PlacementTwips(LONG pixels, UINT dpi) {
  return static_cast<float>(static_cast<double>(pixels) * kTwipsPerInch / dpi);
}

void ShowBar(HWND bar, const ProgressBarState& state) {
  const int maximum = std::max(1, static_cast<int>(std::lround(state.maximum)));
  const int value = std::clamp(static_cast<int>(std::lround(state.value)), 0, maximum);
  if (::SendMessageW(bar, PBM_GETRANGE, FALSE, 0) != maximum) {
    ::SendMessageW(bar, PBM_SETRANGE32, 0, maximum);
  }
  if (::SendMessageW(bar, PBM_GETPOS, 0, 0) != value) ::SendMessageW(bar, PBM_SETPOS, value, 0);
}

void ShowIf(HWND control, bool visible) {
  // The control's own flag: before the window is shown, all read as hidden.
  if (((::GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0) != visible) {
    ::ShowWindow(control, visible ? SW_SHOWNA : SW_HIDE);
  }
}

void SetText(HWND control, const std::string& text) {
  const std::wstring wide = Widen(text);
  if (WindowText(control) != wide) ::SetWindowTextW(control, wide.c_str());
}

}  // namespace

MainWindow::MainWindow(MainWindowModel& model, Platform& platform)
    : model_(model), platform_(platform) {
  UseCommonControls();
  static const bool registered = [] {
    WNDCLASSEXW main{};
    main.cbSize = sizeof main;
    main.style = CS_DBLCLKS;
    main.lpfnWndProc = &MainWindow::WindowProc;
    main.hInstance = ProgramInstance();
    main.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    main.lpszClassName = kMainWindowClass;
    return ::RegisterClassExW(&main) != 0;
  }();
  static_cast<void>(registered);
  const WindowLayout& layout = MainWindowLayout();
  ::CreateWindowExW(0, kMainWindowClass, Widen(layout.caption).c_str(), kStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                    ProgramInstance(), this);
  dpi_ = WindowDpi(hwnd_);
  BuildMenu();
  BuildControls();
  ApplyDpi();
  const SIZE outer = OuterSizeForClient(
      {TwipsToPixels(layout.client_width, dpi_), TwipsToPixels(layout.client_height, dpi_)}, kStyle,
      0, true, dpi_);
  ::SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  ::DragAcceptFiles(hwnd_, TRUE);
  on_end_ = [this] {
    if (about_) about_->Hide();
    ::ShowWindow(hwnd_, SW_HIDE);
    ::PostQuitMessage(0);
  };
  Refresh();
}

MainWindow::~MainWindow() {
  about_.reset();
  retired_.clear();
  if (hwnd_) {
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
  }
  if (keys_) ::DestroyAcceleratorTable(keys_);
  for (HGDIOBJ object : {static_cast<HGDIOBJ>(font_), static_cast<HGDIOBJ>(bold_font_),
                         static_cast<HGDIOBJ>(background_brush_)}) {
    if (object) ::DeleteObject(object);
  }
  if (images_) ImageList_Destroy(images_);
  for (HICON icon : {big_icon_, small_icon_}) {
    if (icon) ::DestroyIcon(icon);
  }
}

void MainWindow::BuildMenu() {
  const HMENU bar = ::CreateMenu();
  std::vector<ACCEL> keys;
  for (const MenuLayout& menu : MainMenuLayout()) {
    const HMENU items = ::CreatePopupMenu();
    for (const MenuItemLayout& item : menu.items) {
      if (!*item.text) {
        ::AppendMenuW(items, MF_SEPARATOR, 0, nullptr);
        continue;
      }
      const WORD id = static_cast<WORD>(kMenuIdBase + static_cast<int>(item.command));
      std::wstring text = Widen(item.text);
      ACCEL accel{};
      if (*item.keys && ParseKeys(item.keys, id, &accel)) {
        keys.push_back(accel);
        text += L"\t" + Widen(item.keys);
      }
      ::AppendMenuW(items, MF_STRING, id, text.c_str());
    }
    ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(items), Widen(menu.text).c_str());
  }
  ::SetMenu(hwnd_, bar);
  keys_ = ::CreateAcceleratorTableW(keys.data(), static_cast<int>(keys.size()));
}

void MainWindow::BuildControls() {
  const WindowLayout& layout = MainWindowLayout();
  controls_.assign(layout.controls.size(), nullptr);
  auto control = [&](std::string_view name) -> HWND& {
    for (size_t i = 0; i < layout.controls.size(); ++i) {
      if (name == layout.controls[i].name) return controls_[i];
    }
    std::abort();
  };
  // In the window's own order of creation; frames before what they hold.
  for (size_t i = 0; i < layout.controls.size(); ++i) {
    const ControlLayout& row = layout.controls[i];
    const HWND parent = *row.parent ? control(row.parent) : hwnd_;
    controls_[i] = CreateControl(row, parent, kControlIdBase + static_cast<int>(i),
                                 row.kind == ControlKind::kListBox);
  }
  list1_ = control("List1");
  label1_ = control("Label1");
  label3_ = control("Label3");
  combo1_ = control("Combo1");
  frame1_ = control("Frame1");
  toolbar_ = control("tbToolBar");
  progress_bar1_ = control("ProgressBar1");
  progress_bar2_ = control("ProgressBar2");
  checks_ = {control("Check1"), control("Check2"), control("Check3"), control("Check4")};
  commands_ = {control("Command1"), control("Command2"), control("Command3"), control("Command4")};
  for (const char* item : TintSelectorItems()) {
    const auto index =
        ::SendMessageW(combo1_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(item).c_str()));
    ::SendMessageW(combo1_, CB_SETITEMDATA, index, 0);
  }
  tooltips_ = CreateTooltips(hwnd_);
  for (size_t i = 0; i < layout.controls.size(); ++i) {
    if (*layout.controls[i].tooltip)
      AddTooltip(tooltips_, controls_[i], layout.controls[i].tooltip);
  }
  BuildToolbar();
  StackInTabOrder(layout.controls, controls_);
}

void MainWindow::BuildToolbar() {
  ::SendMessageW(toolbar_, TB_SETMAXTEXTROWS, 0, 0);  // the words show as tooltips only
  std::vector<TBBUTTON> buttons;
  std::vector<std::wstring> words;
  const auto keys = ToolbarKeys();
  words.reserve(keys.size());
  int image = 0;
  for (size_t i = 0; i < keys.size(); ++i) {
    words.push_back(Widen(keys[i]));
    TBBUTTON button{};
    button.iBitmap = *keys[i] ? image++ : I_IMAGENONE;
    button.idCommand = kToolbarIdBase + static_cast<int>(i);
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON;
    button.iString = *keys[i] ? reinterpret_cast<INT_PTR>(words.back().c_str()) : -1;
    buttons.push_back(button);
  }
  ::SendMessageW(toolbar_, TB_ADDBUTTONSW, buttons.size(),
                 reinterpret_cast<LPARAM>(buttons.data()));
}

void MainWindow::ApplyDpi() {
  const WindowLayout& layout = MainWindowLayout();
  const HFONT old_font = font_;
  const HFONT old_bold = bold_font_;
  font_ = CreateClassicFont(layout.font_points, false, dpi_);
  bold_font_ = nullptr;
  for (size_t i = 0; i < layout.controls.size(); ++i) {
    const ControlLayout& row = layout.controls[i];
    HFONT font = font_;
    if (row.font_points > 0) {
      if (!bold_font_) bold_font_ = CreateClassicFont(row.font_points, row.bold, dpi_);
      font = bold_font_;
    }
    ::SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  }
  if (old_font) ::DeleteObject(old_font);
  if (old_bold) ::DeleteObject(old_bold);

  // The toolbar's pictures are drawn for the DPI from their description.
  const int side = ::MulDiv(16, static_cast<int>(dpi_), kDefaultDpi);
  const HIMAGELIST images = ImageList_Create(side, side, ILC_COLOR32, 3, 0);
  for (const char* key : ToolbarKeys()) {
    if (!*key) continue;
    const HICON icon = IconFromImage(Rasterize(ToolbarPicture(key), side, false));
    ImageList_AddIcon(images, icon);
    ::DestroyIcon(icon);
  }
  ::SendMessageW(toolbar_, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
  ::SendMessageW(toolbar_, TB_SETBUTTONSIZE, 0, MAKELPARAM(side + 8, side + 7));
  if (images_) ImageList_Destroy(images_);
  images_ = images;

  for (HICON icon : {big_icon_, small_icon_}) {
    if (icon) ::DestroyIcon(icon);
  }
  big_icon_ = IconFromImage(MarkImage(MetricForDpi(SM_CXICON, dpi_)));
  small_icon_ = IconFromImage(MarkImage(MetricForDpi(SM_CXSMICON, dpi_)));
  ::SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big_icon_));
  ::SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small_icon_));

  PlaceControls();
  painted_dpi_ = 0;  // draw the background again at the new scale
  UpdateBackground();
}

void MainWindow::PlaceControls() {
  const WindowLayout& layout = MainWindowLayout();
  kestrova::PlaceControls(layout.controls, controls_, dpi_);
  FitListColumn();
  // Docked along the top edge: the bar spans the client area.
  RECT client;
  ::GetClientRect(hwnd_, &client);
  const RECT bar = PixelRect(FindControl(layout, "tbToolBar").rect, dpi_);
  ::SetWindowPos(toolbar_, nullptr, 0, 0, std::max<LONG>(client.right, 1), bar.bottom - bar.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::Start(int show) {
  LoadMainWindow(model_, platform_);
  Refresh();
  ApplyPlacement();
  ::ShowWindow(hwnd_, show);
  ::UpdateWindow(hwnd_);
  KeepFocusVisible();
}

void MainWindow::Refresh() {
  ShowList();
  SetText(label1_, model_.label1);
  SetText(label3_, model_.label3);
  const int values[] = {model_.check1, model_.check2, model_.check3, model_.check4};
  for (size_t i = 0; i < checks_.size(); ++i) {
    const WPARAM state = values[i] == 1 ? BST_CHECKED : BST_UNCHECKED;
    if (static_cast<WPARAM>(::SendMessageW(checks_[i], BM_GETCHECK, 0, 0)) != state) {
      ::SendMessageW(checks_[i], BM_SETCHECK, state, 0);
    }
  }
  ShowCombo();
  ShowBar(progress_bar1_, model_.progress_bar1);
  ShowBar(progress_bar2_, model_.progress_bar2);
  ShowIf(progress_bar1_, model_.progress_bar1.visible);
  ShowIf(progress_bar2_, model_.progress_bar2.visible);
  ShowIf(list1_, model_.list1_visible);
  const bool visible[] = {model_.command1_visible, model_.command2_visible, model_.command3_visible,
                          model_.command4_visible};
  for (size_t i = 0; i < commands_.size(); ++i) ShowIf(commands_[i], visible[i]);
  ShowIf(frame1_, model_.frame1_visible);
  UpdateBackground();
  SyncAbout();
  KeepFocusVisible();
}

void MainWindow::ShowList() {
  if (shown_list_revision_ == model_.list1.Revision()) return;
  shown_list_revision_ = model_.list1.Revision();
  // The list view holds none of the rows, only their number; it asks for
  // the text of those it draws (LVN_GETDISPINFO). A new list shows from
  // its top, with nothing selected.
  //
  // Wine draws a scroll bar the moment its range is set, at 4-12 ms a time
  // under Wine's theme: the list view is told everything with drawing off
  // (its own flag, and the window's, that Wine's scroll bars look at) and
  // then painted once, scroll bar included. (The window's flag is its
  // visibility: a list hidden behind the options stays hidden.)
  const bool shown = (::GetWindowLongPtrW(list1_, GWL_STYLE) & WS_VISIBLE) != 0;
  ::SendMessageW(list1_, WM_SETREDRAW, FALSE, 0);
  if (shown) ::DefWindowProcW(list1_, WM_SETREDRAW, FALSE, 0);
  const int count = model_.list1.Count();
  if (::SendMessageW(list1_, LVM_GETITEMCOUNT, 0, 0) != count) {
    ::SendMessageW(list1_, LVM_SETITEMCOUNT, count, LVSICF_NOSCROLL);
  }
  // One row at most is selected and one focused: each is cleared by its
  // index (clearing "every row" visits all of them in some list views).
  for (const LPARAM which : {LVNI_SELECTED, LVNI_FOCUSED}) {
    const auto row = ::SendMessageW(list1_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), which);
    if (row < 0) continue;
    LVITEMW none{};
    none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list1_, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&none));
  }
  ::SendMessageW(list1_, LVM_SETSELECTIONMARK, 0, -1);
  if (count > 0) ::SendMessageW(list1_, LVM_ENSUREVISIBLE, 0, FALSE);
  ::SendMessageW(list1_, WM_SETREDRAW, TRUE, 0);
  FitListColumn();  // a scroll bar may have come or gone
  if (!shown) return;
  ::DefWindowProcW(list1_, WM_SETREDRAW, TRUE, 0);
  ::RedrawWindow(list1_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void MainWindow::FitListColumn() {
  // The one column fills the list: no horizontal scroll bar, and a
  // selected row is marked across the whole width.
  ::SendMessageW(list1_, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
}

void MainWindow::GiveRowText(NMLVDISPINFOW* info) {
  LVITEMW& item = info->item;
  if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
  const std::wstring text = Widen(EntryForList(model_.list1.At(item.iItem)));
  const size_t length = std::min(text.size(), static_cast<size_t>(item.cchTextMax - 1));
  text.copy(item.pszText, length);
  item.pszText[length] = L'\0';
}

void MainWindow::ShowCombo() {
  // While the list is down the field shows the row under the pointer.
  if (::SendMessageW(combo1_, CB_GETDROPPEDSTATE, 0, 0)) return;
  SetText(combo1_, model_.combo1_text);
}

void MainWindow::UpdateBackground() {
  RECT client;
  ::GetClientRect(hwnd_, &client);
  const int width = std::max<LONG>(client.right, 1);
  const int height = std::max<LONG>(client.bottom, 1);
  if (painted_revision_ == model_.canvas.Revision() && painted_dpi_ == dpi_ &&
      background_.width() == width && background_.height() == height) {
    return;
  }
  if (!background_.Resize(width, height)) return;
  // The classic face colour in every theme: a dark theme's window colour
  // beside the pale tint would leave no text colour readable over both.
  background_.Fill(RGB(kClassicFaceColor.red, kClassicFaceColor.green, kClassicFaceColor.blue));
  RenderCanvas(model_.canvas, background_.view(), dpi_);
  text_colors_ = TextColorsOverTint(MainWindowLayout(), model_.canvas);
  painted_revision_ = model_.canvas.Revision();
  painted_dpi_ = dpi_;
  if (background_brush_) ::DeleteObject(background_brush_);
  background_brush_ = ::CreatePatternBrush(background_.bitmap());
  ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void MainWindow::Run(WindowCommand command) {
  // The unload step saves where the window is now.
  if (command == WindowCommand::kUnloadMainWindow) CapturePlacement();
  Run([this, command] { RunWindowCommand(command, model_, platform_); });
}

void MainWindow::Run(const std::function<void()>& command) {
  command();
  Refresh();
  HandleEndRequest();
}

void MainWindow::OpenFile(const std::string& path) {
  Run([this, &path] { ImportListFile(model_, platform_, path); });
}

void MainWindow::OpenFileLater(const std::string& path) {
  pending_file_ = path;
  ::PostMessageW(hwnd_, kOpenPendingFile, 0, 0);
}

bool MainWindow::TranslateKeys(MSG* message) {
  if (message->hwnd == hwnd_ || ::IsChild(hwnd_, message->hwnd)) {
    if (keys_ && ::TranslateAcceleratorW(hwnd_, keys_, message)) return true;
    return ::IsDialogMessageW(hwnd_, message) != FALSE;
  }
  return about_ && about_->TranslateKeys(message);
}

HWND MainWindow::Control(std::string_view name) const {
  const WindowLayout& layout = MainWindowLayout();
  for (size_t i = 0; i < layout.controls.size(); ++i) {
    if (name == layout.controls[i].name) return controls_[i];
  }
  return nullptr;
}

void MainWindow::SyncAbout() {
  const AboutState state = model_.about.state;
  if (about_ &&
      (state == AboutState::kNotCreated || about_generation_ != model_.about.generation)) {
    // This may run inside the About window's own close: the object goes
    // once its messages are done.
    about_->Close();
    retired_.push_back(std::move(about_));
    ::PostMessageW(hwnd_, kReleaseAbout, 0, 0);
  }
  if (state == AboutState::kNotCreated) return;
  if (!about_) {
    about_generation_ = model_.about.generation;
    about_ = std::make_unique<AboutWindow>(
        model_.about.canvas, hwnd_, [this] { Run([this] { HideAbout(model_); }); },
        [this] { Run([this] { DestroyAbout(model_); }); });
    about_->CenterOver(hwnd_);
  }
  if (state == AboutState::kShown && !about_->IsVisible()) {
    about_->Show();
  } else if (state == AboutState::kHidden && about_->IsVisible()) {
    about_->Hide();
  }
}

void MainWindow::KeepFocusVisible() {
  // A command that hides the focused control (Options hides its own
  // button) hands the keyboard to the first control still shown.
  if (::GetActiveWindow() != hwnd_) return;
  const HWND focus = ::GetFocus();
  if (focus && focus != hwnd_ && ::IsChild(hwnd_, focus) && ::IsWindowVisible(focus)) return;
  if (const HWND first = ::GetNextDlgTabItem(hwnd_, nullptr, FALSE)) ::SetFocus(first);
}

void MainWindow::HandleEndRequest() {
  if (model_.end_request == EndRequest::kNone || unloaded_) return;
  // Either way out ends here; only File > Exit and the close box have run
  // the unload step before.
  unloaded_ = true;
  if (on_end_) on_end_();
}

void MainWindow::CapturePlacement() {
  Placement& p = model_.placement;
  p.window_state = ::IsIconic(hwnd_) ? 1 : ::IsZoomed(hwnd_) ? 2 : 0;
  if (p.window_state == 1) return;
  RECT outer;
  ::GetWindowRect(hwnd_, &outer);
  // The position at the desktop's scale, the size at the window's own.
  const UINT desktop = SystemDpi();
  const UINT own = WindowDpi(hwnd_);
  p.left = PlacementTwips(outer.left, desktop);
  p.top = PlacementTwips(outer.top, desktop);
  p.width = PlacementTwips(outer.right - outer.left, own);
  p.height = PlacementTwips(outer.bottom - outer.top, own);
}

void MainWindow::ApplyPlacement() {
  const Placement& p = model_.placement;
  const UINT desktop = SystemDpi();
  const POINT corner{PlacementPixels(p.left, desktop), PlacementPixels(p.top, desktop)};
  UINT dpi = MonitorDpi(::MonitorFromPoint(corner, MONITOR_DEFAULTTONEAREST));
  placing_ = true;
  ::SetWindowPos(hwnd_, nullptr, corner.x, corner.y, std::max(1, PlacementPixels(p.width, dpi)),
                 std::max(1, PlacementPixels(p.height, dpi)), SWP_NOZORDER | SWP_NOACTIVATE);
  placing_ = false;
  if (WindowDpi(hwnd_) != dpi) {
    dpi = WindowDpi(hwnd_);
    ::SetWindowPos(hwnd_, nullptr, 0, 0, std::max(1, PlacementPixels(p.width, dpi)),
                   std::max(1, PlacementPixels(p.height, dpi)),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void MainWindow::OnCommand(int id, int code) {
  if (id >= kMenuIdBase && id <= kMenuIdBase + static_cast<int>(WindowCommand::kHideAbout)) {
    Run(static_cast<WindowCommand>(id - kMenuIdBase));
    return;
  }
  const auto keys = ToolbarKeys();
  if (id >= kToolbarIdBase && id < kToolbarIdBase + static_cast<int>(keys.size())) {
    const std::string key = keys[static_cast<size_t>(id - kToolbarIdBase)];
    Run([this, &key] { DispatchToolbarButton(model_, platform_, key); });
    return;
  }
  if (id == IDOK) {
    // Enter: a focused button is pressed, as in any dialog.
    const HWND focus = ::GetFocus();
    if (IsPushButton(focus) && ::IsChild(hwnd_, focus)) ::SendMessageW(focus, BM_CLICK, 0, 0);
    return;
  }
  const int index = id - kControlIdBase;
  if (index >= 0 && index < static_cast<int>(controls_.size())) {
    OnControl(static_cast<size_t>(index), code);
  }
}

void MainWindow::OnControl(size_t index, int code) {
  const ControlLayout& row = MainWindowLayout().controls[index];
  const HWND control = controls_[index];
  switch (row.kind) {
    case ControlKind::kButton:
      if (code == BN_CLICKED) Run(row.command);
      return;
    case ControlKind::kCheckBox:
      // A switch acts from the moment it is clicked; nothing else happens.
      if (code == BN_CLICKED) {
        const int value = ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
        int* fields[] = {&model_.check1, &model_.check2, &model_.check3, &model_.check4};
        for (size_t i = 0; i < checks_.size(); ++i) {
          if (checks_[i] == control) *fields[i] = value;
        }
      }
      return;
    case ControlKind::kComboBox:
      switch (code) {
        case CBN_EDITCHANGE:
          // Exactly what was typed, at once.
          model_.combo1_text = Narrow(WindowText(control));
          return;
        case CBN_SELCHANGE:
          // Arrows on the closed field pick an item; in the open list they
          // only point at one until Enter or a click.
          if (::SendMessageW(control, CB_GETDROPPEDSTATE, 0, 0)) return;
          [[fallthrough]];
        case CBN_SELENDOK: {
          const auto item = ::SendMessageW(control, CB_GETCURSEL, 0, 0);
          if (item == CB_ERR) return;
          std::wstring text(
              static_cast<size_t>(::SendMessageW(control, CB_GETLBTEXTLEN, item, 0)) + 1, L'\0');
          text.resize(static_cast<size_t>(
              ::SendMessageW(control, CB_GETLBTEXT, item, reinterpret_cast<LPARAM>(text.data()))));
          model_.combo1_text = Narrow(text);
          return;
        }
        case CBN_CLOSEUP:
          // A list closed without a choice leaves the field as it was typed.
          ::PostMessageW(hwnd_, kShowCombo, 0, 0);
          return;
        default:
          return;
      }
    default:
      return;
  }
}

void MainWindow::OnDropFiles(HDROP drop) {
  std::wstring path;
  if (::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
    path.resize(::DragQueryFileW(drop, 0, nullptr, 0) + 1);
    path.resize(::DragQueryFileW(drop, 0, path.data(), static_cast<UINT>(path.size())));
  }
  ::DragFinish(drop);
  // The first file, as File > Open of it would.
  if (!path.empty()) OpenFile(Narrow(path));
}

LRESULT MainWindow::OnToolbarDraw(NMTBCUSTOMDRAW* draw) {
  if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) {
    // The bar is solid, as a docked toolbar is: the tint stays below it.
    ::FillRect(draw->nmcd.hdc, &draw->nmcd.rc, ::GetSysColorBrush(COLOR_BTNFACE));
  }
  return CDRF_DODEFAULT;
}

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<MainWindow*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    self->hwnd_ = window;
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<MainWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || message == WM_NCDESTROY) {
    if (self) self->hwnd_ = nullptr;
    return ::DefWindowProcW(window, message, wparam, lparam);
  }
  return self->Handle(message, wparam, lparam);
}

LRESULT MainWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lparam);
      if (header->hwndFrom == toolbar_ && header->code == NM_CUSTOMDRAW) {
        return OnToolbarDraw(reinterpret_cast<NMTBCUSTOMDRAW*>(lparam));
      }
      if (header->hwndFrom == list1_ && header->code == LVN_GETDISPINFOW) {
        GiveRowText(reinterpret_cast<NMLVDISPINFOW*>(lparam));
        return 0;
      }
      break;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (!background_brush_) break;
      return ColorOverBackground(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam),
                                 hwnd_, background_brush_, controls_, text_colors_);
    case WM_ERASEBKGND:
    case WM_PAINT:
    case WM_PRINTCLIENT:
      return background_.Paint(hwnd_, message, wparam);
    case kPaintBackgroundUnder: {
      const auto child = reinterpret_cast<HWND>(lparam);
      POINT offset{0, 0};
      ::MapWindowPoints(child, hwnd_, &offset, 1);
      RECT area;
      ::GetClientRect(child, &area);
      background_.CopyTo(reinterpret_cast<HDC>(wparam), area, offset);
      return 0;
    }
    case WM_SIZE:
      if (toolbar_) {
        RECT bar;
        ::GetWindowRect(toolbar_, &bar);
        ::SetWindowPos(toolbar_, nullptr, 0, 0, std::max<int>(LOWORD(lparam), 1),
                       bar.bottom - bar.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      }
      UpdateBackground();
      return 0;
    case WM_DPICHANGED: {
      dpi_ = HIWORD(wparam);
      ApplyDpi();
      if (!placing_) {
        const auto* suggested = reinterpret_cast<const RECT*>(lparam);
        ::SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                       suggested->right - suggested->left, suggested->bottom - suggested->top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
      }
      return 0;
    }
    case WM_SYSCOLORCHANGE:
      painted_dpi_ = 0;
      UpdateBackground();
      break;
    case WM_ACTIVATE:
      // The keyboard comes back to the control that had it.
      if (LOWORD(wparam) == WA_INACTIVE) {
        saved_focus_ = ::GetFocus();
      } else if (saved_focus_ && ::IsChild(hwnd_, saved_focus_) &&
                 ::IsWindowVisible(saved_focus_)) {
        ::SetFocus(saved_focus_);
      } else {
        KeepFocusVisible();
      }
      return 0;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wparam));
      return 0;
    case kOpenPendingFile:
      if (!pending_file_.empty()) {
        const std::string path = std::move(pending_file_);
        pending_file_.clear();
        OpenFile(path);
      }
      return 0;
    case kReleaseAbout:
      retired_.clear();
      return 0;
    case kShowCombo:
      ShowCombo();
      return 0;
    case WM_CLOSE:
      // The close box and Alt+F4: the unload step, as File > Exit.
      if (!unloaded_) {
        CapturePlacement();
        Run([this] { UnloadMainWindow(model_, platform_); });
      }
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // Signing out closes the window as its close box would.
      if (wparam && !unloaded_) {
        CapturePlacement();
        Run([this] { UnloadMainWindow(model_, platform_); });
      }
      return 0;
    default:
      break;
  }
  return ::DefWindowProcW(hwnd_, message, wparam, lparam);
}

}  // namespace kestrova
