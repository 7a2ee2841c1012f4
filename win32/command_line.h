// What Kestrova's command line asks for on Windows: `kestrova sift ...`, the
// help, the version, a usage mistake, or the window with an optional FILE.
#ifndef KESTROVA_WIN32_COMMAND_LINE_H_
#define KESTROVA_WIN32_COMMAND_LINE_H_

#include <string>
#include <vector>

#include "os/file_io.h"

namespace kestrova {

struct StartRequest {
  bool window = false;  // start the window
  std::string file;     // a list file it opens first, when not empty
  int status = 0;       // the exit status when there is no window
};

// Runs what needs no window through the command line every system shares
// (app/command_line.h): `sift` on standard input and these two sinks, help
// and the version to `output`, mistakes to `errors` with status 2. Or says
// to start the window. "/?" asks for the help too.
StartRequest HandleCommandLine(const std::vector<std::string>& args, ByteSink& output,
                               ByteSink& errors);

// One argument quoted so that CommandLineToArgvW gives it back unchanged.
std::wstring QuoteArgument(const std::wstring& arg);

// Starts kestrova.exe from beside the running program (the console
// companion kestrova.com) on `file`, without waiting for it. Says why on
// `errors` when it cannot; returns the exit status.
int StartWindowBeside(const std::string& file, ByteSink& errors);

}  // namespace kestrova

#endif  // KESTROVA_WIN32_COMMAND_LINE_H_
