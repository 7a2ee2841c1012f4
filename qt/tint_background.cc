#include "qt/tint_background.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>

namespace kestrova {
namespace {

int DevicePixel(int twips, double ratio) {
  return static_cast<int>(std::floor(twips * ratio / kTwipsPerPixel));
}

}  // namespace

QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(Px(left), Px(top), Px(width), Px(height));
}

QFont ClassicFont(double points, bool bold) {
  QFont font;
  font.setFamilies({"MS Sans Serif", "Microsoft Sans Serif", "Arial", "Liberation Sans",
                    "Nimbus Sans", "DejaVu Sans"});
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

void RenderCanvas(const Canvas& canvas, QImage& image) {
  const double ratio = image.devicePixelRatio();
  const int width = image.width();
  const int height = image.height();
  QPainter painter;  // only for lines that are not horizontal
  for (const CanvasLine& line : canvas.Lines()) {
    const QRgb rgb = qRgb(line.color.red, line.color.green, line.color.blue);
    if (line.y1 == line.y2) {
      const int row = DevicePixel(line.y1, ratio);
      if (row < 0 || row >= height) continue;
      const int from = std::max(0, DevicePixel(std::min(line.x1, line.x2), ratio));
      const int to = std::min(width - 1, DevicePixel(std::max(line.x1, line.x2), ratio));
      auto* pixels = reinterpret_cast<QRgb*>(image.scanLine(row));
      std::fill(pixels + std::min(from, width), pixels + to + 1, rgb);
      continue;
    }
    if (!painter.isActive()) painter.begin(&image);
    painter.setPen(QPen(QColor(rgb), 0));
    painter.drawLine(QPointF(line.x1, line.y1) / kTwipsPerPixel,
                     QPointF(line.x2, line.y2) / kTwipsPerPixel);
  }
}

TintBackground::TintBackground(const Canvas& canvas, QWidget* parent)
    : QWidget(parent), canvas_(canvas) {}

const QImage& TintBackground::Image() {
  const double ratio = devicePixelRatioF();
  const QSize size = (QSizeF(this->size()) * ratio).toSize();
  if (image_.size() != size || image_.devicePixelRatio() != ratio ||
      image_revision_ != canvas_.Revision()) {
    image_ = QImage(size, QImage::Format_RGB32);
    image_.setDevicePixelRatio(ratio);
    image_.fill(palette().color(QPalette::Window));
    RenderCanvas(canvas_, image_);
    image_revision_ = canvas_.Revision();
  }
  return image_;
}

void TintBackground::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const QImage& image = Image();
  const double ratio = image.devicePixelRatio();
  const QRect area = event->rect();
  painter.drawImage(area, image, QRectF(area.topLeft() * ratio, QSizeF(area.size()) * ratio));
}

TintedFrame::TintedFrame(const QString& title, TintBackground* background, QWidget* parent)
    : QGroupBox(title, parent), background_(background) {}

void TintedFrame::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(this);
    const QImage& image = background_->Image();
    const double ratio = image.devicePixelRatio();
    const QPoint offset = mapTo(background_, QPoint(0, 0));
    painter.drawImage(rect(), image, QRectF(QPointF(offset) * ratio, QSizeF(size()) * ratio));
  }
  QGroupBox::paintEvent(event);
}

}  // namespace kestrova
