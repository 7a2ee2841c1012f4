// A window's client area that shows the lines drawn on its canvas, again
// after every redraw, resize or uncovering, sharp at any pixel ratio.
#ifndef KESTROVA_QT_TINT_BACKGROUND_H_
#define KESTROVA_QT_TINT_BACKGROUND_H_

#include <QColor>
#include <QGroupBox>
#include <QImage>
#include <QWidget>

#include "ui/canvas.h"
#include "ui/window_layout.h"

namespace kestrova {

// Twips to logical pixels.
inline int Px(int twips) { return TwipsToPixels(twips); }
QRect ToQRect(const TwipsRect& rect);

// The windows' font: MS Sans Serif where it exists, else a close sans.
QFont ClassicFont(double points, bool bold = false);

// Draws the canvas lines into `image` (device pixels), over what it holds.
void RenderCanvas(const Canvas& canvas, QImage& image);

class TintBackground : public QWidget {
 public:
  TintBackground(const Canvas& canvas, QWidget* parent = nullptr);
  // The background as painted, in device pixels; brought up to date first.
  const QImage& Image();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const Canvas& canvas_;
  QImage image_;
  std::uint64_t image_revision_ = ~std::uint64_t{0};
};

// A group box that lets its window's painted background show through, while
// still covering whatever lies under it.
class TintedFrame : public QGroupBox {
 public:
  TintedFrame(const QString& title, TintBackground* background, QWidget* parent);
  // The caption's colour, apart from the palette the controls inside inherit.
  void SetCaptionColor(const QColor& color);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TintBackground* background_;
  QColor caption_color_;
};

// Gives each text that `window` draws over its tint (labels, check boxes,
// frame captions, found by name under `root`) the colour that reads best
// over the tint behind it; run again whenever the canvas or the theme
// changes.
void ShowTextsOverTint(QWidget* root, const QWidget* theme_source, const WindowLayout& window,
                       const Canvas& canvas);

}  // namespace kestrova

#endif  // KESTROVA_QT_TINT_BACKGROUND_H_
