// A set of distinct texts, for dropping repeats: in the window's list and in
// lists of any size cleaned by scripts.
#ifndef KESTROVA_BASE_TEXT_SET_H_
#define KESTROVA_BASE_TEXT_SET_H_

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "base/number_text.h"
#include "os/memory.h"

namespace kestrova {

// Most kept texts are "a.b.c.d:port": four numbers of one to three digits,
// each at most 255, and a port of one to six digits. Such a text is one
// 64-bit key: each number's digit count and value, so "07" and "7" differ.
// The key of a text in this form, or 0 when it is not in it.
std::uint64_t PlainEntryKey(std::string_view text);
// The same key from the parts, for a reader that has them at hand.
inline std::uint64_t PlainEntryKey(const SmallNumber (&numbers)[4], size_t port_digits,
                                   std::uint64_t port) {
  std::uint64_t key = 1;  // keeps every key nonzero
  for (const SmallNumber& n : numbers) {
    key =
        key << 10 | static_cast<std::uint64_t>(n.digits) << 8 | static_cast<std::uint64_t>(n.value);
  }
  return key << 23 | std::uint64_t{port_digits} << 20 | port;
}

class TextSet {
 public:
  // Adds a copy of `text` unless an equal text is in the set already; true
  // when it was added. Texts compare byte for byte.
  bool Insert(std::string_view text) { return Insert(text, Prepare(text)); }

  // A text's hash, and its PlainEntryKey (0 when it has none).
  struct Prepared {
    std::uint64_t hash;
    std::uint64_t key;
  };
  // For callers that insert many texts: Prepare them and Prefetch their
  // slots a few texts ahead, then Insert each. A large set is far bigger than
  // the processor's caches, and this hides the wait for memory.
  static Prepared Prepare(std::string_view text);
  // For a text whose PlainEntryKey the caller has already made.
  static Prepared PrepareKey(std::uint64_t key) { return {KeyHash(key), key}; }
  void Prefetch(const Prepared& prepared) const {
#if defined(__GNUC__)
    const Table& table = prepared.key ? keys_ : texts_;
    if (table.memory.size() != 0) __builtin_prefetch(&table.Slots()[table.Home(prepared.hash)]);
#endif
  }
  // Inline for the common case, a key in a table with room for it.
  bool Insert(std::string_view text, const Prepared& prepared) {
    if (!prepared.key) return InsertText(text, prepared.hash);
    if (keys_.Full()) return InsertKey(prepared.key, prepared.hash);
    return AddKey(prepared.key, prepared.hash);
  }

  // Inserts `count` texts as Insert would, one after the other: `added[i]`
  // tells whether text i was added; `text_of(i)` gives text i where it has
  // no key. Quicker than Insert one text at a time between other work: the
  // slots of a few dozen texts are fetched together, so their waits for
  // memory overlap.
  template <typename TextOf>
  void InsertMany(const Prepared* prepared, size_t count, TextOf text_of, bool* added) {
    constexpr size_t kAhead = 64;
    for (size_t i = 0; i < count && i < kAhead; ++i) Prefetch(prepared[i]);
    for (size_t i = 0; i < count; ++i) {
      if (i + kAhead < count) Prefetch(prepared[i + kAhead]);
      added[i] = Insert(prepared[i].key ? std::string_view() : text_of(i), prepared[i]);
    }
  }

  // The mix that spreads keys over the table, and ends a text's hash.
  static std::uint64_t KeyHash(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDull;
    h ^= h >> 33;
    h *= 0xC4CEB9FE1A85EC53ull;
    return h ^ (h >> 33);
  }

  size_t Size() const { return keys_.used + texts_.used; }

  // Makes room for `count` texts in PlainEntryKey form, for a caller that can
  // tell roughly how many are coming.
  void ReserveKeys(size_t count);

 private:
  // Open addressing in order of the hash's top bits, so that growing walks
  // the old table and fills the new one in order. 0 is a free slot.
  struct Table {
    LargeBlock memory;
    size_t mask = 0;  // slots - 1
    int shift = 64;   // 64 - log2(slots)
    size_t used = 0;

    std::uint64_t* Slots() const { return static_cast<std::uint64_t*>(memory.data()); }
    size_t Home(std::uint64_t hash) const { return static_cast<size_t>(hash >> shift); }
    bool Full() const { return (used + 1) * 10 > (mask + 1) * 7; }
  };
  // Moves `table` into `slots` slots; `home(slot, table)` gives a slot's new
  // home.
  template <typename Home>
  static void Resize(Table& table, size_t slots, Home home);
  // The size of `table` doubled (or its first size).
  static size_t Doubled(const Table& table);
  static size_t KeyHome(std::uint64_t slot, const Table& table);

  // Other texts are kept once, behind their length, in blocks that never
  // move; their slot holds the top bits of their hash over their place + 1.
  static constexpr int kBlockBits = 25;
  static constexpr int kPlaceBits = 36;
  static constexpr std::uint64_t kPlaceMask = (std::uint64_t{1} << kPlaceBits) - 1;
  static constexpr int kStoredHashBits = 64 - kPlaceBits;

  // Grows the key table first.
  bool InsertKey(std::uint64_t key, std::uint64_t hash);
  bool AddKey(std::uint64_t key, std::uint64_t hash) {
    std::uint64_t* slots = keys_.Slots();
    size_t i = keys_.Home(hash);
    while (slots[i] != 0) {
      if (slots[i] == key) return false;
      i = (i + 1) & keys_.mask;
    }
    slots[i] = key;
    ++keys_.used;
    return true;
  }
  bool InsertText(std::string_view text, std::uint64_t hash);
  std::string_view TextAt(std::uint64_t place) const;
  std::uint64_t Store(std::string_view text);

  Table keys_;   // plain numeric entries, each as its 64-bit key
  Table texts_;  // every other text
  std::vector<LargeBlock> blocks_;
  size_t block_used_ = 0;  // in the last block
};

}  // namespace kestrova

#endif  // KESTROVA_BASE_TEXT_SET_H_
