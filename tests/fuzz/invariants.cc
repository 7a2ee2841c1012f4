#include "tests/fuzz/invariants.h"

#include <cmath>

#include "app/settings_file.h"
#include "app/startup.h"
#include "base/text_set.h"
#include "listfile/list_export.h"
#include "listfile/list_import.h"
#include "options/options_file.h"
#include "os/line_reader.h"
#include "sift/scan_padded.h"
#include "sift/sift_list.h"
#include "sift/sift_stream.h"

namespace kestrova {
namespace {

std::vector<std::string> ReadLines(std::string_view bytes, std::string* error) {
  std::vector<std::string> lines;
  MemorySource source(bytes);
  LineReader reader(source);
  std::string_view line;
  for (;;) {
    const LineReader::Result r = reader.Next(&line);
    if (r == LineReader::Result::kEnd) break;
    if (r == LineReader::Result::kError) {
      *error = "read failed: " + reader.Error();
      break;
    }
    lines.emplace_back(line);
  }
  return lines;
}

}  // namespace

std::string CheckScan(std::string_view entry) {
  for (int bits = 0; bits < 4; ++bits) {
    const SiftSwitches switches{(bits & 1) != 0, (bits & 2) != 0};
    std::uint64_t plain_key;
    const auto kept = ScanAddress(entry, switches, &plain_key);
    if (kept != ScanAddressStepByStep(entry, switches)) return "the quick scan disagrees";
    // The padded scan reads past the entry: what lies there must not count.
    for (const char* behind : {"www.", "..::", "9", " ;", "\xFF"}) {
      std::string padded(entry);
      while (padded.size() < entry.size() + kScanSlack) padded += behind;
      std::uint64_t padded_key;
      const auto fast =
          ScanAddressPadded(std::string_view(padded.data(), entry.size()), switches, &padded_key);
      if (fast.has_value() != kept.has_value() || (fast && fast->size() != kept->size())) {
        return "the padded scan disagrees";
      }
      if (fast && padded_key && padded_key != PlainEntryKey(*fast)) {
        return "the padded scan's key is not the text's";
      }
      if (fast && !padded_key && PlainEntryKey(*fast) && fast->size() == entry.size()) {
        return "the padded scan missed a key";
      }
    }
    if (!kept) continue;
    // A key the scan hands on is the key of its kept text, for the set of repeats.
    if (plain_key && plain_key != PlainEntryKey(*kept)) return "the scan's key is not the text's";
    if (kept->empty()) return "kept an empty text";
    if (entry.substr(0, kept->size()) != *kept) return "kept text is not a prefix";
    if (switches.only_www && !kept->starts_with("www.")) return "Check3 kept a non-www entry";
    const bool host = kept->find("www.") != std::string_view::npos;
    if (switches.drop_host_names && host) return "Check2 kept a host-name entry";
    // A numeric entry is one the scan keeps the same with host names dropped.
    const auto numeric = ScanAddress(entry, {true, switches.only_www});
    if (numeric && *numeric == *kept) {
      const auto again = ScanAddress(*kept, switches);
      if (!again || *again != *kept) return "a kept numeric text does not scan to itself";
    }
  }
  return {};
}

std::string CheckImport(std::string_view file_bytes) {
  const bool first = LooksLikeProxy(file_bytes);
  if (LooksLikeProxy(file_bytes.substr(0, 4)) != first) return "LooksLikeProxy read past 4";

  std::string error;
  const std::vector<std::string> lines = ReadLines(file_bytes, &error);
  if (!error.empty()) return error;
  for (const std::string& line : lines) {
    if (line.find_first_of("\r\n") != std::string::npos) return "a line holds a line break";
  }
  if (lines.empty()) return {};
  MainWindowModel model;
  model.list1.Assign(lines);
  if (ReadLines(ListFileBytes(model.list1), &error) != lines)
    return "written list reads back differently";
  return error;
}

std::string CheckOptions(std::string_view file_bytes) {
  MainWindowModel model;
  ReadOptionsBytes(model, file_bytes);
  MainWindowModel back;
  if (!ReadOptionsBytes(back, OptionsFileBytes(model))) return "written options do not read back";
  if (back.check1 != model.check1 || back.check2 != model.check2 || back.check3 != model.check3 ||
      back.check4 != model.check4) {
    return "switches changed in a round trip";
  }
  // Names with delimiters, quotes, leading blanks or bytes outside the code
  // page cannot come back whole; every other name must.
  const std::string& name = model.combo1_text;
  const bool plain = name.find_first_of(",\"\r\n") == std::string::npos &&
                     (name.empty() || name.front() != ' ') &&
                     name.find("\xEF\xBF\xBD") == std::string::npos;
  if (plain && back.combo1_text != name) return "tint name changed in a round trip";
  return {};
}

std::string CheckSift(std::string_view input) {
  if (input.empty()) return {};
  const int bits = static_cast<unsigned char>(input[0]);
  const std::string_view file = input.substr(1);
  MainWindowModel model;
  model.check1 = bits & 1;
  model.check2 = bits >> 1 & 1;
  model.check3 = bits >> 2 & 1;
  model.check4 = bits >> 3 & 1;
  MemorySource for_window(file);
  const std::string message = ImportList(model, for_window, "list.txt");
  if (!message.empty()) return "the import stopped: " + message;
  SiftList(model);
  const std::string window = ListFileBytes(model.list1);

  StreamSwitches switches;
  switches.only_entries = model.check1 == 1;
  switches.scan = {model.check2 == 1, model.check3 == 1};
  switches.drop_repeats = model.check4 == 1;
  MemorySource for_stream(file);
  LineReader reader(for_stream);
  MemorySink out;
  StreamCounts counts;
  std::string reason;
  if (SiftStream(reader, out, switches, &counts, &reason) != StreamResult::kDone) {
    return "the stream failed: " + reason;
  }
  if (out.bytes != window) return "the stream and the window wrote different bytes";
  return {};
}

std::string CheckPlacement(std::string_view text) {
  const float value = PlacementValue(std::string(text), 1000);
  if (!std::isfinite(value)) return "placement is not finite";
  return {};
}

std::string CheckSettings(std::string_view file_bytes) {
  const std::string_view value = file_bytes.substr(0, 16);
  const std::optional<std::string> other = FindSetting(file_bytes, "Chooser", "Folder");
  const std::string text = WithSetting(file_bytes, "Settings", "MainLeft", value);
  if (FindSetting(text, "Settings", "MainLeft") != value) return "the value set does not read back";
  if (FindSetting(text, "Chooser", "Folder") != other) return "another section's key changed";
  if (WithSetting(text, "Settings", "MainLeft", value) != text) return "setting again changed";
  return {};
}

}  // namespace kestrova
