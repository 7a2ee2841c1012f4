#include "qt/button_keys.h"

#include <QKeyEvent>
#include <QPushButton>

namespace kestrova {
namespace {

class EnterPresses : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers others = key->modifiers() & ~Qt::KeypadModifier;
    auto* button = qobject_cast<QPushButton*>(watched);
    if (!enter || others != Qt::NoModifier || !button || !button->hasFocus()) return false;
    button->click();
    return true;
  }
};

}  // namespace

void PressButtonsWithEnter(QWidget* root) {
  auto* filter = new EnterPresses(root);
  for (QPushButton* button : root->findChildren<QPushButton*>()) {
    button->installEventFilter(filter);
  }
}

}  // namespace kestrova
