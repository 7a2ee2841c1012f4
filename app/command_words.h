// The words after a command (`kestrova sift`, `kestrova check`), read as
// getopt_long reads them: options and INPUTs in any order, short options
// bundled ("-qo FILE"), a value joined or apart, "--" ending the options,
// "-" (standard input) once at most.
#ifndef KESTROVA_APP_COMMAND_WORDS_H_
#define KESTROVA_APP_COMMAND_WORDS_H_

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "os/file_io.h"

namespace kestrova {

enum class WordsAction { kRun, kHelp, kVersion, kUsageError };

struct CommandWords {
  // Long options that take a value; "-o" is "--output".
  std::vector<std::string_view> with_value;
  // Long options without one ("--quiet" among them), and what each sets.
  std::vector<std::pair<std::string_view, bool*>> flags;
  bool* quiet = nullptr;  // -q
  // Every option, in the order a tie for the nearest one is settled.
  std::vector<std::string_view> known;
  // Takes an option's value (null when it is missing), the option as
  // written: "-o" or "--output".
  std::function<WordsAction(const std::string& option, const std::string* value,
                            std::string* error)>
      value;
  std::vector<std::string>* inputs = nullptr;
};

WordsAction ReadCommandWords(const std::vector<std::string>& args, const CommandWords& words,
                             std::string* error);

// Help, the version and a usage error, answered alike by every command:
// the exit status, or nothing when the command is to run.
std::optional<int> AnswerWords(WordsAction action, std::string_view command,
                               const std::string& error, std::string_view usage, ByteSink& output,
                               ByteSink& errors);

// A word as messages show it, in quotes.
std::string Quoted(std::string_view text);

}  // namespace kestrova

#endif  // KESTROVA_APP_COMMAND_WORDS_H_
