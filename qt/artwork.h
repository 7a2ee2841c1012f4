// The program's pictures (ui/artwork.h) as Qt images and icons.
#ifndef KESTROVA_QT_ARTWORK_H_
#define KESTROVA_QT_ARTWORK_H_

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

#include "ui/artwork.h"

namespace kestrova {

QImage ToQImage(const Image& image);

// The toolbar's image list: 16x16 images keyed "Open", "Save" and "Help".
QPixmap ToolbarImage(const QString& key);
QIcon MainWindowIcon();
QImage MarkQImage(int size);
QIcon AboutWindowIcon();
// The About window's 70x70 picture.
QPixmap AboutPicture();

}  // namespace kestrova

#endif  // KESTROVA_QT_ARTWORK_H_
