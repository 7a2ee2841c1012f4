#include "sift/strict_entry.h"

namespace kestrova {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Decimal digits without a leading zero ("0" itself aside), at most `max`.
bool IsDecimal(std::string_view text, unsigned max) {
  if (text.empty() || text.size() > 5 || (text[0] == '0' && text.size() > 1)) return false;
  unsigned value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return value <= max;
}

bool IsIpv4Address(std::string_view host) {
  for (int part = 0; part < 4; ++part) {
    const size_t dot = part < 3 ? host.find('.') : host.size();
    if (dot == std::string_view::npos || !IsDecimal(host.substr(0, dot), 255)) return false;
    host.remove_prefix(part < 3 ? dot + 1 : dot);
  }
  return true;
}

bool IsLabel(std::string_view label) {
  if (label.empty() || label.size() > 63 || label.front() == '-' || label.back() == '-') {
    return false;
  }
  for (char c : label) {
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (!letter && !IsDigit(c) && c != '-') return false;
  }
  return true;
}

bool IsHostName(std::string_view host) {
  if (host.size() > 253) return false;
  for (;;) {
    const size_t dot = host.find('.');
    const std::string_view label = host.substr(0, dot);
    if (!IsLabel(label)) return false;
    if (dot == std::string_view::npos) {
      for (char c : label) {
        if (!IsDigit(c)) return true;
      }
      return false;  // an all-digit last label: a malformed address, not a name
    }
    host.remove_prefix(dot + 1);
  }
}

}  // namespace

bool IsStrictEntry(std::string_view text) {
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos) return false;
  const std::string_view port = text.substr(colon + 1);
  if (!IsDecimal(port, 65535) || port == "0") return false;
  const std::string_view host = text.substr(0, colon);
  return IsIpv4Address(host) || IsHostName(host);
}

}  // namespace kestrova
