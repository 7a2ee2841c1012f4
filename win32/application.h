// The program's start on Windows: the window and its message loop, and how
// the window program reaches a console when it is asked for text.
#ifndef KESTROVA_WIN32_APPLICATION_H_
#define KESTROVA_WIN32_APPLICATION_H_

#include <windows.h>

#include <string>

namespace kestrova {

class MainWindow;

// Shows the main window (`show` as the program was started with), opens
// `file` once it stands when given, and runs until the program ends; returns
// the exit status.
int RunKestrovaWindow(const std::string& file, int show = SW_SHOWNORMAL);

// The program's message loop: the window's keys first, then the rest.
int RunMessageLoop(MainWindow& window);

// Standard output and error for the window program, which has no console
// of its own: redirected ones as they are, else the console of whoever
// started it. False when there is none (started from Explorer).
bool ReachParentConsole();

}  // namespace kestrova

#endif  // KESTROVA_WIN32_APPLICATION_H_
