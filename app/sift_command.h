// `kestrova sift`: the window's cleaning without the window, for scripts.
#ifndef KESTROVA_APP_SIFT_COMMAND_H_
#define KESTROVA_APP_SIFT_COMMAND_H_

#include <string>
#include <vector>

#include "os/file_io.h"

namespace kestrova {

inline constexpr int kExitDone = 0;
inline constexpr int kExitFileFailed = 1;  // a file could not be read or written
inline constexpr int kExitUsage = 2;

struct CommandStreams {
  ByteSource& input;
  ByteSink& output;
  ByteSink& errors;
  bool errors_to_terminal = false;
};

// Runs `kestrova sift` with the words that follow "sift"; returns the exit
// status.
int RunSiftCommand(const std::vector<std::string>& args, const CommandStreams& streams);

// The same on the process's own standard streams.
int RunSiftCommand(const std::vector<std::string>& args);

}  // namespace kestrova

#endif  // KESTROVA_APP_SIFT_COMMAND_H_
