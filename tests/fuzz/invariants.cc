#include "tests/fuzz/invariants.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <set>

#include "app/settings_file.h"
#include "app/startup.h"
#include "base/text_set.h"
#include "listfile/list_export.h"
#include "listfile/list_import.h"
#include "options/options_file.h"
#include "os/line_reader.h"
#include "sift/find_stream.h"
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

std::string Found(std::string_view text, bool keep_auth, size_t piece) {
  MemorySource source(text);
  MemorySink out;
  FindSifter finder(out, {{}, keep_auth}, "\n", piece);
  FindCounts counts;
  std::string reason;
  finder.Add(source, &counts, &reason);
  finder.Finish(&reason);
  return out.bytes;
}

// The rules, plainly: one character at a time, all of the text searched.
bool Digit(int c) { return c >= '0' && c <= '9'; }
bool Letter(int c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
int At(std::string_view s, size_t i) { return i < s.size() ? static_cast<unsigned char>(s[i]) : -1; }

// After `i`: zeros, then exactly `port`, then no letter, digit, '_' or
// ".digit" (nor ":digit" when `apart`).
bool PortAt(std::string_view s, size_t i, const std::string& port, bool apart) {
  while (At(s, i) == '0') ++i;
  if (s.compare(i, port.size(), port) != 0) return false;
  i += port.size();
  const int c = At(s, i);
  if (Digit(c) || Letter(c) || c == '_') return false;
  return !((c == '.' || (apart && c == ':')) && Digit(At(s, i + 1)));
}

// The text's dotted quad at i equal to `parts`: its end, or 0.
size_t QuadAt(std::string_view s, size_t i, const int parts[4]) {
  for (int k = 0; k < 4; ++k) {
    if (k > 0 && At(s, i++) != '.') return 0;
    int value = 0;
    size_t digits = 0;
    for (; Digit(At(s, i)) && digits <= 3; ++i, ++digits) value = value * 10 + At(s, i) - '0';
    if (digits == 0 || digits > 3 || value != parts[k]) return 0;
  }
  return i;
}

bool Ipv4Found(std::string_view s, const std::string& host, const std::string& port) {
  int parts[4];
  char end;
  if (std::sscanf(host.c_str(), "%d.%d.%d.%d%c", &parts[0], &parts[1], &parts[2], &parts[3],
                  &end) != 4 ||
      std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." + std::to_string(parts[2]) +
              "." + std::to_string(parts[3]) != host) {
    return false;
  }
  for (int part : parts) {
    if (part < 0 || part > 255) return false;
  }
  for (size_t i = 0; i < s.size(); ++i) {
    const int before = i ? At(s, i - 1) : -1;
    if (Digit(before) || Letter(before) || before == '_' || before == '.') continue;
    const size_t e = QuadAt(s, i, parts);
    if (e == 0 || Letter(At(s, e)) || At(s, e) == '_' || (At(s, e) == '.' && Digit(At(s, e + 1)))) {
      continue;
    }
    if (At(s, e) == ':' && PortAt(s, e + 1, port, false)) return true;
    // A field of its own: only separators and whole tags between.
    size_t g = e;
    while (g < s.size() && g - e <= 512) {
      if (std::strchr(" \t\r\n|,;\"'", s[g])) {
        ++g;
      } else if (s[g] == '&' && g + 6 <= s.size() &&
                 std::equal(s.begin() + g, s.begin() + g + 6, "&nbsp;",
                            [](char a, char b) { return std::tolower(a) == b; })) {
        g += 6;
      } else if (s[g] == '<' && s.find('>', g) != std::string_view::npos) {
        g = s.find('>', g) + 1;
      } else {
        break;
      }
    }
    if (g > e && PortAt(s, g, port, true)) return true;
    // A record's address, with a "port" key somewhere.
    if (before == '"' && At(s, e) == '"') {
      std::string lower(s);
      for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      for (size_t k = lower.find("\"port\""); k != std::string::npos; k = lower.find("\"port\"", k + 1)) {
        size_t v = k + 6;
        while (std::strchr(" \t\r\n:\"", At(s, v)) && At(s, v) > 0) ++v;
        if (PortAt(s, v, port, false)) return true;
      }
    }
  }
  return false;
}

// A name or an [IPv6] right before ':' and the port, in any case.
bool NamedFound(std::string_view s, const std::string& host, const std::string& port) {
  for (size_t i = 0; i + host.size() < s.size(); ++i) {
    const int before = i ? At(s, i - 1) : -1;
    if (Digit(before) || Letter(before) || before == '_' || before == '.' ||
        (before == '-' && host[0] != '[')) {
      continue;
    }
    size_t k = 0;
    while (k < host.size() && std::tolower(At(s, i + k)) == host[k]) ++k;
    if (k == host.size() && At(s, i + k) == ':' && PortAt(s, i + k + 1, port, false)) return true;
  }
  return false;
}

std::string EntryBreaksARule(std::string_view text, const std::string& entry) {
  const size_t colon = entry.rfind(':');
  if (colon == std::string::npos) return "no port: " + entry;
  const std::string host = entry.substr(0, colon);
  const std::string port = entry.substr(colon + 1);
  if (port.empty() || port.size() > 5 || port[0] == '0' || std::stol(port) > 65535 ||
      port.find_first_not_of("0123456789") != std::string::npos) {
    return "not a port: " + entry;
  }
  if (host.find_first_not_of("0123456789.") == std::string::npos) {
    return Ipv4Found(text, host, port) ? "" : "no place gives " + entry;
  }
  if (host[0] == '[') {
    if (host.back() != ']' || host.find_first_not_of("0123456789abcdef:.[]") != std::string::npos) {
      return "not a bracketed IPv6 address: " + entry;
    }
  } else {
    const size_t dot = host.rfind('.');
    const std::string last = dot == std::string::npos ? "" : host.substr(dot + 1);
    if (last.size() < 2 || last.size() > 63 || host.size() > 253 ||
        last.find_first_not_of("abcdefghijklmnopqrstuvwxyz") != std::string::npos ||
        host.find_first_not_of("abcdefghijklmnopqrstuvwxyz0123456789-.") != std::string::npos ||
        host.find("..") != std::string::npos || host[0] == '.' || host[0] == '-' ||
        host.find("-.") != std::string::npos || host.find(".-") != std::string::npos) {
      return "not a host name: " + entry;
    }
  }
  return NamedFound(text, host, port) ? "" : "no place gives " + entry;
}

}  // namespace

std::string CheckFind(std::string_view input) {
  if (input.empty()) return {};
  const bool keep_auth = input[0] & 1;
  const std::string_view text = input.substr(1);
  const std::string whole = Found(text, keep_auth, 8192);
  // Far from the text's ends, read in pieces of 61 bytes: line ends around
  // it change nothing, but a byte order mark is one only at the start.
  const std::string lines(EntryFinder::kReachAhead + 100, '\n');
  if (!text.empty() && !std::strchr("\xEF\xFE\xFF", text[0]) &&
      Found(lines + std::string(text) + lines, keep_auth, 61) != whole) {
    return "pieces of 61 bytes found other entries";
  }
  const std::string plain = keep_auth ? Found(text, false, 8192) : whole;
  std::set<std::string> seen;
  for (size_t i = 0, e; i < plain.size(); i = e + 1) {
    e = plain.find('\n', i);
    const std::string entry = plain.substr(i, e - i);
    if (!seen.insert(entry).second) return "written twice: " + entry;
    const std::string broken = EntryBreaksARule(text, entry);
    if (!broken.empty()) return broken;
  }
  if (!keep_auth) return {};
  // With the credentials and the scheme taken off, the same entries.
  std::set<std::string> bare;
  for (size_t i = 0, e; i < whole.size(); i = e + 1) {
    e = whole.find('\n', i);
    std::string entry = whole.substr(i, e - i);
    const size_t scheme = entry.find("://");
    if (scheme != std::string::npos) entry.erase(0, scheme + 3);
    const size_t at = entry.find('@');
    if (at != std::string::npos) {
      const std::string credentials = entry.substr(0, at);
      if (std::count(credentials.begin(), credentials.end(), ':') != 1 ||
          credentials.find_first_of("/ ") != std::string::npos) {
        return "credentials not encoded: " + entry;
      }
      entry.erase(0, at + 1);
    }
    bare.insert(entry);
  }
  if (bare != seen) return "--keep-auth found other entries";
  return {};
}

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
