#include "app/sift_command.h"

#include <optional>

#include "base/text_codec.h"
#include "options/options_file.h"
#include "os/line_reader.h"
#include "sift/sift_stream.h"
#include "ui/ui_model.h"

namespace kestrova {
namespace {

constexpr char kUsage[] =
    "Usage: kestrova sift [OPTIONS] [INPUT] [-o OUTPUT]\n"
    "\n"
    "Cleans a proxy list with the rules of the window's \"Отсеить\", without the window:\n"
    "reads INPUT line by line as File > Open does (standard input when INPUT is missing\n"
    "or \"-\"), keeps the numeric entries a.b.c.d:port and the host names with \"www.\",\n"
    "each cut to its host:port part, and writes them as File > Save writes a list: one\n"
    "per line, each ended by CR LF, to OUTPUT (standard output when it is missing or\n"
    "\"-\"). A list with no entry left is written as one empty line, as the window\n"
    "saves an empty list. There is no limit on the number of lines.\n"
    "\n"
    "Options (each is a switch of the window's options panel):\n"
    "  --only-entries       read only lines that look like entries (\"Считывать\n"
    "                       элементы похожие на Proxy\")\n"
    "  --drop-host-names    drop the host-name entries (\"Отсеевать текстовые Proxy\")\n"
    "  --only-www           keep only entries that begin with \"www.\" (\"Отсеевать\n"
    "                       числовый Proxy\")\n"
    "  --drop-repeats       drop repeated entries, keeping the first (\"Отсеевать\n"
    "                       одинаковые Proxy\")\n"
    "  --use-saved-options  take the four switches from the options file the window\n"
    "                       saves with \"Применить\"; switches given here are added\n"
    "  --lf                 end lines with LF instead of CR LF\n"
    "  -o, --output FILE    write to FILE; it is replaced whole, and only when all went\n"
    "                       well: after a failure the old FILE is left as it was\n"
    "  -q, --quiet          no summary (and no progress) on standard error\n"
    "  -h, --help           show this help and end\n"
    "\n"
    "Exit status: 0 done, 1 a file could not be read or written, 2 a usage error.\n";

constexpr long long kProgressFromBytes = 32ll << 20;

struct Request {
  bool help = false;
  StreamSwitches switches;
  bool use_saved_options = false;
  bool quiet = false;
  std::string input = "-";
  std::string output = "-";
};

// The request, or nothing after writing what is wrong to `error`.
std::optional<Request> Parse(const std::vector<std::string>& args, std::string* error) {
  Request request;
  bool input_given = false;
  bool options_done = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (options_done || arg == "-" || arg.empty() || arg[0] != '-') {
      if (input_given) {
        *error = "more than one INPUT (\"" + request.input + "\", \"" + arg + "\")";
        return std::nullopt;
      }
      request.input = arg;
      input_given = true;
    } else if (arg == "--") {
      options_done = true;
    } else if (arg == "-h" || arg == "--help") {
      request.help = true;
    } else if (arg == "-q" || arg == "--quiet") {
      request.quiet = true;
    } else if (arg == "--only-entries") {
      request.switches.only_entries = true;
    } else if (arg == "--drop-host-names") {
      request.switches.scan.drop_host_names = true;
    } else if (arg == "--only-www") {
      request.switches.scan.only_www = true;
    } else if (arg == "--drop-repeats") {
      request.switches.drop_repeats = true;
    } else if (arg == "--use-saved-options") {
      request.use_saved_options = true;
    } else if (arg == "--lf") {
      request.switches.line_end = "\n";
    } else if (arg == "-o" || arg == "--output") {
      if (i + 1 == args.size()) {
        *error = "\"" + arg + "\" needs a file name";
        return std::nullopt;
      }
      request.output = args[++i];
    } else if (arg.rfind("--output=", 0) == 0) {
      request.output = arg.substr(9);
    } else {
      *error = "unknown option \"" + arg + "\"";
      return std::nullopt;
    }
  }
  return request;
}

class Reporter {
 public:
  explicit Reporter(const CommandStreams& streams) : streams_(streams) {}
  void Say(const std::string& text) {
    std::string ignored;
    streams_.errors.Write("kestrova sift: " + text + "\n", &ignored);
  }
  // A line that the next one overwrites, on a terminal.
  void Progress(long long done, long long total) {
    const int percent = static_cast<int>(done * 100 / total);
    if (percent == shown_percent_) return;
    shown_percent_ = percent;
    std::string ignored;
    streams_.errors.Write("\rkestrova sift: " + std::to_string(percent) + "% of " +
                              std::to_string(total >> 20) + " MiB",
                          &ignored);
  }
  void EndProgress() {
    if (shown_percent_ < 0) return;
    std::string ignored;
    streams_.errors.Write("\r" + std::string(40, ' ') + "\r", &ignored);
  }

 private:
  const CommandStreams& streams_;
  int shown_percent_ = -1;
};

// How a file is named in a message; "-" is a standard stream.
std::string Named(const std::string& path, const char* standard_stream) {
  if (path == "-") return standard_stream;
  std::string text = "\"";
  text += EntryForDisplay(path);
  text += '"';
  return text;
}

// The window's switches, as saved by "Применить" and read at its start.
void AddSavedOptions(StreamSwitches& switches, Reporter& reporter) {
  const std::string path = OptionsFileToRead(UserOptionsFilePath());
  MainWindowModel saved;
  if (!ReadOptionsFile(saved, path)) {
    // The window starts the same way: with what could be read, else all off.
    reporter.Say("the saved options " + Named(path, "") +
                 " could not be read whole; the switches read before that apply, as in the "
                 "window");
  }
  switches.only_entries = switches.only_entries || saved.check1 == 1;
  switches.scan.drop_host_names = switches.scan.drop_host_names || saved.check2 == 1;
  switches.scan.only_www = switches.scan.only_www || saved.check3 == 1;
  switches.drop_repeats = switches.drop_repeats || saved.check4 == 1;
}

}  // namespace

int RunSiftCommand(const std::vector<std::string>& args, const CommandStreams& streams) {
  Reporter reporter(streams);
  std::string error;
  std::optional<Request> request = Parse(args, &error);
  if (!request) {
    reporter.Say(error + "\nTry \"kestrova sift --help\".");
    return kExitUsage;
  }
  if (request->help) {
    std::string ignored;
    streams.output.Write(kUsage, &ignored);
    return kExitDone;
  }
  if (request->use_saved_options) AddSavedOptions(request->switches, reporter);

  InputFile file;
  ByteSource* input = &streams.input;
  if (request->input != "-") {
    // A script may hand over a pipe (a process substitution) and wait on it.
    if (!file.Open(request->input, InputFile::Accept::kStreamsToo, &error)) {
      reporter.Say("cannot read " + Named(request->input, "") + ": " + error);
      return kExitFileFailed;
    }
    input = &file;
  }
  FileReplacement replacement;
  ByteSink* output = &streams.output;
  const bool to_file = request->output != "-";
  if (to_file) {
    if (!replacement.Begin(request->output, &error)) {
      reporter.Say("cannot write " + Named(request->output, "") + ": " + error);
      return kExitFileFailed;
    }
    output = &replacement;
  }

  const long long total = input->Size();
  std::function<void(long long)> progress;
  if (streams.errors_to_terminal && !request->quiet && total > kProgressFromBytes) {
    progress = [&](long long done) { reporter.Progress(done, total); };
  }
  LineReader reader(*input);
  StreamCounts counts;
  const StreamResult result =
      SiftStream(reader, *output, request->switches, &counts, &error, progress);
  reporter.EndProgress();
  file.Close();
  const std::string output_name = Named(request->output, "standard output");
  const std::string unchanged = to_file ? "; " + output_name + " was not changed" : "";
  if (result == StreamResult::kReadFailed) {
    reporter.Say("reading stopped in " + Named(request->input, "standard input") + ": " + error +
                 unchanged);
    return kExitFileFailed;
  }
  if (result == StreamResult::kWriteFailed || (to_file && !replacement.Commit(&error))) {
    reporter.Say("cannot write " + output_name + ": " + error + unchanged);
    return kExitFileFailed;
  }
  if (!request->quiet) {
    reporter.Say(std::to_string(counts.lines) + " lines read, " + std::to_string(counts.kept) +
                 " entries kept, " + std::to_string(counts.repeats) + " repeats dropped");
  }
  return kExitDone;
}

int RunSiftCommand(const std::vector<std::string>& args) {
  InputFile input;
  input.OpenStandardInput();
  StandardSink output(StandardStream::kOutput);
  StandardSink errors(StandardStream::kError);
  return RunSiftCommand(args, {input, output, errors, IsTerminal(StandardStream::kError)});
}

}  // namespace kestrova
