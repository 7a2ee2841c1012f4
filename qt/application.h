// The program's start: the application object, the main window, the loop.
#ifndef KESTROVA_QT_APPLICATION_H_
#define KESTROVA_QT_APPLICATION_H_

#include <functional>

namespace kestrova {

class MainWindow;

// Starts Kestrova and returns its exit code. `on_shown`, when given, runs
// once the main window has been shown (used to time the start).
int RunKestrova(int argc, char** argv, const std::function<void(MainWindow&)>& on_shown = {});

}  // namespace kestrova

#endif  // KESTROVA_QT_APPLICATION_H_
