// kestrova.exe, the window program for Windows: started from Explorer, the
// Start menu or "Open with", it shows the window (on FILE, when given) and
// never a console. Asked for help, the version or `sift` from a console, it
// answers there; from nowhere, in a message box.
#include <windows.h>

#include "os/file_io.h"
#include "ui/platform.h"
#include "win32/application.h"
#include "win32/command_line.h"
#include "win32/wide_text.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  const std::vector<std::string> args = kestrova::ProgramArguments(0, nullptr);
  // `sift` reads and writes the standard streams as it goes.
  const bool console = !args.empty() && args.front() == "sift" && kestrova::ReachParentConsole();
  if (console) {
    // Lists of any size stream through; nothing waits in memory.
    kestrova::StandardSink output(kestrova::StandardStream::kOutput);
    kestrova::StandardSink errors(kestrova::StandardStream::kError);
    return kestrova::HandleCommandLine(args, output, errors).status;
  }
  kestrova::MemorySink output;
  kestrova::MemorySink errors;
  const kestrova::StartRequest request = kestrova::HandleCommandLine(args, output, errors);
  if (request.window) return kestrova::RunKestrovaWindow(request.file, show);
  const std::string text = output.bytes + errors.bytes;
  if (text.empty()) return request.status;
  if (kestrova::ReachParentConsole()) {
    std::string ignored;
    kestrova::StandardSink(kestrova::StandardStream::kOutput).Write(output.bytes, &ignored);
    kestrova::StandardSink(kestrova::StandardStream::kError).Write(errors.bytes, &ignored);
  } else {
    ::MessageBoxW(nullptr, kestrova::Widen(text).c_str(),
                  kestrova::Widen(kestrova::kAppTitle).c_str(),
                  MB_OK | (request.status ? MB_ICONWARNING : MB_ICONINFORMATION));
  }
  return request.status;
}
