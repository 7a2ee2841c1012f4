#include "listfile/list_import.h"

#include "base/number_text.h"
#include "base/text_codec.h"
#include "os/file_io.h"
#include "os/line_reader.h"

namespace kestrova {
namespace {

// A path as a shell takes it, shown as text.
std::string ShellQuoted(const std::string& path) {
  const std::string text = EntryForDisplay(path);
#ifdef _WIN32
  return "\"" + text + "\"";  // a Windows path holds no double quote
#else
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
#endif
}

}  // namespace

std::string SiftCommandFor(const MainWindowModel& model, const std::string& path) {
  std::string command = "kestrova sift";
  if (model.check1 == 1) command += " --only-entries";
  if (model.check2 == 1) command += " --drop-host-names";
  if (model.check3 == 1) command += " --only-www";
  if (model.check4 == 1) command += " --drop-repeats";
  return command + " " + ShellQuoted(path) + " -o clean.txt";
}

bool LooksLikeProxy(std::string_view line) {
  // The "." comes first: it is the cheapest test, and a line without one at
  // character 2, 3 or 4 fails whatever its start reads as.
  bool dot = false;
  for (size_t i = 1; i <= 3 && i < line.size(); ++i) dot = dot || line[i] == '.';
  if (!dot) return false;
  return line.substr(0, 4) == "www." || Below(line.substr(0, 2), 99) ||
         Below(line.substr(0, 3), 256);
}

void OpenList(MainWindowModel& model, Platform& platform) {
  const std::string path = ChooseListFile(model, platform, ChooserMode::kOpen, "Open");
  if (path.empty()) return;  // cancelled: the list stays as it was
  ImportListFile(model, platform, path);
}

void ImportListFile(MainWindowModel& model, Platform& platform, const std::string& path) {
  std::string message;
  {
    InputFile file;
    std::string reason;
    if (!file.Open(path, InputFile::Accept::kRegularFiles, &reason)) {
      // Nothing is emptied until the file is open, so the list is kept.
      message = DescribeFailure("Cannot open the list file", path, reason);
    } else {
      message = ImportList(model, file, path);
    }
  }  // the file is closed before any message shows
  if (!message.empty()) platform.ShowMessage(message);
}

std::string ImportList(MainWindowModel& model, ByteSource& source, const std::string& path) {
  LineReader reader(source);
  model.list1.Clear();
  model.SetCount(0);

  // An import that stops short leaves no current file, so a later Save asks
  // for a name instead of overwriting the original with the shortened list.
  int stored = 0;
  std::string_view line;
  for (;;) {
    const LineReader::Result result = reader.Next(&line);
    if (result == LineReader::Result::kEnd) break;
    if (result == LineReader::Result::kError) {
      model.label1.clear();
      return DescribeFailure("Reading stopped in the list file", path, reader.Error()) +
             "\n\nThe first " + std::to_string(stored) +
             " entries were loaded. Save will ask for a file name.";
    }
    if (model.check1 == 1 && !LooksLikeProxy(line)) continue;
    if (stored == kListCapacity) {
      model.label1.clear();
      return DescribeFailure(
                 "The list file holds more entries than the list can take", path,
                 "Only the first " + std::to_string(kListCapacity) + " entries were loaded") +
             " Save will ask for a file name.\n\nThe whole file can be cleaned from a terminal, "
             "with the switches now set: " +
             SiftCommandFor(model, path);
    }
    model.list1.Set(stored, line);
    ++stored;
    model.SetCount(stored);
    model.progress_bar2.value = static_cast<float>(stored);
  }
  model.label1 = path;
  // A file written from an empty list holds one empty line: show it as empty.
  if (model.label3 == "1" && model.list1.At(0).empty()) model.SetCount(0);
  return {};
}

}  // namespace kestrova
