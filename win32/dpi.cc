#include "win32/dpi.h"

namespace kestrova {
namespace {

template <typename F>
F User32(const char* name) {
  return reinterpret_cast<F>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}

UINT DesktopDpi() {
  const HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<UINT>(dpi) : kDefaultDpi;
}

}  // namespace

UINT SystemDpi() {
  static const auto get = User32<UINT(WINAPI*)()>("GetDpiForSystem");
  return get ? get() : DesktopDpi();
}

UINT WindowDpi(HWND window) {
  static const auto get = User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
  const UINT dpi = get && window ? get(window) : 0;
  return dpi ? dpi : SystemDpi();
}

UINT MonitorDpi(HMONITOR monitor) {
  using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
  static const auto get = [] {
    const HMODULE shcore = ::LoadLibraryW(L"shcore.dll");
    return shcore ? reinterpret_cast<GetDpiForMonitorFn>(
                        reinterpret_cast<void*>(::GetProcAddress(shcore, "GetDpiForMonitor")))
                  : nullptr;
  }();
  UINT x = 0;
  UINT y = 0;
  if (get && monitor && SUCCEEDED(get(monitor, 0 /* MDT_EFFECTIVE_DPI */, &x, &y)) && y) return y;
  return SystemDpi();
}

int MetricForDpi(int index, UINT dpi) {
  static const auto get = User32<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
  if (get) return get(index, dpi);
  return ::MulDiv(::GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(SystemDpi()));
}

SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD ex_style, bool menu, UINT dpi) {
  static const auto adjust =
      User32<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
  RECT rect{0, 0, client.cx, client.cy};
  if (adjust) {
    adjust(&rect, style, menu, ex_style, dpi);
  } else {
    ::AdjustWindowRectEx(&rect, style, menu, ex_style);
  }
  return {rect.right - rect.left, rect.bottom - rect.top};
}

}  // namespace kestrova
