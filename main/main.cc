// Kestrova: cleans up lists of proxy server entries. "kestrova sift ..." runs
// the cleaning for scripts, without a window or a display; anything else
// starts the window.
#include "app/sift_command.h"
#include "os/file_io.h"
#include "qt/application.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args = kestrova::ProgramArguments(argc, argv);
  if (!args.empty() && args.front() == "sift") {
    return kestrova::RunSiftCommand(std::vector<std::string>(args.begin() + 1, args.end()));
  }
  return kestrova::RunKestrova(argc, argv);
}
