// The program's pictures, described once: the toolbar's images, the mark
// (window icon, desktop icons, the Windows icon file), the About window's
// icon and picture. Every binding and the build-time icon maker draw them
// with the one rasterizer of ui/picture.h.
#ifndef KESTROVA_UI_ARTWORK_H_
#define KESTROVA_UI_ARTWORK_H_

#include <string>
#include <string_view>

#include "ui/picture.h"

namespace kestrova {

// The toolbar's 16 x 16 images by key: "Open", "Save", "Help"; any other key
// gives an empty picture.
Picture ToolbarPicture(std::string_view key);

// A kestrel's head over a sieve, on a 32 x 32 grid.
Picture MarkPicture();
// The same mark with fewer details (fewer wires in the sieve, a square eye),
// every point on a whole pixel of a `size` x `size` grid: at 16 to 32 px the
// full drawing scaled down reads as a blur.
Picture SmallMarkPicture(int size);
// The sizes the desktop asks for. Up to kLargestSmallMark they are drawn
// from the small mark without smoothing, to keep their pixels crisp; above,
// from the full mark, smoothed.
inline constexpr int kMarkSizes[] = {16, 24, 32, 48, 64, 128, 256};
inline constexpr int kLargestSmallMark = 32;
bool IsSmallMarkSize(int size);
Image MarkImage(int size);
// The mark as SVG, for the scalable icon; any picture the same way.
std::string MarkSvg();
std::string PictureSvg(const Picture& picture);

// The About window's own icon (16 x 16 grid) and its 70 x 70 picture.
Picture AboutIconPicture();
Picture AboutImagePicture();

}  // namespace kestrova

#endif  // KESTROVA_UI_ARTWORK_H_
