#include "qt/artwork.h"

#include <QPainter>
#include <QPainterPath>

namespace kestrova {
namespace {

// The classic 16-colour palette entries used below.
const QColor kBlack(0, 0, 0);
const QColor kNavy(0, 0, 128);
const QColor kTeal(0, 128, 128);
const QColor kOlive(128, 128, 0);
const QColor kYellow(255, 255, 0);
const QColor kSilver(192, 192, 192);
const QColor kWhite(255, 255, 255);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

QPixmap Blank(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

void DrawFolder(QPainter& p) {
  p.setPen(kBlack);
  p.setBrush(kOlive);
  p.drawPolygon(QPolygon({{1, 3}, {6, 3}, {7, 5}, {13, 5}, {13, 13}, {1, 13}}));
  p.setBrush(kYellow);
  p.drawPolygon(QPolygon({{3, 7}, {15, 7}, {13, 13}, {1, 13}}));
}

void DrawDisk(QPainter& p) {
  p.setPen(kBlack);
  p.setBrush(kNavy);
  p.drawRect(1, 1, 13, 13);
  p.setBrush(kWhite);
  p.drawRect(4, 1, 7, 5);
  p.setBrush(kSilver);
  p.drawRect(4, 9, 7, 5);
  p.fillRect(9, 2, 1, 3, kNavy);
}

void DrawQuestion(QPainter& p) {
  p.setPen(kBlack);
  p.setBrush(kYellow);
  p.drawEllipse(1, 1, 13, 13);
  QFont font;
  font.setPixelSize(11);
  font.setBold(true);
  p.setFont(font);
  p.setPen(kNavy);
  p.drawText(QRect(1, 1, 14, 14), Qt::AlignCenter, "?");
}

// A kestrel's head over a sieve: the program's mark.
void DrawMark(QPainter& p, int size) {
  p.scale(size / 32.0, size / 32.0);
  p.setPen(QPen(kBlack, 1));
  p.setBrush(kTeal);
  p.drawEllipse(2, 14, 28, 16);
  p.setPen(QPen(kSilver, 1));
  for (int x = 6; x <= 26; x += 4) p.drawLine(x, 16, x, 28);
  for (int y = 18; y <= 26; y += 4) p.drawLine(4, y, 28, y);
  p.setPen(kBlack);
  p.setBrush(QColor(160, 82, 45));
  p.drawEllipse(9, 2, 14, 13);
  p.setBrush(kYellow);
  p.drawPolygon(QPolygon({{21, 8}, {27, 10}, {21, 12}}));
  p.setBrush(kBlack);
  p.drawEllipse(16, 6, 3, 3);
}

// A window icon in the two classic sizes, drawn by `draw(painter, size)`.
template <typename Draw>
QIcon IconOfSizes(Draw draw) {
  QIcon icon;
  for (int size : {16, 32}) {
    QPixmap pixmap = Blank(size);
    QPainter p(&pixmap);
    draw(p, size);
    p.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace

QPixmap ToolbarImage(const QString& key) {
  QPixmap pixmap = Blank(16);
  QPainter p(&pixmap);
  if (key == "Open") DrawFolder(p);
  if (key == "Save") DrawDisk(p);
  if (key == "Help") DrawQuestion(p);
  return pixmap;
}

QIcon MainWindowIcon() {
  return IconOfSizes([](QPainter& p, int size) { DrawMark(p, size); });
}

QIcon AboutWindowIcon() {
  return IconOfSizes([](QPainter& p, int size) {
    p.scale(size / 16.0, size / 16.0);
    p.setPen(kBlack);
    p.setBrush(kBlue);
    p.drawEllipse(1, 1, 13, 13);
    p.fillRect(7, 6, 2, 6, kWhite);
    p.fillRect(7, 3, 2, 2, kWhite);
  });
}

QPixmap AboutPicture() {
  QPixmap pixmap(70, 70);
  pixmap.fill(kSilver);
  QPainter p(&pixmap);
  p.fillRect(0, 0, 70, 35, QColor(0, 128, 255));
  p.fillRect(0, 35, 70, 35, kOlive);
  p.setPen(kRed);
  p.setBrush(kYellow);
  p.drawEllipse(48, 6, 14, 14);
  p.translate(11, 14);
  DrawMark(p, 48);
  return pixmap;
}

}  // namespace kestrova
