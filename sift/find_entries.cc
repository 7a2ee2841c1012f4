#include "sift/find_entries.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "base/number_text.h"
#include "base/text_set.h"

namespace kestrova {
namespace {

// Every run a decision reads is bounded, so that no decision reads further
// than EntryFinder's reach.
constexpr size_t kMaxPortDigits = 16;     // leading zeros included
constexpr size_t kMaxGap = 512;           // between an address and its port
constexpr size_t kMaxTag = 256;           // one HTML tag in such a gap
constexpr size_t kMaxRecordReach = 2048;  // a record's "port", either way
constexpr size_t kMaxBlanks = 16;         // around a record's ':'
constexpr size_t kMaxName = 253;
constexpr size_t kMaxCredential = 256;
constexpr size_t kMaxScheme = 32;
constexpr size_t kMaxIpv6 = 45;

// A byte of the text as a number, or -1 outside it: the text's ends read as
// a boundary.
struct Bytes {
  const char* begin;
  const char* end;
  int operator()(const char* p) const {
    return p >= begin && p < end ? static_cast<unsigned char>(*p) : -1;
  }
};

// The same where the text is known to go on far enough: no bounds to check.
struct NearBytes {
  int operator()(const char* p) const { return static_cast<unsigned char>(*p); }
};

bool IsDigit(int c) { return static_cast<unsigned>(c - '0') < 10u; }
bool IsLetter(int c) { return c >= 0 && static_cast<unsigned>((c | 0x20) - 'a') < 26u; }
bool IsAlnum(int c) { return IsDigit(c) || IsLetter(c); }
bool IsHex(int c) { return IsDigit(c) || static_cast<unsigned>((c | 0x20) - 'a') < 6u; }
// What an address must not follow.
bool IsWordByte(int c) { return IsAlnum(c) || c == '_' || c == '.'; }
bool IsNameByte(int c) { return IsAlnum(c) || c == '-' || c == '.'; }
bool IsBlank(int c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
char Lower(char c) {
  return IsLetter(static_cast<unsigned char>(c)) ? static_cast<char>(c | 0x20) : c;
}

// A byte of a user name or password given with ':' and '@' around it.
bool IsCredentialByte(int c) {
  if (c <= 0x20 || c == 0x7F) return false;
  return !std::strchr(":@/\"'<>,;|[]", c);
}

// Where entries may start, a bit for each of the 16 bytes at p: a digit or
// '[' that follows no word byte, and a ':' between a name byte and a digit.
// Reads the byte before p and the one after the 16.
unsigned CandidateMask(const char* p) {
#if defined(__SSE2__)
  const auto load = [](const char* at) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  };
  // Bytes in [low, low + count).
  const auto in = [](__m128i b, char low, char count) {
    const __m128i d = _mm_sub_epi8(b, _mm_set1_epi8(low));
    return _mm_cmpeq_epi8(_mm_min_epu8(d, _mm_set1_epi8(static_cast<char>(count - 1))), d);
  };
  const auto is = [](__m128i b, char c) { return _mm_cmpeq_epi8(b, _mm_set1_epi8(c)); };
  const __m128i here = load(p);
  const __m128i before = load(p - 1);
  const __m128i after = load(p + 1);
  const __m128i before_lower = _mm_or_si128(before, _mm_set1_epi8(0x20));
  const __m128i before_alnum = _mm_or_si128(in(before, '0', 10), in(before_lower, 'a', 26));
  const __m128i before_word =
      _mm_or_si128(before_alnum, _mm_or_si128(is(before, '_'), is(before, '.')));
  const __m128i before_name =
      _mm_or_si128(before_alnum, _mm_or_si128(is(before, '-'), is(before, '.')));
  const __m128i starts =
      _mm_andnot_si128(before_word, _mm_or_si128(in(here, '0', 10), is(here, '[')));
  const __m128i colons =
      _mm_and_si128(is(here, ':'), _mm_and_si128(before_name, in(after, '0', 10)));
  return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(starts, colons)));
#else
  unsigned mask = 0;
  for (int i = 0; i < 16; ++i) {
    const int c = static_cast<unsigned char>(p[i]);
    const int b = static_cast<unsigned char>(p[i - 1]);
    if (((IsDigit(c) || c == '[') && !IsWordByte(b)) ||
        (c == ':' && IsNameByte(b) && IsDigit(static_cast<unsigned char>(p[i + 1])))) {
      mask |= 1u << i;
    }
  }
  return mask;
#endif
}

// The candidates of the last 16 bytes looked at, for the next search: a
// text of numbers has several in every 16 bytes.
class Candidates {
 public:
  explicit Candidates(const char* p) : block_(p), mask_(CandidateMask(p)) {}

  // The first candidate in [p, limit), or limit; reads the byte before p
  // and up to 16 bytes past limit.
  const char* Next(const char* p, const char* limit) {
    while (p < limit) {
      if (p < block_ || p >= block_ + 16) {
        block_ = p;
        mask_ = CandidateMask(p);
      }
      const unsigned mask = mask_ & (~0u << (p - block_));
      if (mask != 0) {
        p = block_ + std::countr_zero(mask);
        return p < limit ? p : limit;
      }
      p = block_ + 16;
    }
    return limit;
  }

 private:
  const char* block_;
  unsigned mask_;
};

// The port that is the whole run of digits at p: the run's end, or null when
// it is no port (0, above 65535, or too long to be one).
template <typename At>
const char* ReadPort(const At& at, const char* p, std::uint32_t* port) {
  const char* q = p;
  std::uint32_t value = 0;
  while (IsDigit(at(q))) {
    if (static_cast<size_t>(q - p) == kMaxPortDigits) return nullptr;
    value = value * 10 + static_cast<std::uint32_t>(*q - '0');
    if (value > 65535) return nullptr;
    ++q;
  }
  if (value == 0) return nullptr;
  *port = value;
  return q;
}

// What a port must not run on into.
template <typename At>
bool PortEnds(const At& at, const char* q) {
  const int c = at(q);
  if (IsAlnum(c) || c == '_') return false;
  return !(c == '.' && IsDigit(at(q + 1)));
}

// A dotted quad at p, each part one to three digits of at most 255: its end,
// or null. Five parts, or a word going on, are no address.
template <typename At>
const char* ReadIpv4(const At& at, const char* p, std::uint8_t parts[4]) {
  const char* q = p;
  for (int i = 0; i < 4; ++i) {
    if (i > 0) {
      if (at(q) != '.') return nullptr;
      ++q;
    }
    int value = 0;
    int digits = 0;
    while (IsDigit(at(q))) {
      if (++digits > 3) return nullptr;
      value = value * 10 + (*q - '0');
      ++q;
    }
    if (digits == 0 || value > 255) return nullptr;
    parts[i] = static_cast<std::uint8_t>(value);
  }
  const int c = at(q);
  if ((c == '.' && IsDigit(at(q + 1))) || IsAlnum(c) || c == '_') return nullptr;
  return q;
}

// Dot-separated labels of letters, digits and '-', none beginning or ending
// with '-', the last of 2 to 63 letters.
bool IsHostName(const char* p, const char* end) {
  if (end - p > static_cast<std::ptrdiff_t>(kMaxName)) return false;
  bool dotted = false;
  while (true) {
    const char* label = p;
    bool letters_only = true;
    while (p < end && *p != '.') {
      letters_only = letters_only && IsLetter(static_cast<unsigned char>(*p));
      ++p;
    }
    const std::ptrdiff_t size = p - label;
    if (size == 0 || size > 63 || *label == '-' || p[-1] == '-') return false;
    if (p == end) return dotted && letters_only && size >= 2;
    dotted = true;
    ++p;
  }
}

// A host and its port right after ':' at p, for telling credentials that
// look like an entry ("user.name:1234@host:port") from the entry.
bool HostPortAt(const Bytes& at, const char* p) {
  std::uint8_t parts[4];
  std::uint32_t port;
  const char* q = nullptr;
  if (at(p) == '[') {
    q = p + 1;
    while (q - p <= static_cast<std::ptrdiff_t>(kMaxIpv6) &&
           (IsHex(at(q)) || at(q) == ':' || at(q) == '.'))
      ++q;
    if (at(q) != ']' || !IsIpv6Text(p + 1, static_cast<size_t>(q - p - 1))) return false;
    ++q;
  } else if (!(q = ReadIpv4(at, p, parts))) {
    q = p;
    while (q - p <= static_cast<std::ptrdiff_t>(kMaxName) && IsNameByte(at(q))) ++q;
    if (!IsHostName(p, q)) return false;
  }
  if (at(q) != ':') return false;
  const char* e = ReadPort(at, q + 1, &port);
  return e && PortEnds(at, e);
}

// Whether what follows a port makes the host:port before it credentials.
bool IsCredentials(const Bytes& at, const char* port_end) {
  const int c = at(port_end);
  return (c == '@' || c == ':') && HostPortAt(at, port_end + 1);
}

const char* SkipBlanks(const Bytes& at, const char* p) {
  for (size_t n = 0; n < kMaxBlanks && IsBlank(at(p)); ++n) ++p;
  return p;
}

const char* SkipBlanksBack(const Bytes& at, const char* p) {
  for (size_t n = 0; n < kMaxBlanks && IsBlank(at(p)); ++n) --p;
  return p;
}

bool EqualsNoCase(const char* p, const char* end, const char* word) {
  const size_t size = std::strlen(word);
  if (static_cast<size_t>(end - p) != size) return false;
  for (size_t i = 0; i < size; ++i) {
    if (Lower(p[i]) != word[i]) return false;
  }
  return true;
}

bool IsAddressKey(const char* p, const char* end) {
  for (const char* key : {"ip", "host", "address", "addr", "server"}) {
    if (EqualsNoCase(p, end, key)) return true;
  }
  return false;
}

// The value after a record's key that ends at `key_end` (its closing quote):
// `: 8080` or `: "8080"`.
bool ReadRecordPort(const Bytes& at, const char* key_end, std::uint32_t* port) {
  const char* p = SkipBlanks(at, key_end + 1);
  if (at(p) != ':') return false;
  p = SkipBlanks(at, p + 1);
  const bool quoted = at(p) == '"';
  const char* e = ReadPort(at, p + quoted, port);
  if (!e) return false;
  if (quoted) return at(e) == '"';
  return at(e) != '.' && !IsAlnum(at(e)) && at(e) != '_';
}

// A record's "port" key at its own depth, after `from` up to the record's
// end.
bool FindPortAfter(const Bytes& at, const char* from, std::uint32_t* port) {
  int depth = 0;
  const char* limit = from + kMaxRecordReach;
  for (const char* p = from; p < limit; ++p) {
    const int c = at(p);
    if (c < 0) return false;
    if (c == '"') {
      const char* s = p + 1;
      for (p = s; p < limit && at(p) != '"'; ++p) {
        if (at(p) == '\\') ++p;
      }
      if (p >= limit) return false;
      if (depth == 0 && EqualsNoCase(s, p, "port") && ReadRecordPort(at, p, port)) return true;
    } else if (c == '{' || c == '[') {
      ++depth;
    } else if (c == '}' || c == ']') {
      if (depth-- == 0) return false;
    }
  }
  return false;
}

// The same before `from`, back to the record's start.
bool FindPortBefore(const Bytes& at, const char* from, std::uint32_t* port) {
  int depth = 0;
  const std::ptrdiff_t room = from - at.begin;
  const char* lowest =
      room > static_cast<std::ptrdiff_t>(kMaxRecordReach) ? from - kMaxRecordReach : at.begin;
  for (const char* p = from; p >= lowest; --p) {
    const int c = at(p);
    if (c == '"') {
      const char* e = p;
      do {
        if (p == lowest) return false;
        --p;
      } while (!(at(p) == '"' && at(p - 1) != '\\'));
      if (depth == 0 && EqualsNoCase(p + 1, e, "port") && ReadRecordPort(at, e, port)) return true;
    } else if (c == '}' || c == ']') {
      ++depth;
    } else if (c == '{' || c == '[') {
      if (depth-- == 0) return false;
    }
    if (p == lowest) return false;
  }
  return false;
}

void AppendNumber(std::string& to, unsigned value) {
  char digits[8];
  char* p = digits + sizeof digits;
  do {
    *--p = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  to.append(p, digits + sizeof digits);
}

// Credentials as they go into a URL.
void AppendEncoded(std::string& to, const char* p, const char* end) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  for (; p < end; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    if (c <= 0x20 || c == 0x7F || std::strchr(":@/%?#", c)) {
      to += '%';
      to += kHex[c >> 4];
      to += kHex[c & 15];
    } else {
      to += static_cast<char>(c);
    }
  }
}

int DigitCount(unsigned value) {
  return value >= 10000 ? 5 : value >= 1000 ? 4 : value >= 100 ? 3 : value >= 10 ? 2 : 1;
}

}  // namespace

struct EntryFinder::Text : Bytes {};

struct EntryFinder::Host {
  enum Kind { kIpv4, kName, kIpv6 } kind = kIpv4;
  // How the port was given: right after a ':', in a field of its own, or
  // under a record's "port" key.
  enum Form { kDirect, kApart, kRecord } form = kDirect;
  const char* begin = nullptr;  // the host as the text has it
  const char* end = nullptr;
  std::uint8_t parts[4] = {};
  std::uint32_t port = 0;
  const char* port_begin = nullptr;  // for a port in a field of its own
  const char* resume = nullptr;      // where the scan goes on
};

// An address and a port right after it, read without bounds checks where
// the text goes on past the longest one.
template <typename At>
const char* ReadDirect(const At& at, const char* p, std::uint8_t parts[4], const char** port_end,
                       std::uint32_t* port) {
  const char* q = ReadIpv4(at, p, parts);
  *port_end = nullptr;
  if (q && at(q) == ':') {
    const char* e = ReadPort(at, q + 1, port);
    if (e && PortEnds(at, e)) *port_end = e;
  }
  return q;
}

bool EntryFinder::AtDigit(const Text& t, const char* p, Host* host) {
  constexpr std::ptrdiff_t kLongestDirect = 48;
  const char* e;
  const char* q = t.end - p > kLongestDirect
                      ? ReadDirect(NearBytes(), p, host->parts, &e, &host->port)
                      : ReadDirect(t, p, host->parts, &e, &host->port);
  if (!q) return false;
  host->kind = Host::kIpv4;
  host->begin = p;
  host->end = q;
  if (t(q) == ':') {
    if (!e || IsCredentials(t, e)) return false;
    host->form = Host::kDirect;
    host->resume = e;
    return true;
  }
  // The port in a field of its own: only separators and markup between.
  const char* r = q;
  for (const char* limit = q + kMaxGap; r < limit;) {
    const int c = t(r);
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '|' || c == ',' || c == ';' ||
        c == '"' || c == '\'') {
      ++r;
    } else if (c == '<') {
      const char* s = r + 1;
      while (s - r < static_cast<std::ptrdiff_t>(kMaxTag) && t(s) >= 0 && t(s) != '>' &&
             t(s) != '<')
        ++s;
      if (t(s) != '>') break;
      r = s + 1;
    } else if (c == '&' && t(r + 5) >= 0 && EqualsNoCase(r + 1, r + 6, "nbsp;")) {
      r += 6;
    } else {
      break;
    }
  }
  if (r != q && IsDigit(t(r))) {
    const char* e = ReadPort(t, r, &host->port);
    if (e && PortEnds(t, e) && !(t(e) == ':' && IsDigit(t(e + 1)))) {
      host->form = Host::kApart;
      host->port_begin = r;
      host->resume = e;
      return true;
    }
    return false;
  }
  // A record's address string, "ip": "a.b.c.d", with "port" beside it.
  if (t(p - 1) != '"' || t(q) != '"') return false;
  const char* k = SkipBlanksBack(t, p - 2);
  if (t(k) != ':') return false;
  k = SkipBlanksBack(t, k - 1);
  if (t(k) != '"') return false;
  const char* key = k - 1;
  while (k - key <= 8 && IsLetter(t(key))) --key;
  if (t(key) != '"' || !IsAddressKey(key + 1, k)) return false;
  if (!FindPortAfter(t, q + 1, &host->port) && !FindPortBefore(t, key - 1, &host->port)) {
    return false;
  }
  host->form = Host::kRecord;
  host->resume = q + 1;
  return true;
}

bool EntryFinder::AtColon(const Text& t, const char* p, Host* host) {
  const char* s = p;
  while (p - s <= static_cast<std::ptrdiff_t>(kMaxName) && IsNameByte(t(s - 1))) --s;
  if (s == p || IsNameByte(t(s - 1)) || t(s - 1) == '_' || !IsHostName(s, p)) return false;
  const char* e = ReadPort(t, p + 1, &host->port);
  if (!e || !PortEnds(t, e) || IsCredentials(t, e)) return false;
  host->kind = Host::kName;
  host->begin = s;
  host->end = p;
  host->resume = e;
  return true;
}

bool EntryFinder::AtBracket(const Text& t, const char* p, Host* host) {
  const char* q = p + 1;
  while (q - p <= static_cast<std::ptrdiff_t>(kMaxIpv6) &&
         (IsHex(t(q)) || t(q) == ':' || t(q) == '.'))
    ++q;
  if (t(q) != ']' || t(q + 1) != ':' || !IsIpv6Text(p + 1, static_cast<size_t>(q - p - 1))) {
    return false;
  }
  const char* e = ReadPort(t, q + 2, &host->port);
  if (!e || !PortEnds(t, e) || IsCredentials(t, e)) return false;
  host->kind = Host::kIpv6;
  host->begin = p;
  host->end = q + 1;
  host->resume = e;
  return true;
}

namespace {

struct Span {
  const char* begin = nullptr;
  const char* end = nullptr;
  bool empty() const { return begin == end; }
};

// A password may hold '@' and '/' too, and one that ends a field ':'.
bool IsPasswordByte(int c) { return IsCredentialByte(c) || c == '@' || c == '/'; }

// "user:pass" ending at `end`, read backwards.
bool CredentialsBefore(const Bytes& at, const char* end, Span* user, Span* pass) {
  const char* p = end;
  while (end - p < static_cast<std::ptrdiff_t>(kMaxCredential) && IsPasswordByte(at(p - 1))) --p;
  if (p == end || at(p - 1) != ':') return false;
  *pass = {p, end};
  const char* u = p - 1;
  while (p - 1 - u < static_cast<std::ptrdiff_t>(kMaxCredential) && IsCredentialByte(at(u - 1)))
    --u;
  if (u == p - 1 || IsCredentialByte(at(u - 1))) return false;
  *user = {u, p - 1};
  return true;
}

// "user:pass" from `p` on, ending where a field would.
bool CredentialsAfter(const Bytes& at, const char* p, Span* user, Span* pass) {
  const char* q = p;
  while (q - p < static_cast<std::ptrdiff_t>(kMaxCredential) && IsCredentialByte(at(q))) ++q;
  if (q == p || at(q) != ':') return false;
  const char* r = q + 1;
  while (r - q - 1 < static_cast<std::ptrdiff_t>(kMaxCredential) &&
         (IsPasswordByte(at(r)) || at(r) == ':')) {
    ++r;
  }
  if (r == q + 1 || IsPasswordByte(at(r)) || at(r) == ':') return false;
  *user = {p, q};
  *pass = {q + 1, r};
  return true;
}

// A CSV field from `p` to the next ',' or line end.
const char* FieldEnd(const Bytes& at, const char* p) {
  const char* q = p;
  while (q - p < static_cast<std::ptrdiff_t>(kMaxCredential) && at(q) >= 0 && at(q) != ',' &&
         at(q) != '\r' && at(q) != '\n') {
    ++q;
  }
  return q;
}

// "scheme://" ending at `end`.
Span SchemeBefore(const Bytes& at, const char* end) {
  if (at(end - 1) != '/' || at(end - 2) != '/' || at(end - 3) != ':') return {};
  const char* e = end - 3;
  const char* s = e;
  while (e - s < static_cast<std::ptrdiff_t>(kMaxScheme) &&
         (IsAlnum(at(s - 1)) || at(s - 1) == '+' || at(s - 1) == '-' || at(s - 1) == '.')) {
    --s;
  }
  if (s == e || !IsLetter(at(s)) || IsAlnum(at(s - 1))) return {};
  return {s, e};
}

}  // namespace

void EntryFinder::Add(const Text& t, const Host& host, std::vector<FoundEntry>* found) {
  if (host.kind == Host::kName) {
    if (switches_.scan.drop_host_names) return;
    if (switches_.scan.only_www &&
        !(host.end - host.begin > 4 && EqualsNoCase(host.begin, host.begin + 4, "www.")))
      return;
  } else if (switches_.scan.only_www) {
    return;
  }
  Span scheme;
  Span user;
  Span pass;
  if (switches_.keep_auth) {
    const char* lead = host.begin;
    const int before = t(lead - 1);
    if ((before == '@' || (before == ':' && host.form == Host::kDirect)) &&
        CredentialsBefore(t, lead - 1, &user, &pass)) {
      lead = user.begin;
    }
    scheme = SchemeBefore(t, lead);
    if (!scheme.empty()) lead = scheme.begin;
    const char* e = host.resume;
    if (!user.empty() || host.form == Host::kRecord) {
    } else if (host.form == Host::kDirect) {
      const int c = t(e);
      if (c == '@' || c == ':' || c == '|') CredentialsAfter(t, e + 1, &user, &pass);
      if (c == '#' && t(e + 1) == '#') CredentialsAfter(t, e + 2, &user, &pass);
    } else if (t(host.end) == ',' && host.port_begin == host.end + 1 && t(e) == ',' &&
               (t(lead - 1) < 0 || t(lead - 1) == '\n' || t(lead - 1) == '\r')) {
      // "ip,port,user,pass", a line of exactly four fields
      const char* u = FieldEnd(t, e + 1);
      const char* w = u + 1;
      const char* v = FieldEnd(t, w);
      if (u != e + 1 && t(u) == ',' && v != w && t(v) != ',') {
        user = {e + 1, u};
        pass = {w, v};
      }
    }
  }
  FoundEntry entry;
  entry.port = static_cast<std::uint16_t>(host.port);
  if (host.kind == Host::kIpv4 && scheme.empty() && user.empty()) {
    std::memcpy(entry.parts, host.parts, 4);
    SmallNumber numbers[4];
    for (int i = 0; i < 4; ++i) numbers[i] = {DigitCount(host.parts[i]), host.parts[i]};
    entry.key = PlainEntryKey(numbers, static_cast<size_t>(DigitCount(host.port)), host.port);
    found->push_back(entry);
    return;
  }
  entry.text_begin = static_cast<std::uint32_t>(texts_.size());
  if (!scheme.empty()) {
    for (const char* p = scheme.begin; p < scheme.end; ++p) texts_ += Lower(*p);
    texts_ += "://";
  }
  if (!user.empty()) {
    AppendEncoded(texts_, user.begin, user.end);
    texts_ += ':';
    AppendEncoded(texts_, pass.begin, pass.end);
    texts_ += '@';
  }
  if (host.kind == Host::kIpv4) {
    for (int i = 0; i < 4; ++i) {
      if (i > 0) texts_ += '.';
      AppendNumber(texts_, host.parts[i]);
    }
  } else {
    for (const char* p = host.begin; p < host.end; ++p) texts_ += Lower(*p);
  }
  texts_ += ':';
  AppendNumber(texts_, host.port);
  entry.text_size = static_cast<std::uint32_t>(texts_.size() - entry.text_begin);
  found->push_back(entry);
}

const char* EntryFinder::Scan(const char* begin, const char* from, const char* limit,
                              const char* end, std::vector<FoundEntry>* found) {
  const Text t{{begin, end}};
  Candidates candidates(from);
  const char* p = from;
  while (true) {
    // An entry may have run on past the limit: the next piece starts after it.
    const char* next = candidates.Next(p, limit);
    if (next >= limit) return std::max(p, limit);
    p = next;
    Host host;
    bool hit = false;
    if (*p == ':') {
      hit = IsDigit(t(p + 1)) && AtColon(t, p, &host);
    } else if (*p == '[') {
      hit = !IsWordByte(t(p - 1)) && AtBracket(t, p, &host);
    } else if (!IsWordByte(t(p - 1))) {
      hit = AtDigit(t, p, &host);
    }
    if (hit) {
      Add(t, host, found);
      p = host.resume;
    } else {
      ++p;
    }
  }
}

namespace {

// Each number 0-255 as it is written, followed by a dot: random addresses
// would make a branch per digit a guess.
struct OctetText {
  char text[4];
  std::uint8_t size;  // the dot included
};

constexpr std::array<OctetText, 256> MakeOctetTexts() {
  std::array<OctetText, 256> texts{};
  for (int v = 0; v < 256; ++v) {
    OctetText& t = texts[v];
    int n = 0;
    if (v >= 100) t.text[n++] = static_cast<char>('0' + v / 100);
    if (v >= 10) t.text[n++] = static_cast<char>('0' + v / 10 % 10);
    t.text[n++] = static_cast<char>('0' + v % 10);
    t.text[n++] = '.';
    t.size = static_cast<std::uint8_t>(n);
  }
  return texts;
}

constexpr std::array<OctetText, 256> kOctetTexts = MakeOctetTexts();

}  // namespace

size_t FormatPlainEntry(const FoundEntry& entry, char* to) {
  char* p = to;
  for (const std::uint8_t part : entry.parts) {
    std::memcpy(p, kOctetTexts[part].text, 4);
    p += kOctetTexts[part].size;
  }
  p[-1] = ':';
  // The port's five digits, of which the leading zeros are skipped.
  char digits[16];
  unsigned port = entry.port;
  for (int i = 4; i >= 0; --i) {
    digits[i] = static_cast<char>('0' + port % 10);
    port /= 10;
  }
  const int size = DigitCount(entry.port);
  std::memcpy(p, digits + 5 - size, 8);
  return static_cast<size_t>(p + size - to);
}

bool IsIpv6Text(const char* p, size_t n) {
  size_t i = 0;
  int groups = 0;
  bool gap = false;
  if (n >= 2 && p[0] == ':' && p[1] == ':') {
    gap = true;
    i = 2;
  } else if (n == 0 || p[0] == ':') {
    return false;
  }
  while (i < n) {
    size_t j = i;
    while (j < n && IsHex(static_cast<unsigned char>(p[j]))) ++j;
    if (j < n && p[j] == '.') {
      // The last 32 bits as a dotted quad: the rest of the text.
      std::uint8_t parts[4];
      const Bytes at{p + i, p + n};
      const char* e = ReadIpv4(at, p + i, parts);
      if (e != p + n) return false;
      groups += 2;
      break;
    }
    if (j == i || j - i > 4) return false;
    ++groups;
    i = j;
    if (i == n) break;
    if (p[i] != ':' || ++i == n) return false;
    if (p[i] == ':') {
      if (gap) return false;
      gap = true;
      ++i;
    }
  }
  return gap ? groups < 8 : groups == 8;
}

}  // namespace kestrova
