// The Windows window driven as a person drives it: the messages that clicks,
// keys, typing and drops produce, checked against the model, the controls
// and the painted pixels. Runs under Wine on a virtual display.
#include <gtest/gtest.h>
#include <oleacc.h>
#include <shlobj.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <set>

#include "base/text_codec.h"
#include "options/tints.h"
#include "tests/test_support.h"
#include "ui/contrast.h"
#include "win32/about_window.h"
#include "win32/controls.h"
#include "win32/gdi.h"
#include "win32/main_window.h"
#include "win32/wide_text.h"

namespace kestrova {
namespace {

using testing::FakePlatform;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

std::string Text(HWND window) { return Narrow(WindowText(window)); }

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

RECT RectInParent(HWND window) {
  RECT rect;
  ::GetWindowRect(window, &rect);
  ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

// What a screen reader is told of a virtual list view: its number of rows
// and each row's text, answered through LVN_GETDISPINFO.
LRESULT Rows(HWND list) { return ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0); }

std::string RowText(HWND list, int row) {
  wchar_t text[300] = {};
  LVITEMW item{};
  item.pszText = text;
  item.cchTextMax = 300;
  ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return Narrow(text);
}

bool Shown(HWND window) { return (::GetWindowLongPtrW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

LOGFONTW FontOf(HWND window) {
  LOGFONTW font{};
  ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)), sizeof font,
               &font);
  return font;
}

// The last twip line of the gradient that a device row shows.
int LastTwipInRow(int row, int dpi) {
  int last = -1;
  for (int y = kTintFirstY; y <= kTintLastY; ++y) {
    if (y * dpi / kTwipsPerInch == row) last = y;
  }
  return last;
}

// The last device column of the gradient's band.
int BandEnd(int dpi) { return kTintWidth * dpi / kTwipsPerInch; }

std::uint32_t Pixel(Rgb c) {
  return static_cast<std::uint32_t>(c.red) << 16 | c.green << 8 | c.blue;
}

std::uint32_t Pixel(COLORREF c) {
  return static_cast<std::uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
}

// A window's client area as it shows on the screen.
struct Shot {
  explicit Shot(HWND window) {
    ::UpdateWindow(window);
    RECT client;
    ::GetClientRect(window, &client);
    width = client.right;
    height = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HDC memory = ::CreateCompatibleDC(nullptr);
    const HGDIOBJ old = ::SelectObject(memory, bitmap);
    const HDC screen = ::GetDC(window);
    ::BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    ::ReleaseDC(window, screen);
    ::GdiFlush();
    const auto* p = static_cast<const std::uint32_t*>(bits);
    pixels.assign(p, p + static_cast<size_t>(width) * height);
    ::SelectObject(memory, old);
    ::DeleteDC(memory);
    ::DeleteObject(bitmap);
  }
  std::uint32_t At(int x, int y) const {
    return pixels[static_cast<size_t>(y) * width + x] & 0xffffff;
  }
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

// A drop of `paths`, as Explorer hands it over.
HDROP MakeDrop(const std::vector<std::string>& paths) {
  std::wstring names;
  for (const std::string& path : paths) names += Widen(path) + L'\0';
  names += L'\0';
  const size_t size = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
  const HGLOBAL memory = ::GlobalAlloc(GHND, size);
  auto* drop = static_cast<DROPFILES*>(::GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::copy(names.begin(), names.end(),
            reinterpret_cast<wchar_t*>(reinterpret_cast<char*>(drop) + sizeof(DROPFILES)));
  ::GlobalUnlock(memory);
  return static_cast<HDROP>(memory);
}

class Win32WindowTest : public ::testing::Test {
 protected:
  Win32WindowTest() : platform(dir.File("proxy_stup.pr")), window(model, platform) {
    window.SetOnEnd([this] { ++ends; });
  }

  HWND Control(const char* name) {
    const HWND control = window.Control(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  // Handles what is waiting, as the program's loop does.
  void Pump() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (!window.TranslateKeys(&message)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
      }
    }
  }
  void Click(const char* name) { ::SendMessageW(Control(name), BM_CLICK, 0, 0); }
  void Menu(WindowCommand command) {
    ::SendMessageW(window.hwnd(), WM_COMMAND, kMenuIdBase + static_cast<int>(command), 0);
  }
  // A key pressed with `modifiers` held, through the program's own loop.
  bool Key(std::initializer_list<BYTE> modifiers, WPARAM key, HWND target) {
    BYTE state[256] = {};
    for (BYTE modifier : modifiers) state[modifier] = 0x80;
    ::SetKeyboardState(state);
    MSG message{target, WM_KEYDOWN, key, 1, 0, {}};
    const bool handled = window.TranslateKeys(&message);
    if (!handled) ::DispatchMessageW(&message);
    BYTE none[256] = {};
    ::SetKeyboardState(none);
    return handled;
  }
  void Start() {
    window.Start();
    ::SetForegroundWindow(window.hwnd());
    Pump();
  }

  TempDir dir;
  MainWindowModel model;
  FakePlatform platform;
  MainWindow window;
  int ends = 0;
};

// Every control of the table, at its place at the window's DPI, when the
// window starts and after it moves to screens of other scales.
TEST_F(Win32WindowTest, ControlsFollowTheLayoutAtEveryDpi) {
  const WindowLayout& layout = MainWindowLayout();
  EXPECT_EQ(Text(window.hwnd()), layout.caption);
  RECT client;
  ::GetClientRect(window.hwnd(), &client);
  EXPECT_EQ(client.right, TwipsToPixels(layout.client_width, window.dpi()));
  EXPECT_EQ(client.bottom, TwipsToPixels(layout.client_height, window.dpi()));
  const std::pair<ControlKind, const wchar_t*> classes[] = {
      {ControlKind::kButton, L"Button"},
      {ControlKind::kCheckBox, L"Button"},
      {ControlKind::kLabel, L"Static"},
      {ControlKind::kListBox, L"SysListView32"},
      {ControlKind::kProgressBar, L"msctls_progress32"},
      {ControlKind::kVerticalProgressBar, L"msctls_progress32"},
      {ControlKind::kFrame, kFrameClass},
      {ControlKind::kComboBox, L"ComboBox"},
      {ControlKind::kToolBar, L"ToolbarWindow32"},
  };
  for (const int dpi : {96, 144, 192}) {
    if (static_cast<int>(window.dpi()) != dpi) {
      RECT suggested{0, 0, 900, 1000};
      ::SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
    }
    ASSERT_EQ(static_cast<int>(window.dpi()), dpi);
    for (const ControlLayout& row : layout.controls) {
      SCOPED_TRACE(std::string(row.name) + " at " + std::to_string(dpi));
      const HWND control = Control(row.name);
      ASSERT_NE(control, nullptr);
      for (const auto& [kind, name] : classes) {
        if (kind == row.kind) {
          EXPECT_EQ(ClassOf(control), name);
        }
      }
      EXPECT_EQ(::GetParent(control), *row.parent ? Control(row.parent) : window.hwnd());
      EXPECT_EQ(Shown(control), std::string_view(row.name) != "Frame1");
      if (row.kind != ControlKind::kComboBox) {
        EXPECT_EQ(Text(control), row.text);
      }
      RECT want = PixelRect(row.rect, dpi);
      if (row.kind == ControlKind::kToolBar) {
        ::GetClientRect(window.hwnd(), &client);
        want.right = client.right;  // docked: as wide as the window
      }
      const RECT have = RectInParent(control);
      EXPECT_EQ(have.top, want.top);
      EXPECT_EQ(have.bottom, want.bottom);
      // Moved along by a label before it that a wide face widened
      // (TextsFitTheirControls); only labels and check boxes widen.
      EXPECT_GE(have.left, want.left);
      if (row.kind == ControlKind::kLabel || row.kind == ControlKind::kCheckBox) {
        EXPECT_GE(have.right - have.left, want.right - want.left);
      } else {
        EXPECT_EQ(have.right - have.left, want.right - want.left);
      }
      const LOGFONTW font = FontOf(control);
      const double points = row.font_points > 0 ? row.font_points : layout.font_points;
      if (row.kind != ControlKind::kToolBar) {
        EXPECT_EQ(font.lfHeight, -std::lround(points * dpi / 72));
        EXPECT_EQ(font.lfWeight, row.bold ? FW_BOLD : FW_NORMAL);
      }
    }
    // The toolbar's pictures are drawn for the scale, not stretched.
    int side = 0;
    int ignored = 0;
    ImageList_GetIconSize(
        reinterpret_cast<HIMAGELIST>(::SendMessageW(Control("tbToolBar"), TB_GETIMAGELIST, 0, 0)),
        &side, &ignored);
    EXPECT_EQ(side, 16 * dpi / 96);
  }
  EXPECT_EQ(Text(Control("Combo1")), "Серый");
  std::vector<std::string> items;
  for (int i = 0; i < ::SendMessageW(Control("Combo1"), CB_GETCOUNT, 0, 0); ++i) {
    wchar_t item[64] = {};
    ::SendMessageW(Control("Combo1"), CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
    items.push_back(Narrow(item));
  }
  EXPECT_EQ(items,
            std::vector<std::string>(TintSelectorItems().begin(), TintSelectorItems().end()));
  EXPECT_TRUE(::GetWindowLongPtrW(Control("List1"), GWL_STYLE) & LVS_OWNERDATA);
  EXPECT_TRUE(::GetWindowLongPtrW(Control("ProgressBar2"), GWL_STYLE) & PBS_VERTICAL);
  EXPECT_EQ(::SendMessageW(Control("ProgressBar2"), PBM_GETRANGE, FALSE, 0), kListCapacity);
}

// Each label's and check box's text shows whole in its control at every
// scale, in the classic face and the ones later Windows versions give
// dialogs (where Wine has no Segoe UI it stands in another: printed), and
// what a widened text moved along overlaps nothing.
TEST_F(Win32WindowTest, TextsFitTheirControls) {
  model.SetCount(kListCapacity);
  window.Refresh();
  const WindowLayout& layout = MainWindowLayout();
  for (const wchar_t* face : {L"", L"Tahoma", L"Segoe UI"}) {
    UseFaceInstead(face);
    std::set<std::string> measured;
    for (const int dpi : {96, 144, 192}) {
      RECT suggested{0, 0, 900, 1000};
      ::SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
      for (const ControlLayout& row : layout.controls) {
        const bool check = row.kind == ControlKind::kCheckBox;
        if (row.kind != ControlKind::kLabel && !check) continue;
        SCOPED_TRACE(std::string(row.name) + " at " + std::to_string(dpi));
        const HWND control = Control(row.name);
        const std::wstring text = WindowText(control);
        const HDC dc = ::GetDC(control);
        const HGDIOBJ previous = ::SelectObject(
            dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
        SIZE size{};
        ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        wchar_t used[LF_FACESIZE] = {};
        ::GetTextFaceW(dc, LF_FACESIZE, used);
        measured.insert(Narrow(used));
        ::SelectObject(dc, previous);
        ::ReleaseDC(control, dc);
        RECT client;
        ::GetClientRect(control, &client);
        EXPECT_LE(size.cx, client.right - (check ? CheckBoxTextOffset(dpi) : 0)) << Narrow(text);
        const RECT mine = RectInParent(control);
        for (const ControlLayout& other : layout.controls) {
          if (&other == &row || other.kind == ControlKind::kFrame ||
              std::string_view(other.parent) != row.parent) {
            continue;
          }
          RECT overlap;
          const RECT theirs = RectInParent(Control(other.name));
          EXPECT_FALSE(::IntersectRect(&overlap, &mine, &theirs)) << other.name;
        }
      }
    }
    std::string faces;
    for (const std::string& name : measured) faces += " " + name;
    std::printf("asked for \"%s\", measured in:%s\n", Narrow(face).c_str(), faces.c_str());
  }
  UseFaceInstead(L"");
}

TEST_F(Win32WindowTest, MenuAndToolbarHoldEveryCommand) {
  std::vector<std::string> menu;
  const HMENU bar = ::GetMenu(window.hwnd());
  for (int i = 0; i < ::GetMenuItemCount(bar); ++i) {
    wchar_t text[64] = {};
    ::GetMenuStringW(bar, i, text, 64, MF_BYPOSITION);
    menu.push_back(Narrow(text) + ":");
    const HMENU items = ::GetSubMenu(bar, i);
    for (int j = 0; j < ::GetMenuItemCount(items); ++j) {
      ::GetMenuStringW(items, j, text, 64, MF_BYPOSITION);
      menu.back() += Narrow(text) + ";";
    }
  }
  EXPECT_EQ(menu, (std::vector<std::string>{
                      "&File:&Open...\tCtrl+O;&Close;;&Save\tCtrl+S;Save &As...\tCtrl+Shift+S;;"
                      "E&xit\tCtrl+Q;",
                      "&Help:&About ;"}));
  const HWND toolbar = Control("tbToolBar");
  std::vector<std::string> buttons;
  for (int i = 0; i < ::SendMessageW(toolbar, TB_BUTTONCOUNT, 0, 0); ++i) {
    TBBUTTON button{};
    ::SendMessageW(toolbar, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&button));
    wchar_t word[16] = {};
    ::SendMessageW(toolbar, TB_GETBUTTONTEXTW, button.idCommand, reinterpret_cast<LPARAM>(word));
    buttons.push_back(Narrow(word) + (button.iBitmap == I_IMAGENONE ? "" : "+image"));
  }
  EXPECT_EQ(buttons, (std::vector<std::string>{"Open+image", "Save+image", "", "Help+image"}));
}

TEST_F(Win32WindowTest, TabOrderFollowsTheTable) {
  Start();
  for (const bool options : {false, true}) {
    if (options) Click("Command3");
    std::vector<std::pair<int, std::string>> rows;
    for (const ControlLayout& row : MainWindowLayout().controls) {
      const HWND control = Control(row.name);
      if ((::GetWindowLongPtrW(control, GWL_STYLE) & WS_TABSTOP) && ::IsWindowVisible(control)) {
        rows.emplace_back(row.tab, row.name);
      }
    }
    std::sort(rows.begin(), rows.end());
    std::vector<std::string> wanted;
    for (const auto& row : rows) wanted.push_back(row.second);
    std::vector<std::string> order;
    HWND control = ::GetNextDlgTabItem(window.hwnd(), nullptr, FALSE);
    for (size_t i = 0; i < wanted.size() && control; ++i) {
      order.emplace_back("?");
      for (const ControlLayout& row : MainWindowLayout().controls) {
        if (Control(row.name) == control) order.back() = row.name;
      }
      control = ::GetNextDlgTabItem(window.hwnd(), control, FALSE);
    }
    EXPECT_EQ(order, wanted) << (options ? "options view" : "list view");
    EXPECT_GE(wanted.size(), options ? 6u : 5u);
  }
}

// Each button runs its command when clicked, and the window shows the result.
TEST_F(Win32WindowTest, ButtonsRunTheirCommands) {
  Start();
  const struct {
    const char* button;
    std::function<void()> before;
    std::function<void()> check;
  } rows[] = {
      {"Command4",
       [&] {
         model.list1.Assign({"1.2.3.4:80 x", "junk", "www.host.example:80"});
         model.SetCount(3);
       },
       [&] {
         EXPECT_EQ(model.list1.Items(),
                   (std::vector<std::string>{"1.2.3.4:80", "www.host.example:80"}));
         EXPECT_EQ(Text(Control("Label3")), "2");
         EXPECT_EQ(Rows(Control("List1")), 2);
         EXPECT_EQ(::SendMessageW(Control("ProgressBar2"), PBM_GETPOS, 0, 0), 2);
         EXPECT_EQ(::SendMessageW(Control("ProgressBar1"), PBM_GETPOS, 0, 0), 2);
       }},
      {"Command2", [&] { model.label1 = "C:\\lists\\a.txt"; },
       [&] {
         EXPECT_EQ(Rows(Control("List1")), 0);
         EXPECT_EQ(Text(Control("Label3")), "0");
         EXPECT_EQ(::SendMessageW(Control("ProgressBar1"), PBM_GETPOS, 0, 0), 0);
         EXPECT_EQ(::SendMessageW(Control("ProgressBar2"), PBM_GETPOS, 0, 0), 2);
         EXPECT_EQ(Text(Control("Label1")), "C:\\lists\\a.txt");
       }},
      {"Command3", [] {},
       [&] {
         EXPECT_TRUE(::IsWindowVisible(Control("Frame1")));
         for (const char* hidden : {"List1", "Command1", "Command2", "Command3", "Command4",
                                    "ProgressBar1", "ProgressBar2"}) {
           EXPECT_FALSE(::IsWindowVisible(Control(hidden))) << hidden;
         }
         for (const char* kept : {"Label1", "Label2", "Label3", "tbToolBar"}) {
           EXPECT_TRUE(::IsWindowVisible(Control(kept))) << kept;
         }
         // The keyboard is not left on the hidden button.
         EXPECT_TRUE(::IsWindowVisible(::GetFocus()));
       }},
      {"Check1", [] {}, [&] { EXPECT_EQ(model.check1, 1); }},
      {"Check4", [] {}, [&] { EXPECT_EQ(model.check4, 1); }},
      {"Command5", [] {},
       [&] {
         EXPECT_FALSE(::IsWindowVisible(Control("Frame1")));
         EXPECT_TRUE(::IsWindowVisible(Control("List1")));
         EXPECT_EQ(ReadBytes(dir.File("proxy_stup.pr")),
                   "1\r\n2\r\n2\r\n1\r\n\xD1\xE5\xF0\xFB\xE9\r\n");
       }},
      {"Command1", [] {},
       [&] {
         EXPECT_EQ(model.end_request, EndRequest::kImmediately);
         EXPECT_EQ(ends, 1);
         EXPECT_EQ(platform.setting_writes, 0);
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.button);
    row.before();
    window.Refresh();
    Click(row.button);
    Pump();
    row.check();
  }
}

// The menu's items and their keys, through the program's own message loop.
TEST_F(Win32WindowTest, MenuItemsAndKeysRunTheirCommands) {
  Start();
  const std::string list_bytes = "1.2.3.4:80\r\njunk\r\n";
  WriteBytes(dir.File("list.txt"), list_bytes);
  const HWND list = Control("List1");
  const std::string open = "Open|All Files (*.txt)|*.txt";
  const std::string save = "Save|All Files (*.txt)|*.txt";
  const struct {
    const char* how;
    std::function<void()> act;
    std::string answer;
    std::vector<std::string> dialogs;
    std::function<void()> check;
  } rows[] = {
      {"File > Open",
       [&] { Menu(WindowCommand::kOpenList); },
       dir.File("list.txt"),
       {open},
       [&] { EXPECT_EQ(Rows(list), 2); }},
      {"Ctrl+O",
       [&] {
         Menu(WindowCommand::kCloseList);
         EXPECT_TRUE(Key({VK_CONTROL}, 'O', list));
       },
       dir.File("list.txt"),
       {open},
       [&] {
         EXPECT_EQ(Rows(list), 2);
         EXPECT_EQ(Text(Control("Label1")), dir.File("list.txt"));
       }},
      {"O alone is the list's own key", [&] { Key({}, 'O', list); }, "", {}, [] {}},
      {"Ctrl+S writes the current file",
       [&] {
         WriteBytes(dir.File("list.txt"), "changed");
         EXPECT_TRUE(Key({VK_CONTROL}, 'S', list));
       },
       "",
       {},
       [&] { EXPECT_EQ(ReadBytes(dir.File("list.txt")), list_bytes); }},
      {"Ctrl+Shift+S asks",
       [&] {
         EXPECT_TRUE(Key({VK_CONTROL, VK_SHIFT}, 'S', list));
       },
       dir.File("other.txt"),
       {save},
       [&] {
         EXPECT_EQ(ReadBytes(dir.File("other.txt")), list_bytes);
         EXPECT_EQ(model.label1, dir.File("list.txt"));
       }},
      {"File > Close",
       [&] { Menu(WindowCommand::kCloseList); },
       "",
       {},
       [&] { EXPECT_EQ(Rows(list), 0); }},
      {"Ctrl+Q unloads",
       [&] { EXPECT_TRUE(Key({VK_CONTROL}, 'Q', list)); },
       "",
       {},
       [&] {
         EXPECT_EQ(model.end_request, EndRequest::kAfterUnload);
         for (const char* key : {"MainLeft", "MainTop", "MainWidth", "MainHeight"}) {
           EXPECT_EQ(platform.settings.count(std::string("Settings/") + key), 1u) << key;
         }
         EXPECT_EQ(ends, 1);
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.how);
    platform.dialogs.clear();
    platform.answers.clear();
    if (!row.answer.empty()) platform.answers = {row.answer};
    row.act();
    Pump();
    EXPECT_EQ(platform.dialogs, row.dialogs);
    row.check();
  }
}

// Typed with the keyboard, the tint name is exactly what was typed: no
// completion, not even when the list is opened and closed again.
TEST_F(Win32WindowTest, TintNameIsKeptExactlyAsTyped) {
  Start();
  const std::pair<const char*, bool> rows[] = {
      {"серый", false}, {"Зел", false}, {"Серый ", false}, {"Синий", true}, {"", false}};
  COMBOBOXINFO combo{};
  combo.cbSize = sizeof combo;
  ::GetComboBoxInfo(Control("Combo1"), &combo);
  const HWND field = combo.hwndItem;
  for (const auto& [typed, paints] : rows) {
    SCOPED_TRACE(typed);
    Click("Command3");
    ::SetFocus(field);
    ::SendMessageW(field, EM_SETSEL, 0, -1);
    ::SendMessageW(field, WM_CHAR, VK_BACK, 0);
    for (const wchar_t c : Widen(typed)) ::SendMessageW(field, WM_CHAR, c, 1);
    EXPECT_EQ(model.combo1_text, typed);
    ::SendMessageW(Control("Combo1"), CB_SHOWDROPDOWN, TRUE, 0);
    ::SendMessageW(Control("Combo1"), CB_SHOWDROPDOWN, FALSE, 0);
    Pump();
    EXPECT_EQ(model.combo1_text, typed);
    EXPECT_EQ(Text(Control("Combo1")), typed);
    const auto painted = model.canvas.Revision();
    Click("Command5");
    EXPECT_EQ(ReadBytes(dir.File("proxy_stup.pr")),
              "2\r\n2\r\n2\r\n2\r\n" + Utf8ToCp1251(typed) + "\r\n");
    EXPECT_EQ(model.canvas.Revision() != painted, paints);
  }
  // An item picked with the arrow keys is taken whole.
  Click("Command3");
  ::SendMessageW(Control("Combo1"), CB_SETCURSEL, 0, 0);
  ::SendMessageW(field, WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(model.combo1_text, "Красный");
}

// Files dropped on the window: the first is opened as File > Open would;
// one that cannot be opened is named in a message and the list is kept.
TEST_F(Win32WindowTest, DroppedFilesOpenTheFirst) {
  Start();
  WriteBytes(dir.File("list.txt"), "1.2.3.4:80\r\nwww.a.example:8080\r\n");
  WriteBytes(dir.File("other.txt"), "5.6.7.8:80\r\n");
  ::CreateDirectoryW(Widen(dir.File("folder")).c_str(), nullptr);
  const struct {
    std::vector<std::string> files;
    std::vector<std::string> list;
    const char* message;  // a part of it; "" for none
  } rows[] = {
      {{dir.File("list.txt")}, {"1.2.3.4:80", "www.a.example:8080"}, ""},
      {{dir.File("missing.txt")}, {"kept"}, "missing.txt"},
      {{dir.File("other.txt"), dir.File("list.txt")}, {"5.6.7.8:80"}, ""},
      {{dir.File("folder")}, {"kept"}, "folder"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.files[0]);
    model.list1.Assign({"kept"});
    model.SetCount(1);
    window.Refresh();
    platform.messages.clear();
    ::SendMessageW(window.hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop(row.files)), 0);
    EXPECT_EQ(model.list1.Items(), row.list);
    EXPECT_EQ(Rows(Control("List1")), static_cast<LRESULT>(row.list.size()));
    ASSERT_EQ(platform.messages.size(), *row.message ? 1u : 0u);
    if (*row.message) {
      EXPECT_NE(platform.messages[0].find(row.message), std::string::npos);
    }
  }
  EXPECT_EQ(Text(Control("Label1")), dir.File("other.txt"));
}

// `kestrova FILE`: the file opens once the window stands, as File > Open.
TEST_F(Win32WindowTest, FileArgumentOpensOnceTheWindowStands) {
  WriteBytes(dir.File("list.txt"), "1.2.3.4:80\r\n\xCF\xF0\xEE\xEA\xF1\xE8\r\n");
  Start();
  window.OpenFileLater(dir.File("list.txt"));
  EXPECT_EQ(model.list1.Count(), 0);
  Pump();
  EXPECT_EQ(model.list1.Count(), 2);
  EXPECT_EQ(Text(Control("Label3")), "2");
  EXPECT_EQ(Text(Control("Label1")), dir.File("list.txt"));
  EXPECT_EQ(::SendMessageW(Control("ProgressBar2"), PBM_GETPOS, 0, 0), 2);
  // The rows are drawn from the model: text on the two rows, none below.
  const HWND list = Control("List1");
  const Shot shot(list);
  const std::uint32_t ink = Pixel(::GetSysColor(COLOR_WINDOWTEXT));
  RECT first{LVIR_BOUNDS};
  ::SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  for (int row = 0; row < 3; ++row) {
    RECT item = first;
    ::OffsetRect(&item, 0, row * (first.bottom - first.top));
    int inked = 0;
    for (int y = item.top; y < item.bottom; ++y) {
      for (int x = item.left; x < item.right; ++x) inked += shot.At(x, y) == ink;
    }
    EXPECT_EQ(inked > 0, row < 2) << row;
  }
  // A list opened again shows from its top, nothing selected, even when it
  // has as many rows as the one before.
  std::string hundred;
  for (int i = 0; i < 100; ++i) hundred += "1.2.3." + std::to_string(i) + ":80\r\n";
  WriteBytes(dir.File("hundred.txt"), hundred);
  for (int round = 0; round < 2; ++round) {
    ::SendMessageW(list, LVM_ENSUREVISIBLE, 99, FALSE);
    LVITEMW selected{};
    selected.state = selected.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, 60, reinterpret_cast<LPARAM>(&selected));
    if (round > 0) ASSERT_GT(::SendMessageW(list, LVM_GETTOPINDEX, 0, 0), 0);
    window.OpenFile(dir.File("hundred.txt"));
    EXPECT_EQ(Rows(list), 100);
    EXPECT_EQ(::SendMessageW(list, LVM_GETTOPINDEX, 0, 0), 0) << round;
    EXPECT_EQ(::SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), -1)
        << round;
  }
  // What a screen reader reads: each row's text on request, and the number
  // of rows.
  for (const int row : {0, 42, 99}) {
    EXPECT_EQ(RowText(list, row), "1.2.3." + std::to_string(row) + ":80") << row;
  }
  window.OpenFile(dir.File("list.txt"));
  EXPECT_EQ(RowText(list, 1), "Прокси");
  EXPECT_EQ(RowText(list, 2), "");
  // Through MSAA: Windows' proxy for list views gives the rows as children;
  // Wine 8 gives a plain client object (no rows), which is all there is to
  // check here.
  using FromWindow = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
  const auto from_window = reinterpret_cast<FromWindow>(reinterpret_cast<void*>(
      ::GetProcAddress(::LoadLibraryW(L"oleacc.dll"), "AccessibleObjectFromWindow")));
  ASSERT_NE(from_window, nullptr);
  IAccessible* object = nullptr;
  ASSERT_EQ(
      from_window(list, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object)),
      S_OK);
  VARIANT role{};
  EXPECT_EQ(object->get_accRole(VARIANT{{{VT_I4, 0, 0, 0, {.lVal = CHILDID_SELF}}}}, &role), S_OK);
  if (role.lVal == ROLE_SYSTEM_LIST) {
    long children = 0;
    object->get_accChildCount(&children);
    EXPECT_EQ(children, Rows(list));
    BSTR name = nullptr;
    EXPECT_EQ(object->get_accName(VARIANT{{{VT_I4, 0, 0, 0, {.lVal = 2}}}}, &name), S_OK);
    EXPECT_EQ(Narrow(name ? name : L""), "Прокси");
    ::SysFreeString(name);
  } else {
    EXPECT_EQ(role.lVal, ROLE_SYSTEM_CLIENT);
  }
  object->Release();
  std::printf("read as a screen reader does: %d rows, row 0 \"%s\", row 1 \"%s\"; MSAA role %ld\n",
              static_cast<int>(Rows(list)), RowText(list, 0).c_str(), RowText(list, 1).c_str(),
              role.lVal);
}

// The tint on the screen: each device row shows the colour of the last
// gradient line in it, at the window's DPI; beyond the band, behind the
// toolbar and under the options frame the window shows what it should.
TEST_F(Win32WindowTest, TintIsPaintedFromTheModelAtTheWindowsDpi) {
  WriteBytes(dir.File("proxy_stup.pr"), "2\r\n2\r\n2\r\n2\r\n\xD1\xE8\xED\xE8\xE9\r\n");  // Синий
  Start();
  const std::uint32_t face = Pixel(kClassicFaceColor);  // in every theme
  for (const int dpi : {96, 144}) {
    SCOPED_TRACE(dpi);
    if (dpi != 96) {
      RECT suggested{0, 0, 1000, 1100};
      ::SendMessageW(window.hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&suggested));
    }
    Pump();
    const int row = TwipsToPixels(600, dpi);  // inside Label1, below the toolbar
    const std::uint32_t tint = Pixel(TintColor(kNamedTints[5], LastTwipInRow(row, dpi)));
    const Shot shot(window.hwnd());
    EXPECT_EQ(shot.At(2, row), tint);                         // the bare window
    EXPECT_EQ(shot.At(TwipsToPixels(1000, dpi), row), tint);  // through Label1
    EXPECT_EQ(shot.At(BandEnd(dpi), row), tint);              // the band's last column
    EXPECT_EQ(shot.At(BandEnd(dpi) + 1, row), face);          // past the band
    // The toolbar has a background of its own, the theme's.
    EXPECT_EQ(shot.At(TwipsToPixels(3000, dpi), 4 * dpi / 96), Pixel(::GetSysColor(COLOR_BTNFACE)));
  }
  // The options frame covers the labels beneath it.
  model.label1 = std::string(60, 'W');
  window.Refresh();
  const Shot with_text(window.hwnd());
  const RECT label = RectInParent(Control("Label1"));
  std::vector<POINT> ink;
  for (int y = label.top; y < label.bottom; ++y) {
    for (int x = label.left; x < label.right; ++x) {
      const int row_twip = LastTwipInRow(y, 144);
      const bool in_band = x <= BandEnd(144) && row_twip > 0;
      const std::uint32_t ground = in_band ? Pixel(TintColor(kNamedTints[5], row_twip)) : face;
      if (with_text.At(x, y) != ground) ink.push_back({x, y});
    }
  }
  ASSERT_FALSE(ink.empty());
  // A dark theme's white button text would fade on the pale tint: the
  // label's text stays dark.
  const int element = COLOR_BTNTEXT;
  const COLORREF theme_text = ::GetSysColor(element);
  const COLORREF white = RGB(255, 255, 255);
  ::SetSysColors(1, &element, &white);
  ::SendMessageW(window.hwnd(), WM_SYSCOLORCHANGE, 0, 0);
  Pump();
  const Shot dark_theme(window.hwnd());
  ::SetSysColors(1, &element, &theme_text);
  ::SendMessageW(window.hwnd(), WM_SYSCOLORCHANGE, 0, 0);
  int dark_ink = 0;
  for (const POINT& p : ink) {
    EXPECT_NE(dark_theme.At(p.x, p.y), Pixel(white)) << p.x << "," << p.y;
    dark_ink += dark_theme.At(p.x, p.y) == Pixel(RGB(0, 0, 0));
  }
  EXPECT_GT(dark_ink, 0);
  Click("Command3");
  const Shot covered(window.hwnd());
  const RECT frame = RectInParent(Control("Frame1"));
  int checked = 0;
  for (const POINT& p : ink) {
    // Away from the frame's own border and caption.
    if (p.x < frame.left + 80 || p.y < frame.top + 12) continue;
    const int row_twip = LastTwipInRow(p.y, 144);
    const bool in_band = p.x <= BandEnd(144);
    EXPECT_EQ(covered.At(p.x, p.y), in_band ? Pixel(TintColor(kNamedTints[5], row_twip)) : face)
        << p.x << "," << p.y;
    ++checked;
  }
  EXPECT_GT(checked, 0);
}

TEST_F(Win32WindowTest, AboutWindowComesBackAsItWasOrAnew) {
  Start();
  Menu(WindowCommand::kShowAbout);
  AboutWindow* about = window.About();
  ASSERT_NE(about, nullptr);
  const HWND first = about->hwnd();
  EXPECT_TRUE(::IsWindowVisible(first));
  EXPECT_EQ(Text(first), "About");
  EXPECT_EQ(::GetWindow(first, GW_OWNER), window.hwnd());
  EXPECT_EQ(::SendMessageW(about->Control("List1"), LB_GETCOUNT, 0, 0), 21);
  EXPECT_EQ(Text(about->Control("Command1")), "Закрыть");
  EXPECT_EQ(FontOf(about->Control("Label1")).lfWeight, FW_BOLD);
  EXPECT_EQ(::GetFocus(), about->Control("Command1"));
  // Its own gradient, under its controls.
  const Shot shot(first);
  EXPECT_EQ(shot.At(2, 10), Pixel(TintColor(kAboutTint, LastTwipInRow(10, 96))));

  Menu(WindowCommand::kShowAbout);
  EXPECT_EQ(window.About(), about);
  ::SendMessageW(about->Control("Command1"), BM_CLICK, 0, 0);
  EXPECT_FALSE(::IsWindowVisible(first));
  EXPECT_EQ(model.about.state, AboutState::kHidden);
  Menu(WindowCommand::kShowAbout);
  EXPECT_EQ(window.About()->hwnd(), first);
  EXPECT_TRUE(::IsWindowVisible(first));
  // Escape hides it like "Закрыть".
  MSG escape{about->Control("Command1"), WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
  EXPECT_TRUE(window.TranslateKeys(&escape));
  EXPECT_EQ(model.about.state, AboutState::kHidden);
  Menu(WindowCommand::kShowAbout);
  // The title bar's close ends it; the next About is a new window.
  ::SendMessageW(first, WM_CLOSE, 0, 0);
  EXPECT_EQ(model.about.state, AboutState::kNotCreated);
  EXPECT_EQ(window.About(), nullptr);
  Pump();
  EXPECT_FALSE(::IsWindow(first));
  Menu(WindowCommand::kShowAbout);
  ASSERT_NE(window.About(), nullptr);
  EXPECT_NE(window.About()->hwnd(), first);
  EXPECT_EQ(model.about.generation, 2);
}

TEST_F(Win32WindowTest, ClosingSavesThePlacementButTheExitButtonDoesNot) {
  Start();
  Menu(WindowCommand::kShowAbout);
  ::SetWindowPos(window.hwnd(), nullptr, 40, 50, 500, 460, SWP_NOZORDER);
  Click("Command1");
  EXPECT_EQ(model.end_request, EndRequest::kImmediately);
  EXPECT_EQ(platform.setting_writes, 0);

  MainWindowModel second_model;
  MainWindow second(second_model, platform);
  second.SetOnEnd([this] { ++ends; });
  second.Start();
  second_model.about.state = AboutState::kShown;
  second.Refresh();
  ::SetWindowPos(second.hwnd(), nullptr, 40, 50, 500, 460, SWP_NOZORDER);
  ::SendMessageW(second.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(second_model.end_request, EndRequest::kAfterUnload);
  EXPECT_EQ(second_model.about.state, AboutState::kNotCreated);
  EXPECT_EQ(second.About(), nullptr);
  EXPECT_EQ(platform.settings["Settings/MainLeft"], "600");
  EXPECT_EQ(platform.settings["Settings/MainTop"], "750");
  EXPECT_EQ(platform.settings["Settings/MainWidth"], "7500");
  EXPECT_EQ(platform.settings["Settings/MainHeight"], "6900");
  EXPECT_EQ(ends, 2);

  // Closed while minimised: the placement saved before stays.
  MainWindowModel third_model;
  MainWindow third(third_model, platform);
  third.SetOnEnd([] {});
  third.Start();
  ::ShowWindow(third.hwnd(), SW_MINIMIZE);
  const int writes = platform.setting_writes;
  ::SendMessageW(third.hwnd(), WM_CLOSE, 0, 0);
  EXPECT_EQ(third_model.end_request, EndRequest::kAfterUnload);
  EXPECT_EQ(platform.setting_writes, writes);
}

TEST_F(Win32WindowTest, StartUsesTheStoredPlacement) {
  platform.settings = {{"Settings/MainLeft", "1500"},
                       {"Settings/MainTop", "3000"},
                       {"Settings/MainWidth", "7500"},
                       {"Settings/MainHeight", "oops"}};
  Start();
  RECT outer;
  ::GetWindowRect(window.hwnd(), &outer);
  EXPECT_EQ(outer.left, 100);
  EXPECT_EQ(outer.top, 200);
  EXPECT_EQ(outer.right - outer.left, 500);
  EXPECT_EQ(outer.bottom - outer.top, 433);  // the default 6500 twips
}

}  // namespace
}  // namespace kestrova
