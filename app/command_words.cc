#include "app/command_words.h"

#include "app/sift_command.h"
#include "base/spelling.h"
#include "base/text_codec.h"
#include "ui/platform.h"

namespace kestrova {
namespace {

// The word after `*i`, taken as an option's value, or null.
const std::string* NextWord(const std::vector<std::string>& args, size_t* i) {
  return *i + 1 < args.size() ? &args[++*i] : nullptr;
}

WordsAction Long(const std::vector<std::string>& args, size_t* i, const CommandWords& words,
                 std::string* error) {
  const std::string& arg = args[*i];
  const size_t equals = arg.find('=');
  const std::string name = arg.substr(0, equals);
  for (const std::string_view known : words.with_value) {
    if (name != known) continue;
    if (equals == std::string::npos) return words.value(name, NextWord(args, i), error);
    const std::string value = arg.substr(equals + 1);
    return words.value(name, &value, error);
  }
  bool* flag = nullptr;
  for (const auto& [known, set] : words.flags) {
    if (name == known) flag = set;
  }
  WordsAction action = WordsAction::kRun;
  if (name == "--help") action = WordsAction::kHelp;
  if (name == "--version") action = WordsAction::kVersion;
  if (!flag && action == WordsAction::kRun) {
    *error = "unknown option " + Quoted(name);
    const std::string_view nearest = NearestWord(name, words.known);
    if (!nearest.empty()) *error += "; did you mean " + Quoted(nearest) + "?";
    return WordsAction::kUsageError;
  }
  if (equals != std::string::npos) {
    *error = "option " + Quoted(name) + " takes no value";
    return WordsAction::kUsageError;
  }
  if (flag) *flag = true;
  return action;
}

WordsAction Short(const std::vector<std::string>& args, size_t* i, const CommandWords& words,
                  std::string* error) {
  const std::string& arg = args[*i];
  for (size_t j = 1; j < arg.size(); ++j) {
    switch (arg[j]) {
      case 'q':
        *words.quiet = true;
        break;
      case 'h':
        return WordsAction::kHelp;
      case 'v':
        return WordsAction::kVersion;
      case 'o': {
        if (j + 1 < arg.size()) {
          const std::string value = arg.substr(j + 1);
          return words.value("-o", &value, error);
        }
        return words.value("-o", NextWord(args, i), error);
      }
      default:
        *error = "unknown option " + Quoted(std::string("-") + arg[j]);
        return WordsAction::kUsageError;
    }
  }
  return WordsAction::kRun;
}

}  // namespace

WordsAction ReadCommandWords(const std::vector<std::string>& args, const CommandWords& words,
                             std::string* error) {
  bool options_done = false;
  bool stdin_given = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    WordsAction action = WordsAction::kRun;
    if (options_done || arg == "-" || arg.empty() || arg[0] != '-') {
      if (arg == "-" && stdin_given) {
        *error = "standard input (\"-\") can be read only once";
        return WordsAction::kUsageError;
      }
      stdin_given = stdin_given || arg == "-";
      words.inputs->push_back(arg);
    } else if (arg == "--") {
      options_done = true;
    } else if (arg[1] == '-') {
      action = Long(args, &i, words, error);
    } else {
      action = Short(args, &i, words, error);
    }
    if (action != WordsAction::kRun) return action;
  }
  return WordsAction::kRun;
}

std::optional<int> AnswerWords(WordsAction action, std::string_view command,
                               const std::string& error, std::string_view usage, ByteSink& output,
                               ByteSink& errors) {
  std::string ignored;
  const std::string name = "kestrova " + std::string(command);
  switch (action) {
    case WordsAction::kUsageError:
      errors.Write(name + ": " + error + "\nTry \"" + name + " --help\".\n", &ignored);
      return kExitUsage;
    case WordsAction::kHelp:
      output.Write(usage, &ignored);
      return kExitDone;
    case WordsAction::kVersion:
      output.Write(std::string(kAppTitle) + " " + kAppVersion + "\n", &ignored);
      return kExitDone;
    case WordsAction::kRun:
      break;
  }
  return std::nullopt;
}

std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  quoted += EntryForDisplay(text);
  quoted += '"';
  return quoted;
}

}  // namespace kestrova
