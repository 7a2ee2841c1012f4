#include "app/settings_file.h"

#include "os/file_io.h"

namespace kestrova {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// One line: its text without the line end, and where the next one starts.
struct Line {
  std::string_view text;
  size_t begin;
  size_t next;
};

Line LineAt(std::string_view file, size_t begin) {
  const size_t newline = file.find('\n', begin);
  const size_t next = newline == std::string_view::npos ? file.size() : newline + 1;
  std::string_view text = file.substr(begin, next - begin);
  if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  if (!text.empty() && text.back() == '\r') text.remove_suffix(1);
  return {text, begin, next};
}

// The section a "[Section]" line opens, or nullopt for any other line.
std::optional<std::string_view> SectionOpened(std::string_view line) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
  return line.substr(1, line.size() - 2);
}

// Where a key stands in a file, or where it would go.
struct Place {
  std::optional<Line> line;      // the key's "Key=Value" line
  std::optional<size_t> insert;  // after the section's last line but blank ones
  std::string_view raw_value;    // the value as written, blanks trimmed
};

Place Locate(std::string_view file, std::string_view section, std::string_view key) {
  Place place;
  bool inside = section.empty();  // keys above the first section belong to none
  if (inside) place.insert = 0;
  for (size_t at = 0; at < file.size();) {
    const Line line = LineAt(file, at);
    at = line.next;
    if (const auto opened = SectionOpened(line.text)) {
      inside = *opened == section;
      if (inside) place.insert = line.next;
      continue;
    }
    if (!inside || Trim(line.text).empty()) continue;
    place.insert = line.next;
    const size_t equals = line.text.find('=');
    if (equals == std::string_view::npos || Trim(line.text.substr(0, equals)) != key) continue;
    place.line = line;
    place.raw_value = Trim(line.text.substr(equals + 1));
    return place;
  }
  return place;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Backslash escapes for what a line cannot hold as it is: the backslash and
// the quote themselves, control bytes, and blanks at either end (which
// reading trims).
std::string EncodeValue(std::string_view value) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(value[i]);
    const bool at_edge = i == 0 || i + 1 == value.size();
    if (c == '\\' || c == '"') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F || (at_edge && IsBlank(static_cast<char>(c)))) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

// The value a line holds: in double quotes or not, with the escapes of
// EncodeValue and the common \n, \r and \t.
std::string DecodeValue(std::string_view raw) {
  if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"') {
    raw = raw.substr(1, raw.size() - 2);
  }
  std::string out;
  out.reserve(raw.size());
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] != '\\' || i + 1 == raw.size()) {
      out += raw[i];
      continue;
    }
    const char escaped = raw[++i];
    switch (escaped) {
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      case 't':
        out += '\t';
        break;
      case '\\':
      case '"':
        out += escaped;
        break;
      case 'x':
        if (i + 2 < raw.size() && HexDigit(raw[i + 1]) >= 0 && HexDigit(raw[i + 2]) >= 0) {
          out += static_cast<char>(HexDigit(raw[i + 1]) * 16 + HexDigit(raw[i + 2]));
          i += 2;
          break;
        }
        [[fallthrough]];
      default:
        out += '\\';
        out += escaped;
        break;
    }
  }
  return out;
}

}  // namespace

std::string UserSettingsFilePath() {
  return JoinPath(JoinPath(UserConfigFolder(), "Kestrova"), kSettingsFileName);
}

std::optional<std::string> FindSetting(std::string_view text, std::string_view section,
                                       std::string_view key) {
  const Place place = Locate(text, section, key);
  if (!place.line) return std::nullopt;
  return DecodeValue(place.raw_value);
}

std::string WithSetting(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value) {
  const std::string line = std::string(key) + "=" + EncodeValue(value);
  const Place place = Locate(text, section, key);
  std::string out(text);
  if (place.line) {
    out.replace(place.line->begin, place.line->text.size(), line);
  } else if (place.insert) {
    const size_t at = *place.insert;
    std::string added = at > 0 && text[at - 1] != '\n' ? "\n" : "";
    added += line;
    added += '\n';
    out.insert(at, added);
  } else {
    if (!out.empty() && out.back() != '\n') out += '\n';
    if (!out.empty()) out += '\n';
    out += '[';
    out += section;
    out += "]\n";
    out += line;
    out += '\n';
  }
  return out;
}

bool SettingsFile::Load(std::string* text, std::string* reason) {
  set_aside_.clear();
  text->clear();
  // A device or a pipe is never read (it might never end, or wait): only
  // written, straight. A folder or anything else is refused on writing.
  if (KindOfPath(path_) != PathKind::kRegularFile) return true;
  if (!ReadFilePrefix(path_, kMaxSettingsFileBytes + 1, text, reason)) return false;
  if (text->size() <= kMaxSettingsFileBytes) return true;
  text->clear();
  if (SetFileAside(path_, kDamagedTag, &set_aside_, reason)) return true;
  *reason =
      "It is larger than 1 MiB, which no settings file is, and could not be set aside: " + *reason;
  return false;
}

std::optional<std::string> SettingsFile::Read(std::string_view section, std::string_view key) {
  std::string text;
  std::string reason;
  if (!Load(&text, &reason)) return std::nullopt;
  return FindSetting(text, section, key);
}

bool SettingsFile::Write(std::string_view section, std::string_view key, std::string_view value,
                         std::string* reason) {
  std::string text;
  if (!Load(&text, reason)) return false;
  if (FindSetting(text, section, key) == value) return true;
  return MakeFolders(ParentFolder(path_), reason) &&
         WriteFileAtomically(path_, WithSetting(text, section, key, value), reason);
}

}  // namespace kestrova
