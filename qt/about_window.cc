#include "qt/about_window.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "qt/artwork.h"
#include "qt/button_keys.h"
#include "qt/tint_background.h"
#include "ui/window_layout.h"

namespace kestrova {
namespace {

// A control of the About window as designed.
template <typename W>
W* Place(W* widget, const char* name) {
  const ControlLayout& layout = FindControl(AboutWindowLayout(), name);
  widget->setObjectName(name);
  widget->setGeometry(ToQRect(layout.rect));
  if (layout.font_points > 0) widget->setFont(ClassicFont(layout.font_points, layout.bold));
  return widget;
}

QString TextOf(const char* name) {
  return QString::fromUtf8(FindControl(AboutWindowLayout(), name).text);
}

}  // namespace

AboutWindow::AboutWindow(const Canvas& canvas, QWidget* owner,
                         std::function<void()> on_close_button, std::function<void()> on_closed)
    : QDialog(owner),
      canvas_(canvas),
      on_close_button_(std::move(on_close_button)),
      on_closed_(std::move(on_closed)) {
  const WindowLayout& layout = AboutWindowLayout();
  setModal(false);
  setObjectName(layout.name);
  setWindowTitle(layout.caption);
  setWindowIcon(AboutWindowIcon());
  setFixedSize(Px(layout.client_width), Px(layout.client_height));
  setFont(ClassicFont(layout.font_points));

  auto* background = new TintBackground(canvas, this);
  background_ = background;
  background->setGeometry(rect());

  auto* image = Place(new QLabel(background), "Image2");
  image->setPixmap(AboutPicture());
  image->setScaledContents(true);
  image->setAccessibleName("Kestrova");

  Place(new QLabel(TextOf("Label1"), background), "Label1");

  auto* close = Place(new QPushButton(TextOf("Command1"), background), "Command1");
  connect(close, &QPushButton::clicked, this, [this] { on_close_button_(); });

  auto* rule = Place(new QFrame(background), "Frame1");
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  rule->setFocusPolicy(Qt::TabFocus);

  auto* credits = Place(new QListWidget(background), "List1");
  for (const char* line : AboutCredits()) credits->addItem(QString::fromUtf8(line));

  ShowTextsOverTint(background, this, layout, canvas);
  PressButtonsWithEnter(background);

  setTabOrder(close, rule);
  setTabOrder(rule, credits);
  setFocusProxy(close);
  close->setFocus();
}

void AboutWindow::CloseQuietly() {
  quiet_ = true;
  close();
}

void AboutWindow::reject() { on_close_button_(); }

void AboutWindow::changeEvent(QEvent* event) {
  const QEvent::Type type = event->type();
  if ((type == QEvent::PaletteChange || type == QEvent::ApplicationPaletteChange) && background_) {
    ShowTextsOverTint(background_, this, AboutWindowLayout(), canvas_);
  }
  QDialog::changeEvent(event);
}

void AboutWindow::closeEvent(QCloseEvent* event) {
  if (!quiet_ && on_closed_) on_closed_();
  event->accept();
}

}  // namespace kestrova
