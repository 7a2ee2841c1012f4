// Kestrova: cleans up lists of proxy server entries. The command line is read
// here without Qt: "kestrova sift ...", the help, the version and usage
// errors need neither the window's libraries nor a display. Only the window
// loads them (main/window_loader.cc).
#include "app/command_line.h"
#include "main/window_loader.h"
#include "os/file_io.h"

int main(int argc, char** argv) {
  using namespace kestrova;
  InputFile input;
  input.OpenStandardInput();
  StandardSink output(StandardStream::kOutput);
  StandardSink errors(StandardStream::kError);
  const CommandStreams streams{input, output, errors, IsTerminal(StandardStream::kError)};
  const char* program = argc > 0 ? argv[0] : "kestrova";
  return RunCommandLine(
      ProgramArguments(argc, argv), streams,
      [&](const std::optional<std::string>& file) { return StartWindow(program, file, errors); });
}
