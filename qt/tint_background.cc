#include "qt/tint_background.h"

#include <QPaintEvent>
#include <QPainter>
#include <cmath>

namespace kestrova {

QRect ToQRect(const TwipsRect& rect) {
  return QRect(Px(rect.left), Px(rect.top), Px(rect.width), Px(rect.height));
}

QFont ClassicFont(double points, bool bold) {
  QFont font;
  QStringList faces;
  for (const char* face : kClassicFontFaces) faces << face;
  font.setFamilies(faces);
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

void RenderCanvas(const Canvas& canvas, QImage& image) {
  const PixelView view{reinterpret_cast<std::uint32_t*>(image.bits()), image.width(),
                       image.height(), image.bytesPerLine() / 4};
  RenderCanvas(canvas, view, 96 * image.devicePixelRatio());
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
