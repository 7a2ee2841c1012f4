// GDI things both windows need: their fonts at a DPI, icons from the
// program's pictures, and pixel buffers that back a painted background.
#ifndef KESTROVA_WIN32_GDI_H_
#define KESTROVA_WIN32_GDI_H_

#include <windows.h>

#include <string>

#include "ui/canvas.h"
#include "ui/picture.h"

namespace kestrova {

// The windows' font (MS Sans Serif where it exists with Cyrillic letters,
// else the closest face that does) at `points` and `dpi`. A bitmap face is
// taken at 96 DPI only, where it was drawn for; elsewhere a scalable one.
HFONT CreateClassicFont(double points, bool bold, UINT dpi);
// From now on CreateClassicFont takes `face` instead ("" for the classic
// face again): the windows' tests lay them out with the faces other
// Windows versions give their dialogs (Tahoma, Segoe UI).
void UseFaceInstead(const std::wstring& face);

// An icon from a picture's pixels; the caller destroys it.
HICON IconFromImage(const Image& image);

// A top-down 32-bit DIB section with its own memory DC: the pixels of a
// window's background, painted once and copied to the screen on each redraw.
class PixelBuffer {
 public:
  PixelBuffer() = default;
  PixelBuffer(const PixelBuffer&) = delete;
  PixelBuffer& operator=(const PixelBuffer&) = delete;
  ~PixelBuffer();

  // Makes it `width` x `height`; false when the system has no memory for it.
  bool Resize(int width, int height);
  int width() const { return width_; }
  int height() const { return height_; }
  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }
  PixelView view() const { return {pixels_, width_, height_, width_}; }
  void Fill(COLORREF color);
  // Copies `area` of the buffer, moved by `offset`, to the same place in `dc`.
  void CopyTo(HDC target, const RECT& area, POINT offset = {0, 0}) const;
  // The answer to WM_ERASEBKGND, WM_PAINT or WM_PRINTCLIENT for `window`,
  // whose client area the buffer covers.
  LRESULT Paint(HWND window, UINT message, WPARAM wparam) const;

 private:
  void Release();

  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_bitmap_ = nullptr;
  std::uint32_t* pixels_ = nullptr;
  int width_ = 0;
  int height_ = 0;
};

// Draws `image` stretched over `rect` of `view` (nearest pixel), blending
// its straight alpha over what the view holds.
void DrawImage(PixelView view, const RECT& rect, const Image& image);

}  // namespace kestrova

#endif  // KESTROVA_WIN32_GDI_H_
