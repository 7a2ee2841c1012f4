// ScanAddress for entries that have room behind them, as the lines of a
// streamed list do: the quick way through plain entries reads 16 bytes at a
// time, and is inline, since it runs once for every line of a big list.
#ifndef KESTROVA_SIFT_SCAN_PADDED_H_
#define KESTROVA_SIFT_SCAN_PADDED_H_

#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/number_text.h"
#include "base/text_set.h"
#include "sift/sift_list.h"

namespace kestrova {

// Readable bytes, whatever they hold, that ScanAddressPadded needs behind
// an entry.
inline constexpr size_t kScanSlack = 32;

namespace scan_padded {

#if defined(__SSE2__)
inline __m128i Load16(const char* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// Bit k set where byte k is `c`.
inline unsigned Matches(__m128i bytes, char c) {
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(c))));
}

inline unsigned Above(__m128i bytes, char c) {  // signed: bytes from 0x80 up are below
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpgt_epi8(bytes, _mm_set1_epi8(c))));
}

inline unsigned Digits(__m128i bytes) {
  const __m128i above = _mm_cmpgt_epi8(bytes, _mm_set1_epi8('0' - 1));
  const __m128i below = _mm_cmplt_epi8(bytes, _mm_set1_epi8('9' + 1));
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(above, below)));
}

// The first `count` bits, for count <= 16.
inline unsigned FirstBits(size_t count) { return (1u << count) - 1; }

// The value of 1 to 8 decimal digits at `p`, eight bytes of which are
// readable: the bytes after the digits are shifted out, zeros shifted in
// before them, and the eight digits combined pairwise.
inline std::uint64_t DecimalValue(const char* p, size_t count) {
  std::uint64_t v;
  std::memcpy(&v, p, 8);
  v <<= 8 * (8 - count);
  v = (v & 0x0F0F0F0F0F0F0F0Full) * 2561 >> 8;
  v = (v & 0x00FF00FF00FF00FFull) * 6553601 >> 16;
  return (v & 0x0000FFFF0000FFFFull) * 42949672960001 >> 32;
}

// The same for 1 to 3 digits, four bytes of which are readable.
inline std::uint32_t SmallDecimalValue(const char* p, int count) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  v <<= 8 * (4 - count);
  v = (v & 0x0F0F0F0Fu) * 2561 >> 8;
  return (v & 0x00FF00FFu) * 6553601 >> 16;
}

// The scan of a plain entry "a.b.c.d:tail", each of a-d one to three digits
// of at most 255, as bit masks over its first 16 bytes. False when the entry
// is not in that form; then the step-by-step scan decides.
template <bool kMakeKey>
[[gnu::always_inline]] inline bool ScanPlain(const char* p, size_t n, size_t* end, bool* host_name,
                                             std::uint64_t* plain_key) {
  const __m128i b0 = Load16(p);
  const unsigned digits = Digits(b0);
  // The four separators are the first four bytes that are not digits.
  unsigned others = ~digits & 0xFFFF;
  others &= others - 1;
  others &= others - 1;
  others &= others - 1;
  const unsigned colon = static_cast<unsigned>(std::countr_zero(others));  // 32 if none
  if (colon >= 16) return false;
  const unsigned separators = ~digits & FirstBits(colon + 1);
  const unsigned numbers = FirstBits(colon);
  // Runs of three digits, and those above "255".
  const __m128i b1 = Load16(p + 1);
  const __m128i b2 = Load16(p + 2);
  const unsigned three = digits & digits >> 1 & digits >> 2;
  const unsigned big =
      Above(b0, '2') | (Matches(b0, '2') & (Above(b1, '5') | (Matches(b1, '5') & Above(b2, '5'))));
  const bool bad = (separators & (separators << 1 | 1)) != 0 ||  // an empty number
                   (three & digits >> 3 & numbers) != 0 ||       // four digits
                   (three & big & numbers) != 0 ||               // above 255
                   ((separators ^ 1u << colon) & ~Matches(b0, '.')) != 0 ||
                   !(Matches(b0, ':') >> colon & 1);
  const size_t tail = colon + 1;
  if (bad || tail >= n || p[tail] == ':') return false;

  // Where the tail stops: a blank, ";", ".." or "::" (both characters in the
  // entry), or the end; "www." anywhere before that makes it a host name.
  unsigned port_digits = 0;  // of the tail's first 16 bytes
  for (size_t i = tail;; i += 16) {
    const size_t left = n - i;
    const __m128i t0 = Load16(p + i);
    const __m128i t1 = Load16(p + i + 1);
    const unsigned in_entry = left >= 16 ? 0xFFFF : FirstBits(left);
    const unsigned pairs_in_entry = left > 16 ? 0xFFFF : FirstBits(left - 1);
    unsigned stops =
        ((Matches(t0, ' ') | Matches(t0, ';')) & in_entry) |
        (((Matches(t0, '.') & Matches(t1, '.')) | (Matches(t0, ':') & Matches(t1, ':'))) &
         pairs_in_entry);
    if (left <= 16) stops |= 1u << left;
    const unsigned www = Matches(t0, 'w') & Matches(t1, 'w') & Matches(Load16(p + i + 2), 'w') &
                         Matches(Load16(p + i + 3), '.') &
                         (left > 18  ? 0xFFFF
                          : left > 3 ? FirstBits(left - 3)
                                     : 0);
    const unsigned stop = static_cast<unsigned>(std::countr_zero(stops | 0x10000));
    if (www & FirstBits(stop)) {
      *host_name = true;
      return true;
    }
    if constexpr (kMakeKey) {
      if (i == tail) port_digits = Digits(t0);
    }
    if (stop < 16 || left <= 16) {
      *end = i + stop;
      break;
    }
  }
  *host_name = false;
  if constexpr (kMakeKey) {
    const size_t length = *end - tail;
    if (length >= 1 && length <= 6 && (port_digits & FirstBits(length)) == FirstBits(length)) {
      // Each number's digits, found from where the separators are, all at
      // once rather than one number after the other.
      const unsigned s0 = static_cast<unsigned>(std::countr_zero(separators));
      const unsigned rest1 = separators & (separators - 1);
      const unsigned s1 = static_cast<unsigned>(std::countr_zero(rest1));
      const unsigned s2 = static_cast<unsigned>(std::countr_zero(rest1 & (rest1 - 1)));
      const unsigned starts[4] = {0, s0 + 1, s1 + 1, s2 + 1};
      const unsigned ends[4] = {s0, s1, s2, colon};
      SmallNumber parts[4];
      for (int k = 0; k < 4; ++k) {
        const int digits = static_cast<int>(ends[k] - starts[k]);
        parts[k] = {digits, static_cast<int>(SmallDecimalValue(p + starts[k], digits))};
      }
      *plain_key = PlainEntryKey(parts, length, DecimalValue(p + tail, length));
    }
  }
  return true;
}
#endif

}  // namespace scan_padded

// ScanAddress, and with `plain_key` (null when none is wanted) the same as
// ScanAddress with a key, for an entry followed in memory by at least
// kScanSlack readable bytes.
[[gnu::always_inline]] inline std::optional<std::string_view> ScanAddressPadded(
    std::string_view entry, SiftSwitches switches, std::uint64_t* plain_key) {
#if defined(__SSE2__)
  if (plain_key) *plain_key = 0;
  if (entry.starts_with("www.")) return ScanHostNameEntry(entry, switches);
  if (switches.only_www || entry.empty()) return std::nullopt;
  size_t end = 0;
  bool host_name = false;
  const bool plain =
      plain_key
          ? scan_padded::ScanPlain<true>(entry.data(), entry.size(), &end, &host_name, plain_key)
          : scan_padded::ScanPlain<false>(entry.data(), entry.size(), &end, &host_name, nullptr);
  if (!plain) return ScanAddressStepByStep(entry, switches);
  if (host_name) return ScanHostNameEntry(entry, switches);
  return entry.substr(0, end);
#else
  if (!plain_key) return ScanAddress(entry, switches);
  return ScanAddress(entry, switches, plain_key);
#endif
}

}  // namespace kestrova

#endif  // KESTROVA_SIFT_SCAN_PADDED_H_
