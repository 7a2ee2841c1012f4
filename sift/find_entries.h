// `kestrova sift --find`: proxy entries read out of any text that lists are
// published as (plain lists, URLs, CSV, JSON, HTML tables, the annotated
// output of other tools, entries with credentials), not line by line.
#ifndef KESTROVA_SIFT_FIND_ENTRIES_H_
#define KESTROVA_SIFT_FIND_ENTRIES_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sift/sift_list.h"

namespace kestrova {

struct FindSwitches {
  SiftSwitches scan;       // drop host names; keep only "www." names
  bool keep_auth = false;  // keep the scheme and the credentials the text gave
};

// One entry found. A plain IPv4 entry (no scheme, no credentials) is kept as
// its numbers, written out only when it is new; every other one as text.
struct FoundEntry {
  std::uint64_t key = 0;  // PlainEntryKey of the written text, or 0
  std::uint8_t parts[4] = {};
  std::uint16_t port = 0;
  std::uint32_t text_begin = 0;  // with key == 0: the text in the finder's Texts()
  std::uint32_t text_size = 0;
};

// Writes a plain IPv4 entry as "a.b.c.d:port" at `to` (24 bytes of room);
// returns its size.
size_t FormatPlainEntry(const FoundEntry& entry, char* to);

class EntryFinder {
 public:
  // How far any decision reads ahead of, and behind, the byte it starts at.
  // A caller that scans a long text in pieces keeps this much around each
  // piece, so that what is found does not depend on where the pieces end.
  static constexpr size_t kReachAhead = 4096;
  static constexpr size_t kReachBehind = 4096;

  explicit EntryFinder(const FindSwitches& switches) : switches_(switches) {}

  // Finds the entries that start in [from, limit) of a text, in order, and
  // appends them to `found` (and their texts to Texts()). The text's bytes
  // from `begin` to `end` are readable, and 16 past `end`, whatever they
  // hold, and one byte before `begin`, which is no letter, digit, '_', '.'
  // or '-'; `begin` is
  // the text's start or at least kReachBehind before `from`, `end` its end or
  // at least kReachAhead past `limit`. Returns where the next piece starts:
  // `limit`, or past it when an entry runs on over `limit`.
  const char* Scan(const char* begin, const char* from, const char* limit, const char* end,
                   std::vector<FoundEntry>* found);

  const std::string& Texts() const { return texts_; }
  void ClearTexts() { texts_.clear(); }

 private:
  struct Text;
  struct Host;
  bool AtDigit(const Text& t, const char* p, Host* host);
  bool AtColon(const Text& t, const char* p, Host* host);
  bool AtBracket(const Text& t, const char* p, Host* host);
  void Add(const Text& t, const Host& host, std::vector<FoundEntry>* found);

  FindSwitches switches_;
  std::string texts_;
};

// Whether `text` is a valid IPv6 address (no zone), as written in brackets.
bool IsIpv6Text(const char* p, size_t size);

}  // namespace kestrova

#endif  // KESTROVA_SIFT_FIND_ENTRIES_H_
