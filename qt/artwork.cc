#include "qt/artwork.h"

#include <QPainter>
#include <QPainterPath>
#include <vector>

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

// A kestrel's head over a sieve: the program's mark, on a 32 x 32 grid. One
// description serves the window icon, the About picture and the icons the
// desktop shows (PNG and SVG, made from it at build time).
struct MarkShape {
  enum class Kind { kEllipse, kPolygon, kLine } kind;
  QColor pen;
  QColor brush;                // none for a line
  std::vector<QPoint> points;  // ellipse: corner and size; line: its ends
};

const std::vector<MarkShape>& Mark() {
  static const std::vector<MarkShape> mark = [] {
    using Kind = MarkShape::Kind;
    std::vector<MarkShape> shapes = {{Kind::kEllipse, kBlack, kTeal, {{2, 14}, {28, 16}}}};
    for (int x = 6; x <= 26; x += 4)
      shapes.push_back({Kind::kLine, kSilver, {}, {{x, 16}, {x, 28}}});
    for (int y = 18; y <= 26; y += 4)
      shapes.push_back({Kind::kLine, kSilver, {}, {{4, y}, {28, y}}});
    shapes.push_back({Kind::kEllipse, kBlack, QColor(160, 82, 45), {{9, 2}, {14, 13}}});
    shapes.push_back({Kind::kPolygon, kBlack, kYellow, {{21, 8}, {27, 10}, {21, 12}}});
    shapes.push_back({Kind::kEllipse, kBlack, kBlack, {{16, 6}, {3, 3}}});
    return shapes;
  }();
  return mark;
}

void DrawMark(QPainter& p, int size) {
  p.save();
  p.scale(size / 32.0, size / 32.0);
  for (const MarkShape& shape : Mark()) {
    p.setPen(QPen(shape.pen, 1));
    p.setBrush(shape.brush.isValid() ? QBrush(shape.brush) : Qt::NoBrush);
    const std::vector<QPoint>& at = shape.points;
    switch (shape.kind) {
      case MarkShape::Kind::kEllipse:
        p.drawEllipse(QRect(at[0], QSize(at[1].x(), at[1].y())));
        break;
      case MarkShape::Kind::kPolygon:
        p.drawPolygon(QPolygon(QList<QPoint>(at.begin(), at.end())));
        break;
      case MarkShape::Kind::kLine:
        p.drawLine(at[0], at[1]);
        break;
    }
  }
  p.restore();
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

QImage MarkImage(int size) {
  QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter p(&image);
  // The two design sizes keep their crisp pixels; the others are smoothed.
  p.setRenderHint(QPainter::Antialiasing, size != 16 && size != 32);
  DrawMark(p, size);
  return image;
}

QString MarkSvg() {
  // Pixel centres, as the aliased drawing at 32 pixels hits them.
  auto at = [](double v) { return QString::number(v + 0.5); };
  QString svg =
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"32\" height=\"32\" "
      "viewBox=\"0 0 32 32\">\n";
  for (const MarkShape& shape : Mark()) {
    const QString stroke = " stroke=\"" + shape.pen.name() + "\" stroke-width=\"1\"";
    const QString fill = " fill=\"" + (shape.brush.isValid() ? shape.brush.name() : "none") + "\"";
    const std::vector<QPoint>& p = shape.points;
    switch (shape.kind) {
      case MarkShape::Kind::kEllipse:
        svg += "  <ellipse cx=\"" + at(p[0].x() + p[1].x() / 2.0) + "\" cy=\"" +
               at(p[0].y() + p[1].y() / 2.0) + "\" rx=\"" + QString::number(p[1].x() / 2.0) +
               "\" ry=\"" + QString::number(p[1].y() / 2.0) + "\"" + fill + stroke + "/>\n";
        break;
      case MarkShape::Kind::kPolygon: {
        QStringList corners;
        for (const QPoint& corner : p) corners << at(corner.x()) + "," + at(corner.y());
        svg += "  <polygon points=\"" + corners.join(' ') + "\"" + fill + stroke + "/>\n";
        break;
      }
      case MarkShape::Kind::kLine:
        svg += "  <line x1=\"" + at(p[0].x()) + "\" y1=\"" + at(p[0].y()) + "\" x2=\"" +
               at(p[1].x()) + "\" y2=\"" + at(p[1].y()) + "\"" + stroke + "/>\n";
        break;
    }
  }
  return svg + "</svg>\n";
}

QIcon MainWindowIcon() {
  QIcon icon;
  for (int size : kMarkSizes) icon.addPixmap(QPixmap::fromImage(MarkImage(size)));
  return icon;
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
