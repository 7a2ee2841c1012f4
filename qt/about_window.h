// The About window: credits over its own fixed gradient. A modeless dialog,
// so screen readers announce it as one.
#ifndef KESTROVA_QT_ABOUT_WINDOW_H_
#define KESTROVA_QT_ABOUT_WINDOW_H_

#include <QDialog>
#include <functional>

#include "ui/canvas.h"

namespace kestrova {

class AboutWindow : public QDialog {
 public:
  // `on_close_button` runs for "Закрыть"; `on_closed` when the user closes
  // the window through its title bar.
  AboutWindow(const Canvas& canvas, QWidget* owner, std::function<void()> on_close_button,
              std::function<void()> on_closed);
  // Closes the window without reporting it as the user's close.
  void CloseQuietly();
  // Escape hides the window, as "Закрыть" does.
  void reject() override;

 protected:
  void changeEvent(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  const Canvas& canvas_;
  QWidget* background_ = nullptr;
  std::function<void()> on_close_button_;
  std::function<void()> on_closed_;
  bool quiet_ = false;
};

}  // namespace kestrova

#endif  // KESTROVA_QT_ABOUT_WINDOW_H_
