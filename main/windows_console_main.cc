// kestrova.com, the console companion of kestrova.exe. In cmd.exe and
// PowerShell "kestrova" finds it first (.COM comes before .EXE), so
// `kestrova sift ...` runs here with the real standard streams and exit
// status, while `kestrova [FILE]` starts the window program beside it.
#include "os/file_io.h"
#include "win32/command_line.h"

int wmain() {
  const std::vector<std::string> args = kestrova::ProgramArguments(0, nullptr);
  kestrova::StandardSink output(kestrova::StandardStream::kOutput);
  kestrova::StandardSink errors(kestrova::StandardStream::kError);
  const kestrova::StartRequest request = kestrova::HandleCommandLine(args, output, errors);
  if (!request.window) return request.status;
  return kestrova::StartWindowBeside(request.file, errors);
}
