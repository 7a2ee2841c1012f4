// The program's command line, the same on every system: `kestrova sift`,
// the help, the version and every usage error are answered here, without the
// window's libraries and without a display; anything else starts the window.
#ifndef KESTROVA_APP_COMMAND_LINE_H_
#define KESTROVA_APP_COMMAND_LINE_H_

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/sift_command.h"

namespace kestrova {

// Starts the window, with the FILE to open in it (its name as the bytes that
// were given), and returns the exit status.
using WindowStarter = std::function<int(const std::optional<std::string>& file)>;

// Runs the command line given after the program's name; returns the exit
// status. `start_window` runs only when the window is wanted.
int RunCommandLine(const std::vector<std::string>& args, const CommandStreams& streams,
                   const WindowStarter& start_window);

}  // namespace kestrova

#endif  // KESTROVA_APP_COMMAND_LINE_H_
