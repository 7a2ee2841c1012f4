// Enter and Space press a focused button, in every window, as on the desktop
// the program comes from. Qt gives Space everywhere but Enter only in
// dialogs.
#ifndef KESTROVA_QT_BUTTON_KEYS_H_
#define KESTROVA_QT_BUTTON_KEYS_H_

class QWidget;

namespace kestrova {

// Makes Enter (either Return key) press every push button under `root`
// while it has the focus.
void PressButtonsWithEnter(QWidget* root);

}  // namespace kestrova

#endif  // KESTROVA_QT_BUTTON_KEYS_H_
