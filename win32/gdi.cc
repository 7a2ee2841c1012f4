#include "win32/gdi.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

#include "ui/window_layout.h"
#include "win32/dpi.h"
#include "win32/wide_text.h"

namespace kestrova {
namespace {

struct FaceSearch {
  bool found = false;
  bool scalable = false;
};

int CALLBACK NoteFace(const LOGFONTW*, const TEXTMETRICW*, DWORD type, LPARAM data) {
  auto* search = reinterpret_cast<FaceSearch*>(data);
  search->found = true;
  search->scalable = search->scalable || (type & RASTER_FONTTYPE) == 0;
  return 1;
}

// The classic face or its TrueType successor, the first that has Cyrillic
// letters (and scales, when asked to), else the system's own dialog face.
// The rest of the classic list stands in on desktops other than Windows.
std::wstring ClassicFace(bool need_scalable) {
  const HDC screen = ::GetDC(nullptr);
  std::wstring chosen = L"MS Shell Dlg 2";
  for (const char* face : std::span(kClassicFontFaces).first(2)) {
    LOGFONTW query{};
    query.lfCharSet = RUSSIAN_CHARSET;
    const std::wstring name = Widen(face);
    name.copy(query.lfFaceName, LF_FACESIZE - 1);
    FaceSearch search;
    ::EnumFontFamiliesExW(screen, &query, NoteFace, reinterpret_cast<LPARAM>(&search), 0);
    if (search.found && (search.scalable || !need_scalable)) {
      chosen = name;
      break;
    }
  }
  ::ReleaseDC(nullptr, screen);
  return chosen;
}

std::uint8_t Channel(std::uint32_t pixel, int shift) {
  return static_cast<std::uint8_t>(pixel >> shift & 0xff);
}

std::wstring& FaceInstead() {
  static std::wstring face;
  return face;
}

}  // namespace

void UseFaceInstead(const std::wstring& face) { FaceInstead() = face; }

HFONT CreateClassicFont(double points, bool bold, UINT dpi) {
  static const std::wstring bitmap_face = ClassicFace(false);
  static const std::wstring scalable_face = ClassicFace(true);
  const std::wstring& face = !FaceInstead().empty() ? FaceInstead()
                             : dpi == kDefaultDpi   ? bitmap_face
                                                    : scalable_face;
  LOGFONTW font{};
  font.lfHeight = -static_cast<LONG>(std::lround(points * dpi / 72.0));
  font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  font.lfCharSet = RUSSIAN_CHARSET;
  font.lfQuality = DEFAULT_QUALITY;
  face.copy(font.lfFaceName, LF_FACESIZE - 1);
  return ::CreateFontIndirectW(&font);
}

HICON IconFromImage(const Image& image) {
  BITMAPV5HEADER header{};
  header.bV5Size = sizeof header;
  header.bV5Width = image.width;
  header.bV5Height = -image.height;
  header.bV5Planes = 1;
  header.bV5BitCount = 32;
  header.bV5Compression = BI_BITFIELDS;
  header.bV5RedMask = 0x00ff0000;
  header.bV5GreenMask = 0x0000ff00;
  header.bV5BlueMask = 0x000000ff;
  header.bV5AlphaMask = 0xff000000;
  void* bits = nullptr;
  const HDC screen = ::GetDC(nullptr);
  const HBITMAP color = ::CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                           DIB_RGB_COLORS, &bits, nullptr, 0);
  ::ReleaseDC(nullptr, screen);
  if (!color) return nullptr;
  std::copy(image.argb.begin(), image.argb.end(), static_cast<std::uint32_t*>(bits));
  // The alpha channel decides; the mask only has to exist.
  std::vector<std::uint8_t> mask_bits(
      static_cast<size_t>((image.width + 15) / 16 * 2) * image.height, 0);
  const HBITMAP mask = ::CreateBitmap(image.width, image.height, 1, 1, mask_bits.data());
  ICONINFO info{TRUE, 0, 0, mask, color};
  const HICON icon = ::CreateIconIndirect(&info);
  ::DeleteObject(mask);
  ::DeleteObject(color);
  return icon;
}

PixelBuffer::~PixelBuffer() { Release(); }

void PixelBuffer::Release() {
  if (dc_) {
    ::SelectObject(dc_, old_bitmap_);
    ::DeleteDC(dc_);
  }
  if (bitmap_) ::DeleteObject(bitmap_);
  dc_ = nullptr;
  bitmap_ = nullptr;
  pixels_ = nullptr;
  width_ = height_ = 0;
}

bool PixelBuffer::Resize(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  if (bitmap_ && width == width_ && height == height_) return true;
  Release();
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down, as RenderCanvas writes rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_ = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap_) return false;
  dc_ = ::CreateCompatibleDC(nullptr);
  old_bitmap_ = ::SelectObject(dc_, bitmap_);
  pixels_ = static_cast<std::uint32_t*>(bits);
  width_ = width;
  height_ = height;
  return true;
}

void PixelBuffer::Fill(COLORREF color) {
  if (!pixels_) return;
  const std::uint32_t pixel = 0xff000000u | static_cast<std::uint32_t>(GetRValue(color)) << 16 |
                              static_cast<std::uint32_t>(GetGValue(color)) << 8 | GetBValue(color);
  ::GdiFlush();
  std::fill(pixels_, pixels_ + static_cast<size_t>(width_) * height_, pixel);
}

void PixelBuffer::CopyTo(HDC target, const RECT& area, POINT offset) const {
  if (!dc_) return;
  ::BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, dc_,
           area.left + offset.x, area.top + offset.y, SRCCOPY);
}

LRESULT PixelBuffer::Paint(HWND window, UINT message, WPARAM wparam) const {
  if (message == WM_ERASEBKGND) return 1;  // WM_PAINT covers everything from the buffer
  if (message == WM_PRINTCLIENT) {
    RECT client;
    ::GetClientRect(window, &client);
    CopyTo(reinterpret_cast<HDC>(wparam), client);
    return 0;
  }
  PAINTSTRUCT paint;
  const HDC dc = ::BeginPaint(window, &paint);
  CopyTo(dc, paint.rcPaint);
  ::EndPaint(window, &paint);
  return 0;
}

void DrawImage(PixelView view, const RECT& rect, const Image& image) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  if (width <= 0 || height <= 0 || image.width <= 0 || image.height <= 0) return;
  for (int y = std::max<int>(0, rect.top); y < std::min<int>(view.height, rect.bottom); ++y) {
    const int source_y = (y - rect.top) * image.height / height;
    for (int x = std::max<int>(0, rect.left); x < std::min<int>(view.width, rect.right); ++x) {
      const std::uint32_t source = image.At((x - rect.left) * image.width / width, source_y);
      const int alpha = Channel(source, 24);
      std::uint32_t& target = view.pixels[y * view.stride + x];
      auto mix = [&](int shift) {
        return static_cast<std::uint32_t>(
                   (Channel(source, shift) * alpha + Channel(target, shift) * (255 - alpha) + 127) /
                   255)
               << shift;
      };
      target = 0xff000000u | mix(16) | mix(8) | mix(0);
    }
  }
}

}  // namespace kestrova
