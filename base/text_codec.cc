#include "base/text_codec.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>

namespace kestrova {
namespace {

// Size of the UTF-8 sequence that starts with `lead`, or 0 if it is invalid.
size_t Utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// Runs iconv over `in`; on a character it cannot convert it appends
// `replacement` and skips `skip(rest)` input bytes.
template <typename Skip>
std::string Convert(const char* to, const char* from, std::string_view in,
                    std::string_view replacement, Skip skip) {
  std::string out;
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(in);
  out.reserve(in.size() * 2);
  char* src = const_cast<char*>(in.data());
  size_t src_left = in.size();
  char buffer[4096];
  while (src_left > 0) {
    char* dst = buffer;
    size_t dst_left = sizeof buffer;
    size_t rc = iconv(cd, &src, &src_left, &dst, &dst_left);
    out.append(buffer, static_cast<size_t>(dst - buffer));
    if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
      out.append(replacement);
      size_t n = std::min(src_left, skip(std::string_view(src, src_left)));
      src += n;
      src_left -= n;
    }
  }
  iconv_close(cd);
  return out;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    const size_t n = Utf8SequenceLength(lead);
    if (n == 0 || i + n > bytes.size()) return false;
    for (size_t k = 1; k < n; ++k) {
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    }
    const auto second = n > 1 ? static_cast<unsigned char>(bytes[i + 1]) : 0;
    // Overlong forms, surrogates and code points past U+10FFFF.
    if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
        (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
      return false;
    }
    i += n;
  }
  return true;
}

std::string Cp1251ToUtf8(std::string_view bytes) {
  return Convert("UTF-8", "WINDOWS-1251", bytes, "\xEF\xBF\xBD",
                 [](std::string_view) { return size_t{1}; });
}

std::string Utf8ToCp1251(std::string_view text) {
  return Convert("WINDOWS-1251", "UTF-8", text, "?", [](std::string_view rest) {
    const size_t n = Utf8SequenceLength(static_cast<unsigned char>(rest[0]));
    return n == 0 ? size_t{1} : n;
  });
}

std::string EntryForDisplay(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return Cp1251ToUtf8(bytes);
}

}  // namespace kestrova
