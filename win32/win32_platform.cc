#include "win32/win32_platform.h"

#include <cderr.h>
#include <commdlg.h>

#include <cmath>

#include "options/options_file.h"
#include "ui/window_layout.h"
#include "win32/dpi.h"
#include "win32/wide_text.h"

namespace kestrova {
namespace {

// Room for the longest path Windows takes.
constexpr DWORD kPathRoom = 32768;

float Twips(LONG pixels, UINT dpi) {
  return static_cast<float>(std::lround(static_cast<double>(pixels) * kTwipsPerInch / dpi));
}

BOOL CALLBACK NoteScreen(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  auto* screens = reinterpret_cast<std::vector<ScreenArea>*>(data);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!::GetMonitorInfoW(monitor, &info)) return TRUE;
  // Positions on the desktop are kept at the desktop's own scale.
  const UINT dpi = SystemDpi();
  const RECT& work = info.rcWork;
  const ScreenArea area{Twips(work.left, dpi), Twips(work.top, dpi),
                        Twips(work.right - work.left, dpi), Twips(work.bottom - work.top, dpi)};
  if (info.dwFlags & MONITORINFOF_PRIMARY) {
    screens->insert(screens->begin(), area);
  } else {
    screens->push_back(area);
  }
  return TRUE;
}

}  // namespace

std::wstring DialogFilter(const std::string& filter) {
  std::wstring wide = Widen(filter);
  for (wchar_t& c : wide) {
    if (c == L'|') c = L'\0';
  }
  wide.push_back(L'\0');
  wide.push_back(L'\0');
  return wide;
}

Win32Platform::Win32Platform(std::wstring settings_root)
    : settings_root_(std::move(settings_root)) {}

void Win32Platform::SetOwner(HWND owner, std::function<void()> before_modal) {
  owner_ = owner;
  before_modal_ = std::move(before_modal);
}

std::string Win32Platform::ChooseFile(bool save, const std::string& title,
                                      const std::string& filter, const ChooserStart& start) {
  if (before_modal_) before_modal_();
  const std::wstring wide_title = Widen(title);
  const std::wstring wide_filter = DialogFilter(filter);
  const std::wstring folder = Widen(start.folder);
  std::wstring file(kPathRoom, L'\0');
  for (int attempt = 0; attempt < 2; ++attempt) {
    // A starting name the dialog refuses (a wildcard, a bad character) is
    // dropped on the second attempt rather than failing the command.
    file.assign(kPathRoom, L'\0');
    if (attempt == 0) Widen(start.name).copy(file.data(), kPathRoom - 1);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.lpstrFilter = wide_filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = kPathRoom;
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    dialog.lpstrTitle = wide_title.c_str();
    dialog.Flags =
        OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST;
    if (save) {
      dialog.Flags |= OFN_OVERWRITEPROMPT | OFN_NOREADONLYRETURN;
      dialog.lpstrDefExt = L"txt";  // "list" is saved as "list.txt", as Notepad does
    } else {
      dialog.Flags |= OFN_FILEMUSTEXIST;
    }
    const BOOL chosen = save ? ::GetSaveFileNameW(&dialog) : ::GetOpenFileNameW(&dialog);
    if (chosen) return Narrow(file.c_str());
    if (::CommDlgExtendedError() != FNERR_INVALIDFILENAME || start.name.empty()) break;
  }
  return {};
}

std::string Win32Platform::ChooseFileToOpen(const std::string& title, const std::string& filter,
                                            const ChooserStart& start) {
  return ChooseFile(false, title, filter, start);
}

std::string Win32Platform::ChooseFileToSave(const std::string& title, const std::string& filter,
                                            const ChooserStart& start) {
  return ChooseFile(true, title, filter, start);
}

void Win32Platform::ShowMessage(const std::string& text) {
  if (before_modal_) before_modal_();
  ::MessageBoxW(owner_, Widen(text).c_str(), Widen(kAppTitle).c_str(), MB_OK);
}

std::wstring Win32Platform::SectionKey(const std::string& section) const {
  return settings_root_ + L"\\" + Widen(kAppTitle) + L"\\" + Widen(section);
}

std::optional<std::string> Win32Platform::ReadSetting(const std::string& section,
                                                      const std::string& key) {
  const std::wstring path = SectionKey(section);
  const std::wstring name = Widen(key);
  DWORD size = 0;
  constexpr DWORD kStrings = RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND;
  if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), kStrings, nullptr, nullptr,
                     &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(value.size() * sizeof(wchar_t));
  if (::RegGetValueW(HKEY_CURRENT_USER, path.c_str(), name.c_str(), kStrings, nullptr, value.data(),
                     &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return Narrow(value.c_str());
}

void Win32Platform::WriteSetting(const std::string& section, const std::string& key,
                                 const std::string& value) {
  HKEY handle = nullptr;
  if (::RegCreateKeyExW(HKEY_CURRENT_USER, SectionKey(section).c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE, nullptr, &handle, nullptr) != ERROR_SUCCESS) {
    return;
  }
  const std::wstring data = Widen(value);
  ::RegSetValueExW(handle, Widen(key).c_str(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(handle);
}

std::string Win32Platform::OptionsFilePath() { return UserOptionsFilePath(); }

std::string Win32Platform::HomeFolder() {
  // The user's own folder (C:\Users\name), where the chooser starts the
  // very first time.
  std::wstring home(kPathRoom, L'\0');
  const DWORD length = ::GetEnvironmentVariableW(L"USERPROFILE", home.data(), kPathRoom);
  if (length == 0 || length >= kPathRoom) return {};
  home.resize(length);
  return Narrow(home);
}

std::vector<ScreenArea> Win32Platform::Screens() {
  std::vector<ScreenArea> screens;
  ::EnumDisplayMonitors(nullptr, nullptr, NoteScreen, reinterpret_cast<LPARAM>(&screens));
  return screens;
}

}  // namespace kestrova
