#include "win32/application.h"

#include <objbase.h>

#include "win32/main_window.h"
#include "win32/win32_platform.h"

namespace kestrova {
namespace {

bool Usable(HANDLE handle) { return handle && handle != INVALID_HANDLE_VALUE; }

}  // namespace

int RunKestrovaWindow(const std::string& file, int show) {
  // The common dialogs show the shell's folders, which want COM.
  const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  int status = 0;
  {
    MainWindowModel model;
    Win32Platform platform;
    MainWindow window(model, platform);
    platform.SetOwner(window.hwnd(), [&window] { window.Refresh(); });
    window.Start(show);
    // Opened from Explorer or a shell: once the window stands, as File > Open
    // of that file would.
    if (!file.empty()) window.OpenFileLater(file);
    status = RunMessageLoop(window);
  }
  if (SUCCEEDED(com)) ::CoUninitialize();
  return status;
}

int RunMessageLoop(MainWindow& window) {
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!window.TranslateKeys(&message)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
  return static_cast<int>(message.wParam);
}

bool ReachParentConsole() {
  if (Usable(::GetStdHandle(STD_OUTPUT_HANDLE))) return true;
  if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return false;
  const struct {
    DWORD which;
    const wchar_t* device;
  } streams[] = {{STD_INPUT_HANDLE, L"CONIN$"},
                 {STD_OUTPUT_HANDLE, L"CONOUT$"},
                 {STD_ERROR_HANDLE, L"CONOUT$"}};
  for (const auto& stream : streams) {
    if (Usable(::GetStdHandle(stream.which))) continue;
    const HANDLE handle =
        ::CreateFileW(stream.device, GENERIC_READ | GENERIC_WRITE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (Usable(handle)) ::SetStdHandle(stream.which, handle);
  }
  return true;
}

}  // namespace kestrova
