// Dots per inch of windows and screens. The program is aware of each
// monitor's DPI (its manifest says so); the calls that tell a window's own
// DPI arrived with Windows 10, so they are looked up at run time and older
// systems get the one DPI of the whole desktop.
#ifndef KESTROVA_WIN32_DPI_H_
#define KESTROVA_WIN32_DPI_H_

#include <windows.h>

namespace kestrova {

inline constexpr UINT kDefaultDpi = 96;

// The DPI of the desktop as a whole (the primary screen's at sign-in):
// the scale of screen positions kept in twips.
UINT SystemDpi();
UINT WindowDpi(HWND window);
UINT MonitorDpi(HMONITOR monitor);

// GetSystemMetrics at `dpi`.
int MetricForDpi(int index, UINT dpi);
// The outer size of a window whose client area is `client` at `dpi`.
SIZE OuterSizeForClient(SIZE client, DWORD style, DWORD ex_style, bool menu, UINT dpi);

}  // namespace kestrova

#endif  // KESTROVA_WIN32_DPI_H_
