#include "qt/artwork.h"

namespace kestrova {

QImage ToQImage(const Image& image) {
  return QImage(reinterpret_cast<const uchar*>(image.argb.data()), image.width, image.height,
                image.width * 4, QImage::Format_ARGB32)
      .copy();
}

QPixmap ToolbarImage(const QString& key) {
  return QPixmap::fromImage(ToQImage(Rasterize(ToolbarPicture(key.toStdString()), 16, false)));
}

QImage MarkQImage(int size) { return ToQImage(MarkImage(size)); }

QIcon MainWindowIcon() {
  QIcon icon;
  // The window system picks among these; the largest sizes are for the
  // desktop's own icon files.
  for (int size : {16, 24, 32, 48, 64}) icon.addPixmap(QPixmap::fromImage(MarkQImage(size)));
  return icon;
}

QIcon AboutWindowIcon() {
  QIcon icon;
  for (int size : {16, 32}) {
    icon.addPixmap(QPixmap::fromImage(ToQImage(Rasterize(AboutIconPicture(), size, false))));
  }
  return icon;
}

QPixmap AboutPicture() {
  return QPixmap::fromImage(ToQImage(Rasterize(AboutImagePicture(), 70, false)));
}

}  // namespace kestrova
