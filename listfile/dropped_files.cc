#include "listfile/dropped_files.h"

#include <optional>

namespace kestrova {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// %XX to its byte; nothing for a malformed escape or an encoded NUL, which
// no file name holds.
std::optional<std::string> PercentDecoded(std::string_view text) {
  std::string bytes;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      bytes += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return std::nullopt;
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0 || (high == 0 && low == 0)) return std::nullopt;
    bytes += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return bytes;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    const char c = text[i];
    const char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    if (lower != prefix[i]) return false;
  }
  return true;
}

// "file:///path" or "file://localhost/path" to the path's bytes.
std::optional<std::string> LocalPath(std::string_view uri) {
  if (!StartsWithNoCase(uri, "file:")) return std::nullopt;
  std::string_view rest = uri.substr(5);
  if (rest.substr(0, 2) == "//") {
    rest.remove_prefix(2);
    const size_t slash = rest.find('/');
    if (slash == std::string_view::npos) return std::nullopt;
    const std::string_view host = rest.substr(0, slash);
    const bool local = host.empty() || (host.size() == 9 && StartsWithNoCase(host, "localhost"));
    if (!local) return std::nullopt;
    rest.remove_prefix(slash);
  }
  if (rest.empty() || rest.front() != '/') return std::nullopt;
  // A query or a fragment is no part of a file's name.
  rest = rest.substr(0, rest.find_first_of("?#"));
  std::optional<std::string> path = PercentDecoded(rest);
#ifdef _WIN32
  // "/C:/Lists/a.txt" names C:\Lists\a.txt.
  if (path && path->size() >= 3 && (*path)[2] == ':') path->erase(0, 1);
#endif
  return path;
}

}  // namespace

std::string FirstLocalFile(std::string_view uri_list) {
  while (!uri_list.empty()) {
    const size_t end = uri_list.find('\n');
    std::string_view line = uri_list.substr(0, end);
    uri_list = end == std::string_view::npos ? std::string_view() : uri_list.substr(end + 1);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    while (!line.empty() && line.front() == ' ') line.remove_prefix(1);
    if (line.empty() || line.front() == '#') continue;
    if (std::optional<std::string> path = LocalPath(line)) return *path;
  }
  return {};
}

}  // namespace kestrova
