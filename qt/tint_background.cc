#include "qt/tint_background.h"

#include <QPaintEvent>
#include <QPainter>
#include <QStyleOptionGroupBox>
#include <QStylePainter>
#include <cmath>

#include "ui/contrast.h"

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
    image_.fill(QColor(kClassicFaceColor.red, kClassicFaceColor.green, kClassicFaceColor.blue));
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

void TintedFrame::SetCaptionColor(const QColor& color) {
  caption_color_ = color;
  update();
}

void TintedFrame::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  const QImage& image = background_->Image();
  const double ratio = image.devicePixelRatio();
  const QPoint offset = mapTo(background_, QPoint(0, 0));
  painter.drawImage(rect(), image, QRectF(QPointF(offset) * ratio, QSizeF(size()) * ratio));
  // As QGroupBox draws itself, with the caption in its own colour.
  QStyleOptionGroupBox option;
  initStyleOption(&option);
  if (caption_color_.isValid()) {
    option.textColor = caption_color_;
    option.palette.setColor(QPalette::WindowText, caption_color_);
  }
  painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

void ShowTextsOverTint(QWidget* root, const QWidget* theme_source, const WindowLayout& window,
                       const Canvas& canvas) {
  const QColor theme = theme_source->palette().color(QPalette::WindowText);
  const Rgb theme_text{theme.red(), theme.green(), theme.blue()};
  for (const TextOverTint& text : TextsOverTint(window)) {
    QWidget* widget = root->findChild<QWidget*>(text.control->name);
    if (!widget) continue;
    const Rgb c = TextColorOver(canvas, text.rect, kClassicFaceColor, theme_text);
    const QColor color(c.red, c.green, c.blue);
    if (auto* frame = dynamic_cast<TintedFrame*>(widget)) {
      frame->SetCaptionColor(color);
      continue;
    }
    QPalette palette = widget->palette();
    if (palette.color(QPalette::WindowText) == color &&
        palette.isBrushSet(QPalette::Active, QPalette::WindowText)) {
      continue;
    }
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
  }
}

}  // namespace kestrova
