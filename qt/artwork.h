// Pictures drawn in code, in the 16-colour style of the toolbar era.
#ifndef KESTROVA_QT_ARTWORK_H_
#define KESTROVA_QT_ARTWORK_H_

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

namespace kestrova {

// The toolbar's image list: 16x16 images keyed "Open", "Save" and "Help".
QPixmap ToolbarImage(const QString& key);
QIcon MainWindowIcon();

// The program's mark at the sizes the desktop asks for, and as SVG: the
// window icon and the icons installed for the desktop are all made from it.
inline constexpr int kMarkSizes[] = {16, 24, 32, 48, 64, 128, 256};
QImage MarkImage(int size);
QString MarkSvg();
QIcon AboutWindowIcon();
// The About window's 70x70 picture.
QPixmap AboutPicture();

}  // namespace kestrova

#endif  // KESTROVA_QT_ARTWORK_H_
