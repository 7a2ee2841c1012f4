#include "base/text_codec.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace kestrova {
namespace {

// windows-1251 bytes 0x80 to 0xFF as Unicode code points; 0x98 is the one
// byte the code page leaves unassigned.
constexpr std::uint16_t kUnassigned = 0xFFFD;
constexpr std::array<std::uint16_t, 128> kCp1251High = {
    0x0402,      0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC,      0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    kUnassigned, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0,      0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401,      0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0,      0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451,      0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410,      0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418,      0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420,      0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428,      0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430,      0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438,      0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440,      0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448,      0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

// Size of the UTF-8 sequence that starts with `lead`, or 0 if it is invalid.
size_t Utf8SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// The length of the valid UTF-8 sequence at the start of `bytes`, or 0.
size_t ValidSequenceLength(std::string_view bytes) {
  const auto lead = static_cast<unsigned char>(bytes[0]);
  const size_t n = Utf8SequenceLength(lead);
  if (n == 0 || n > bytes.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    if ((static_cast<unsigned char>(bytes[k]) & 0xC0) != 0x80) return 0;
  }
  const auto second = n > 1 ? static_cast<unsigned char>(bytes[1]) : 0;
  // Overlong forms, surrogates and code points past U+10FFFF.
  if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F) ||
      (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) {
    return 0;
  }
  return n;
}

char32_t DecodeSequence(std::string_view bytes, size_t n) {
  static constexpr unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t code = static_cast<unsigned char>(bytes[0]) & kLeadMask[n];
  for (size_t k = 1; k < n; ++k) code = code << 6 | (static_cast<unsigned char>(bytes[k]) & 0x3F);
  return code;
}

void AppendUtf8(char32_t code, std::string& out) {
  char bytes[4];
  out.append(bytes, static_cast<size_t>(PutUtf8(code, bytes) - bytes));
}

}  // namespace

char* PutUtf8(char32_t code, char* to) {
  if (code < 0x80) {
    *to++ = static_cast<char>(code);
  } else if (code < 0x800) {
    *to++ = static_cast<char>(0xC0 | code >> 6);
    *to++ = static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    *to++ = static_cast<char>(0xE0 | code >> 12);
    *to++ = static_cast<char>(0x80 | (code >> 6 & 0x3F));
    *to++ = static_cast<char>(0x80 | (code & 0x3F));
  } else {
    *to++ = static_cast<char>(0xF0 | code >> 18);
    *to++ = static_cast<char>(0x80 | (code >> 12 & 0x3F));
    *to++ = static_cast<char>(0x80 | (code >> 6 & 0x3F));
    *to++ = static_cast<char>(0x80 | (code & 0x3F));
  }
  return to;
}

bool IsValidUtf8(std::string_view bytes) {
  while (!bytes.empty()) {
    const size_t n = ValidSequenceLength(bytes);
    if (n == 0) return false;
    bytes.remove_prefix(n);
  }
  return true;
}

std::string Cp1251ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    AppendUtf8(byte < 0x80 ? byte : kCp1251High[byte - 0x80], out);
  }
  return out;
}

std::string Utf8ToCp1251(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  while (!text.empty()) {
    const size_t n = ValidSequenceLength(text);
    if (n == 0) {  // not UTF-8: one byte becomes one "?"
      out += '?';
      text.remove_prefix(1);
      continue;
    }
    const char32_t code = DecodeSequence(text, n);
    text.remove_prefix(n);
    if (code < 0x80) {
      out += static_cast<char>(code);
      continue;
    }
    const auto* found = code == kUnassigned
                            ? kCp1251High.end()
                            : std::find(kCp1251High.begin(), kCp1251High.end(), code);
    out +=
        found == kCp1251High.end() ? '?' : static_cast<char>(0x80 + (found - kCp1251High.begin()));
  }
  return out;
}

std::string EntryForDisplay(std::string_view bytes) {
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return Cp1251ToUtf8(bytes);
}

}  // namespace kestrova
