// `kestrova check`: which entries of a list really work, and by which
// protocol.
#ifndef KESTROVA_APP_CHECK_COMMAND_H_
#define KESTROVA_APP_CHECK_COMMAND_H_

#include <string>
#include <vector>

#include "app/sift_command.h"

namespace kestrova {

inline constexpr int kExitInterrupted = 130;

// Runs `kestrova check` with the words that follow "check"; returns the
// exit status.
int RunCheckCommand(const std::vector<std::string>& args, const CommandStreams& streams);

}  // namespace kestrova

#endif  // KESTROVA_APP_CHECK_COMMAND_H_
