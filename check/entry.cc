#include "check/entry.h"

namespace kestrova {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

int HexValue(char c) {
  if (IsDigit(c)) return c - '0';
  c = Lower(c);
  return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

bool PercentDecode(std::string_view text, std::string* out) {
  out->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out->push_back(text[i]);
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const int high = HexValue(text[i + 1]);
    const int low = HexValue(text[i + 2]);
    if (high < 0 || low < 0) return false;
    out->push_back(static_cast<char>(high * 16 + low));
    i += 2;
  }
  return true;
}

void PercentEncode(std::string_view text, std::string* out) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (char c : text) {
    const unsigned char u = static_cast<unsigned char>(c);
    const bool plain = IsDigit(c) || (Lower(c) >= 'a' && Lower(c) <= 'z') || c == '-' || c == '.' ||
                       c == '_' || c == '~';
    if (plain) {
      out->push_back(c);
    } else {
      out->push_back('%');
      out->push_back(kHex[u >> 4]);
      out->push_back(kHex[u & 15]);
    }
  }
}

bool ParsePort(std::string_view text, uint16_t* port) {
  if (text.empty() || text.size() > 5) return false;
  unsigned value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  if (value == 0 || value > 65535) return false;
  *port = static_cast<uint16_t>(value);
  return true;
}

bool IsHostName(std::string_view host) {
  if (host.empty() || host.size() > 253 || host.front() == '.' || host.front() == '-') return false;
  for (char c : host) {
    const bool ok =
        IsDigit(c) || (Lower(c) >= 'a' && Lower(c) <= 'z') || c == '-' || c == '.' || c == '_';
    if (!ok) return false;
  }
  return true;
}

bool IsIpv6(std::string_view host) {
  if (host.size() < 2 || host.size() > 45) return false;
  int colons = 0;
  for (char c : host) {
    if (c == ':') ++colons;
    if (c != ':' && c != '.' && HexValue(c) < 0) return false;
  }
  return colons >= 2;
}

std::optional<ProtocolSet> SchemeProtocols(std::string_view scheme) {
  std::string lower;
  for (char c : scheme) lower.push_back(Lower(c));
  if (lower == "http") return Bit(Protocol::kHttp);
  if (lower == "https") return Bit(Protocol::kConnect);
  if (lower == "socks4" || lower == "socks4a") return Bit(Protocol::kSocks4);
  if (lower == "socks5" || lower == "socks5h") return Bit(Protocol::kSocks5);
  return std::nullopt;
}

}  // namespace

const char* ProtocolName(Protocol p) {
  static constexpr const char* kNames[] = {"http", "connect", "socks4", "socks5"};
  return kNames[static_cast<int>(p)];
}

std::optional<ProtocolSet> ParseProtocols(std::string_view list, std::string* bad) {
  ProtocolSet set = 0;
  while (true) {
    const size_t comma = list.find(',');
    const std::string_view word = list.substr(0, comma);
    bool known = false;
    for (int i = 0; i < kProtocolCount; ++i) {
      if (word == ProtocolName(static_cast<Protocol>(i))) {
        set |= Bit(static_cast<Protocol>(i));
        known = true;
      }
    }
    if (!known) {
      *bad = std::string(word);
      return std::nullopt;
    }
    if (comma == std::string_view::npos) return set;
    list.remove_prefix(comma + 1);
  }
}

bool IsIpv4(std::string_view host) {
  int parts = 0;
  size_t i = 0;
  while (true) {
    size_t digits = 0;
    unsigned value = 0;
    while (i < host.size() && IsDigit(host[i]) && digits < 4) {
      value = value * 10 + static_cast<unsigned>(host[i] - '0');
      ++digits;
      ++i;
    }
    if (digits == 0 || value > 255 || (digits > 1 && host[i - digits] == '0')) return false;
    ++parts;
    if (i == host.size()) return parts == 4;
    if (host[i] != '.' || parts == 4) return false;
    ++i;
  }
}

std::optional<Entry> ParseEntry(std::string_view line, ProtocolSet wanted) {
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  if (line.empty() || line.front() == '#') return std::nullopt;
  Entry entry;
  entry.text = std::string(line);
  entry.protocols = wanted;
  std::string_view rest = line;
  if (const size_t scheme_end = rest.find("://"); scheme_end != std::string_view::npos) {
    const std::optional<ProtocolSet> own = SchemeProtocols(rest.substr(0, scheme_end));
    if (!own || !(*own & wanted)) return std::nullopt;
    entry.protocols = *own;
    rest.remove_prefix(scheme_end + 3);
  }
  if (!rest.empty() && rest.back() == '/') rest.remove_suffix(1);
  if (const size_t at = rest.rfind('@'); at != std::string_view::npos) {
    const std::string_view userinfo = rest.substr(0, at);
    const size_t colon = userinfo.find(':');
    if (colon == std::string_view::npos || !PercentDecode(userinfo.substr(0, colon), &entry.user) ||
        !PercentDecode(userinfo.substr(colon + 1), &entry.pass) || entry.user.size() > 255 ||
        entry.pass.size() > 255) {
      return std::nullopt;
    }
    entry.has_auth = true;
    rest.remove_prefix(at + 1);
  }
  std::string_view host;
  std::string_view port;
  if (!rest.empty() && rest.front() == '[') {
    const size_t close = rest.find(']');
    if (close == std::string_view::npos || close + 1 >= rest.size() || rest[close + 1] != ':') {
      return std::nullopt;
    }
    host = rest.substr(1, close - 1);
    port = rest.substr(close + 2);
    if (!IsIpv6(host)) return std::nullopt;
  } else {
    const size_t colon = rest.rfind(':');
    if (colon == std::string_view::npos) return std::nullopt;
    host = rest.substr(0, colon);
    port = rest.substr(colon + 1);
    if (!IsIpv4(host) && !IsHostName(host)) return std::nullopt;
  }
  if (!ParsePort(port, &entry.port)) return std::nullopt;
  entry.host = std::string(host);
  return entry;
}

std::string Entry::Key() const {
  std::string key = std::to_string(protocols);
  key += '\n';
  if (has_auth) key += user + '\0' + pass + '\0';
  for (char c : host) key.push_back(Lower(c));
  key += ':' + std::to_string(port);
  return key;
}

std::string Entry::HostPort() const {
  return (IsV6() ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

std::string Entry::Url(const char* scheme) const {
  std::string url = scheme;
  url += "://";
  if (has_auth) {
    PercentEncode(user, &url);
    url += ':';
    PercentEncode(pass, &url);
    url += '@';
  }
  return url + HostPort();
}

}  // namespace kestrova
