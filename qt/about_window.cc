#include "qt/about_window.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "qt/artwork.h"
#include "qt/tint_background.h"

namespace kestrova {
namespace {

const char* const kCredits[21] = {
    "Kestrova v.1.0",
    "Очистка списков прокси",
    "",
    "Kestrova contributors:",
    "  разработка и сборка",
    "  проверка и отладка",
    "  оформление и значки",
    "",
    "Сделано на C++ и Qt 6",
    "Списки читаются и пишутся",
    "байт в байт, как в файле",
    "",
    "Связь с проектом:",
    "  трекер задач проекта",
    "  (раздел Issues)",
    "",
    "Спасибо всем, кто присылал",
    "списки и замечания",
    "",
    "Свободно для любого использования",
    "2026",
};

template <typename W>
W* Place(W* widget, const char* name, int left, int top, int width, int height) {
  widget->setObjectName(name);
  widget->setGeometry(TwipsRect(left, top, width, height));
  return widget;
}

}  // namespace

AboutWindow::AboutWindow(const Canvas& canvas, QWidget* owner,
                         std::function<void()> on_close_button, std::function<void()> on_closed)
    : QDialog(owner),
      on_close_button_(std::move(on_close_button)),
      on_closed_(std::move(on_closed)) {
  setModal(false);
  setObjectName("Form1");
  setWindowTitle("About");
  setWindowIcon(AboutWindowIcon());
  setFixedSize(Px(3495), Px(3840));
  setFont(ClassicFont(8.25));

  auto* background = new TintBackground(canvas, this);
  background->setGeometry(rect());

  auto* image = Place(new QLabel(background), "Image2", 120, 360, 1335, 1095);
  image->setPixmap(AboutPicture());
  image->setScaledContents(true);
  image->setAccessibleName("Kestrova");

  auto* title = Place(new QLabel("Kestrova v.1.0\n© contributors", background), "Label1", 1680, 600,
                      1935, 495);
  title->setFont(ClassicFont(9.75, true));

  auto* close = Place(new QPushButton("Закрыть", background), "Command1", 1800, 1320, 1335, 255);
  connect(close, &QPushButton::clicked, this, [this] { on_close_button_(); });

  auto* rule = Place(new QFrame(background), "Frame1", 0, 1920, 5655, 15);
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  rule->setFocusPolicy(Qt::TabFocus);

  auto* credits = Place(new QListWidget(background), "List1", 120, 2160, 3255, 1545);
  for (const char* line : kCredits) credits->addItem(QString::fromUtf8(line));

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

void AboutWindow::closeEvent(QCloseEvent* event) {
  if (!quiet_ && on_closed_) on_closed_();
  event->accept();
}

}  // namespace kestrova
