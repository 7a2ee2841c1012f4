// The window's start: the application object, the main window, the loop.
#ifndef KESTROVA_QT_APPLICATION_H_
#define KESTROVA_QT_APPLICATION_H_

#include <functional>
#include <optional>
#include <string>

namespace kestrova {

class MainWindow;

// Starts the window and returns its exit code. `program` is the name the
// program was started by. `file`, when given, is opened once the window
// stands, as File > Open of it would: its name is taken as the bytes given,
// whatever they are. `on_shown`, when given, runs once the main window has
// been shown (used to time the start). The command line has been read
// before: Qt sees none of it.
int RunKestrova(const char* program, const std::optional<std::string>& file,
                const std::function<void(MainWindow&)>& on_shown = {});

}  // namespace kestrova

#endif  // KESTROVA_QT_APPLICATION_H_
