#include "app/sift_command.h"

#include <optional>

#include "app/command_words.h"
#include "base/text_codec.h"
#include "options/options_file.h"
#include "os/line_reader.h"
#include "sift/find_stream.h"
#include "sift/sift_stream.h"
#include "ui/platform.h"
#include "ui/ui_model.h"

namespace kestrova {
namespace {

constexpr char kUsage[] =
    "Usage: kestrova sift [OPTIONS] [INPUT...] [-o OUTPUT]\n"
    "\n"
    "Cleans proxy lists with the rules of the window's \"Отсеить\", without the window:\n"
    "reads the INPUTs in the order given, as one list, line by line as File > Open does\n"
    "(standard input when no INPUT is given, and for \"-\", which may be given once),\n"
    "keeps the numeric entries a.b.c.d:port and the host names with \"www.\", each cut to\n"
    "its host:port part, and writes them as File > Save writes a list: one per line,\n"
    "each ended by CR LF, to OUTPUT (standard output when it is missing or \"-\"). A list\n"
    "with no entry left is written as one empty line, as the window saves an empty list.\n"
    "There is no limit on the number of lines; a line longer than 16 MiB (from a file\n"
    "or a pipe alike) is a read failure, named with its input and line number.\n"
    "\n"
    "Options (the first four are the switches of the window's options panel):\n"
    "  --only-entries       read only lines that look like entries (\"Считывать\n"
    "                       элементы похожие на Proxy\")\n"
    "  --drop-host-names    drop the host-name entries (\"Отсеевать текстовые Proxy\")\n"
    "  --only-www           keep only entries that begin with \"www.\" (\"Отсеевать\n"
    "                       числовый Proxy\")\n"
    "  --drop-repeats       drop repeated entries, keeping the first, across all the\n"
    "                       inputs (\"Отсеевать одинаковые Proxy\")\n"
    "  --use-saved-options  take the four switches from the options file the window\n"
    "                       saves with \"Применить\"; switches given here are added\n"
    "  --strict             after the window's rules, keep only the entries whose kept\n"
    "                       text is exactly HOST:PORT (below)\n"
    "  --find               read every entry out of the whole text, whatever its shape\n"
    "                       (lists, URLs, CSV, JSON, HTML tables, annotated lines,\n"
    "                       entries with credentials), not line by line (below)\n"
    "  --keep-auth          with --find, write each entry as\n"
    "                       [scheme://][user:pass@]host:port, with the scheme and the\n"
    "                       credentials the text gave it\n"
    "  --lf                 end lines with LF instead of CR LF\n"
    "  -o, --output FILE    write to FILE (-oFILE, -o FILE, --output FILE and\n"
    "                       --output=FILE alike); it is replaced whole, and only when\n"
    "                       all went well: after a failure the old FILE is left as it\n"
    "                       was. FILE may be one of the INPUTs:\n"
    "                       kestrova sift --drop-repeats list.txt -o list.txt\n"
    "                       cleans a list in place\n"
    "  -q, --quiet          no summary (and no progress) on standard error\n"
    "  -h, --help           show this help and end\n"
    "  -v, --version        show the version and end\n"
    "  --                   end of the options: every word after it is an INPUT\n"
    "\n"
    "--find writes every entry it finds as host:port, once, in order of first\n"
    "appearance: IPv4 addresses (zero padding removed), host names with a dot and a\n"
    "last label of letters (in lower case), and [IPv6] in brackets; the port is the\n"
    "whole run of digits, 1-65535. An address and its port may also stand in fields\n"
    "of their own (CSV, tables, \"ip port\") or in a JSON record's \"ip\"/\"host\"/\n"
    "\"address\"/\"addr\"/\"server\" and \"port\". UTF-16 with a byte order mark is\n"
    "read too. --drop-host-names and --only-www apply; repeats are always dropped;\n"
    "--only-entries and --strict have no effect.\n"
    "\n"
    "--strict keeps an entry only when its kept text is exactly HOST:PORT, with\n"
    "nothing before or after; the kept text is not changed.\n"
    "  HOST is either an IPv4 address in the form inet_pton accepts (four decimal\n"
    "  parts 0-255, with no leading zeros), or a host name: dot-separated labels of\n"
    "  letters, digits and \"-\", each 1-63 characters and neither beginning nor\n"
    "  ending with \"-\", 253 characters at most in all, the last label not all\n"
    "  digits.\n"
    "  PORT is 1-65535 in decimal digits, with no leading zero.\n"
    "\n"
    "A summary goes to standard error: the lines read, the entries kept and the\n"
    "repeats dropped (and with --strict, the entries it dropped), for each INPUT and\n"
    "in total when there are several. On a terminal an INPUT over 32 MiB also shows\n"
    "its progress.\n"
    "\n"
    "Exit status: 0 done; 1 an INPUT could not be read or OUTPUT not written (the\n"
    "message names it; the run stops there, and with -o the old OUTPUT is left as it\n"
    "was); 2 a usage error.\n";

constexpr long long kProgressFromBytes = 32ll << 20;

struct Request {
  StreamSwitches switches;
  bool use_saved_options = false;
  bool quiet = false;
  std::vector<std::string> inputs;  // "-" is standard input
  std::string output = "-";
  bool output_given = false;
  bool find = false;
  bool keep_auth = false;
};

// The option words of `kestrova sift`, into `request`.
WordsAction ReadSiftWords(const std::vector<std::string>& args, Request& request,
                          std::string* error) {
  bool lf = false;
  StreamSwitches& s = request.switches;
  CommandWords words;
  words.with_value = {"--output"};
  words.flags = {{"--only-entries", &s.only_entries},
                 {"--drop-host-names", &s.scan.drop_host_names},
                 {"--only-www", &s.scan.only_www},
                 {"--drop-repeats", &s.drop_repeats},
                 {"--strict", &s.strict},
                 {"--use-saved-options", &request.use_saved_options},
                 {"--quiet", &request.quiet},
                 {"--lf", &lf},
                 {"--find", &request.find},
                 {"--keep-auth", &request.keep_auth}};
  words.quiet = &request.quiet;
  words.known = {"--only-entries", "--drop-host-names",   "--only-www", "--drop-repeats",
                 "--strict",       "--use-saved-options", "--quiet",    "--lf",
                 "--help",         "--version",           "--output",   "--find",
                 "--keep-auth"};
  words.inputs = &request.inputs;
  words.value = [&request](const std::string& option, const std::string* value,
                           std::string* error) {
    if (!value || value->empty()) {
      *error = "option " + Quoted(option) + " needs a file name";
      return WordsAction::kUsageError;
    }
    if (request.output_given) {
      *error = "more than one OUTPUT (" + Quoted(request.output) + ", " + Quoted(*value) + ")";
      return WordsAction::kUsageError;
    }
    request.output = *value;
    request.output_given = true;
    return WordsAction::kRun;
  };
  const WordsAction action = ReadCommandWords(args, words, error);
  if (lf) s.line_end = "\n";
  return action;
}

// "1 entry kept", "2 entries kept".
std::string Counted(long long n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string Summary(const StreamCounts& c, bool strict) {
  std::string text = Counted(c.lines, "line", "lines") + " read, " +
                     Counted(c.kept, "entry", "entries") + " kept, " +
                     Counted(c.repeats, "repeat", "repeats") + " dropped";
  if (strict) text += ", " + std::to_string(c.strict_dropped) + " dropped by --strict";
  return text;
}

std::string FindSummary(const FindCounts& c) {
  return Counted(c.bytes, "byte", "bytes") + " read, " + Counted(c.found, "entry", "entries") +
         " found, " + Counted(c.repeats, "repeat", "repeats") + " dropped";
}

class Reporter {
 public:
  explicit Reporter(const CommandStreams& streams) : streams_(streams) {}
  void Say(const std::string& text) {
    std::string ignored;
    streams_.errors.Write("kestrova sift: " + text + "\n", &ignored);
  }
  // A line that the next one overwrites, on a terminal.
  void Progress(const std::string& what, long long done, long long total) {
    const int percent = static_cast<int>(done * 100 / total);
    if (percent == shown_percent_) return;
    shown_percent_ = percent;
    std::string ignored;
    streams_.errors.Write("\rkestrova sift: " + what + std::to_string(percent) + "% of " +
                              std::to_string(total >> 20) + " MiB",
                          &ignored);
  }
  void EndProgress() {
    if (shown_percent_ < 0) return;
    shown_percent_ = -1;
    std::string ignored;
    streams_.errors.Write("\r" + std::string(60, ' ') + "\r", &ignored);
  }

 private:
  const CommandStreams& streams_;
  int shown_percent_ = -1;
};

// How a file is named in a message; "-" is a standard stream.
std::string Named(const std::string& path, const char* standard_stream) {
  if (path == "-") return standard_stream;
  return Quoted(path);
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
  Request request;
  std::string error;
  std::string ignored;
  const std::optional<int> answered = AnswerWords(ReadSiftWords(args, request, &error), "sift",
                                                  error, kUsage, streams.output, streams.errors);
  if (answered) return *answered;
  if (request.keep_auth && !request.find) {
    reporter.Say("option \"--keep-auth\" goes with \"--find\"\nTry \"kestrova sift --help\".");
    return kExitUsage;
  }
  if (request.use_saved_options) AddSavedOptions(request.switches, reporter);
  if (request.inputs.empty()) request.inputs.push_back("-");

  FileReplacement replacement;
  ByteSink* output = &streams.output;
  const bool to_file = request.output != "-";
  if (to_file) {
    if (!replacement.Begin(request.output, &error)) {
      reporter.Say("cannot write " + Named(request.output, "") + ": " + error);
      return kExitFileFailed;
    }
    output = &replacement;
  }
  const std::string output_name = Named(request.output, "standard output");
  const std::string unchanged = to_file ? "; " + output_name + " was not changed" : "";

  // The inputs are opened one at a time, as reading reaches them, so that
  // any number of them can be given.
  const bool several = request.inputs.size() > 1;
  std::optional<StreamSifter> sifter;
  std::optional<FindSifter> finder;
  if (request.find) {
    finder.emplace(*output, FindSwitches{request.switches.scan, request.keep_auth},
                   request.switches.line_end);
  } else {
    sifter.emplace(*output, request.switches);
  }
  StreamCounts total;
  FindCounts found_total;
  std::vector<std::string> summary;  // a line for each input when there are several
  for (const std::string& name : request.inputs) {
    const std::string input_name = Named(name, "standard input");
    InputFile file;
    ByteSource* input = &streams.input;
    if (name != "-") {
      // A script may hand over a pipe (a process substitution) and wait on it.
      if (!file.Open(name, InputFile::Accept::kStreamsToo, &error)) {
        reporter.Say("cannot read " + input_name + ": " + error + unchanged);
        return kExitFileFailed;
      }
      input = &file;
    }
    const long long size = input->Size();
    std::function<void(long long)> progress;
    if (streams.errors_to_terminal && !request.quiet && size > kProgressFromBytes) {
      const std::string what = several ? input_name + ": " : "";
      progress = [&, what, size](long long done) { reporter.Progress(what, done, size); };
    }
    StreamResult result;
    std::string counted;
    if (finder) {
      FindCounts counts;
      result = finder->Add(*input, &counts, &error, progress);
      found_total += counts;
      counted = FindSummary(counts);
    } else {
      LineReader reader(*input);
      StreamCounts counts;
      result = sifter->Add(reader, &counts, &error, progress);
      total += counts;
      counted = Summary(counts, request.switches.strict);
    }
    reporter.EndProgress();
    if (result == StreamResult::kReadFailed) {
      reporter.Say("reading stopped in " + input_name + ": " + error + unchanged);
      return kExitFileFailed;
    }
    if (result == StreamResult::kWriteFailed) {
      reporter.Say("cannot write " + output_name + ": " + error + unchanged);
      return kExitFileFailed;
    }
    if (several) summary.push_back(input_name + ": " + counted);
  }
  const StreamResult finished = finder ? finder->Finish(&error) : sifter->Finish(&error);
  if (finished != StreamResult::kDone || (to_file && !replacement.Commit(&error))) {
    reporter.Say("cannot write " + output_name + ": " + error + unchanged);
    return kExitFileFailed;
  }
  if (!request.quiet) {
    for (const std::string& line : summary) reporter.Say(line);
    reporter.Say((several ? "in total: " : "") +
                 (finder ? FindSummary(found_total) : Summary(total, request.switches.strict)));
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
