#include "app/command_line.h"

#include "app/check_command.h"
#include "app/command_words.h"
#include "base/spelling.h"
#include "base/text_codec.h"
#include "os/file_io.h"
#include "ui/platform.h"

namespace kestrova {
namespace {

constexpr char kUsage[] =
    "Usage: kestrova [FILE]\n"
    "       kestrova sift [OPTIONS] [INPUT...] [-o OUTPUT]\n"
    "       kestrova check [OPTIONS] [INPUT...] [-o OUTPUT]\n"
    "\n"
    "Cleans up lists of proxy server entries (host:port lines).\n"
    "\n"
    "Without a command, opens the window, and then FILE in it, if given, as\n"
    "File > Open does. The window needs a display.\n"
    "\n"
    "Commands:\n"
    "  sift           clean lists from a script, without the window or a display\n"
    "                 (see kestrova sift --help)\n"
    "  check          find the entries that work as proxies, by protocol\n"
    "                 (see kestrova check --help)\n"
    "\n"
    "Options:\n"
    "  -h, --help     show this help and end\n"
    "  -v, --version  show the version and end\n"
    "  --             end of the options: the word after it is FILE, even when it\n"
    "                 begins with \"-\" or is the name of a command\n"
    "\n"
    "Exit status: 0 done; 1 the window could not start; 2 a usage error.\n";

// A word that can only have been meant as a command: no path would be
// written like this unless it named a file that is there. Options are told
// apart before a word gets here.
bool LooksLikeCommand(const std::string& word) {
  if (word.empty()) return false;
  for (char c : word) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_';
    if (!plain) return false;
  }
  return !PathExists(word);
}

int UsageError(const CommandStreams& streams, const std::string& text) {
  std::string ignored;
  streams.errors.Write("kestrova: " + text + "\nTry \"kestrova --help\".\n", &ignored);
  return kExitUsage;
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, const CommandStreams& streams,
                   const WindowStarter& start_window) {
  if (!args.empty() && args[0] == "sift") {
    return RunSiftCommand(std::vector<std::string>(args.begin() + 1, args.end()), streams);
  }
  if (!args.empty() && args[0] == "check") {
    return RunCheckCommand(std::vector<std::string>(args.begin() + 1, args.end()), streams);
  }
  std::vector<std::string> files;
  bool options_done = false;
  std::string ignored;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (!options_done && arg.size() > 1 && arg[0] == '-') {
      if (arg == "--") {
        options_done = true;
      } else if (arg == "-h" || arg == "--help") {
        streams.output.Write(kUsage, &ignored);
        return kExitDone;
      } else if (arg == "-v" || arg == "--version") {
        streams.output.Write(std::string(kAppTitle) + " " + kAppVersion + "\n", &ignored);
        return kExitDone;
      } else {
        std::string text = "unknown option " + Quoted(arg);
        const std::string_view nearest = NearestWord(arg, {"--help", "--version"});
        if (!nearest.empty()) text += "; did you mean " + Quoted(nearest) + "?";
        return UsageError(streams, text);
      }
      continue;
    }
    if (!options_done && arg == "-") {
      return UsageError(streams,
                        "the window opens a FILE, not standard input; to clean standard "
                        "input: kestrova sift");
    }
    if (i == 0 && LooksLikeCommand(arg)) {
      std::string text = "unknown command " + Quoted(arg) + ", and no file of that name";
      const std::string_view nearest = NearestWord(arg, {"sift", "check"});
      if (!nearest.empty()) text += "; did you mean " + Quoted(nearest) + "?";
      return UsageError(streams, text);
    }
    files.push_back(arg);
  }
  if (files.size() > 1) {
    return UsageError(streams,
                      "the window opens one FILE at most, not " + std::to_string(files.size()));
  }
  if (files.empty()) return start_window(std::nullopt);
  return start_window(files[0]);
}

}  // namespace kestrova
