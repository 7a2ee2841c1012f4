#include "base/text_set.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <stdexcept>

namespace kestrova {
namespace {

constexpr size_t kFirstBlock = size_t{64} << 10;
constexpr size_t kFirstSlots = 1024;
constexpr size_t kMaxReservedSlots = size_t{1} << 27;  // 1 GiB

std::uint64_t Load8(const char* p) {
  std::uint64_t value;
  std::memcpy(&value, p, 8);
  return value;
}

std::uint32_t Load4(const char* p) {
  std::uint32_t value;
  std::memcpy(&value, p, 4);
  return value;
}

// Eight bytes at a time (the last eight overlapping), then the final mix.
std::uint64_t TextHash(std::string_view text) {
  const char* p = text.data();
  const size_t n = text.size();
  std::uint64_t h = 0x9E3779B97F4A7C15ull ^ (n * 0xD6E8FEB86659FD93ull);
  auto mix = [&h](std::uint64_t word) {
    h = (h ^ word) * 0xBF58476D1CE4E5B9ull;
    h ^= h >> 29;
  };
  if (n >= 8) {
    for (size_t i = 0; i + 8 < n; i += 8) mix(Load8(p + i));
    mix(Load8(p + n - 8));
  } else if (n >= 4) {
    mix(Load4(p) | std::uint64_t{Load4(p + n - 4)} << 32);
  } else if (n > 0) {
    const auto byte = [p](size_t i) { return std::uint64_t{static_cast<unsigned char>(p[i])}; };
    mix(byte(0) | byte(n / 2) << 8 | byte(n - 1) << 16);
  }
  return TextSet::KeyHash(h);
}

// The length before each stored text: seven bits a byte.
const char* ReadLength(const char* p, size_t* length) {
  *length = 0;
  for (int shift = 0;; shift += 7) {
    const auto byte = static_cast<unsigned char>(*p++);
    *length |= static_cast<size_t>(byte & 0x7F) << shift;
    if (byte < 0x80) return p;
  }
}

}  // namespace

std::uint64_t PlainEntryKey(std::string_view text) {
  const size_t n = text.size();
  if (n > 22) return 0;  // "255.255.255.255:999999"
  // The four numbers are read up to character 16 at most; a shorter text is
  // read from a zero-padded copy, so no read needs a check.
  char padded[20] = {};
  const char* p = text.data();
  if (n < 16) p = static_cast<const char*>(std::memcpy(padded, p, n));
  SmallNumber numbers[4];
  size_t i = 0;
  for (int part = 0; part < 4; ++part) {
    numbers[part] = ReadSmallNumber(p + i);
    i += static_cast<size_t>(numbers[part].digits);
    if (numbers[part].digits == 0 || numbers[part].value > 255 || p[i] != (part < 3 ? '.' : ':')) {
      return 0;
    }
    ++i;
  }
  const size_t digits = n - i;
  if (digits == 0 || digits > 6) return 0;
  std::uint64_t port = 0;
  for (; i < n; ++i) {
    const unsigned c = static_cast<unsigned char>(p[i]) - unsigned{'0'};
    if (c >= 10) return 0;
    port = port * 10 + c;
  }
  return PlainEntryKey(numbers, digits, port);
}

template <typename Home>
void TextSet::Resize(Table& table, size_t slots, Home home) {
  Table old = std::move(table);
  table.memory = LargeBlock(slots * sizeof(std::uint64_t));
  table.mask = slots - 1;
  table.shift = 64 - std::countr_zero(slots);
  table.used = old.used;
  if (old.memory.size() == 0) return;
  std::uint64_t* to = table.Slots();
  // The old slots come in order of home, so the new ones are written in order.
  for (size_t i = 0; i <= old.mask; ++i) {
    const std::uint64_t slot = old.Slots()[i];
    if (slot == 0) continue;
    size_t at = home(slot, table);
    while (to[at] != 0) at = (at + 1) & table.mask;
    to[at] = slot;
  }
}

size_t TextSet::KeyHome(std::uint64_t slot, const Table& table) {
  return table.Home(KeyHash(slot));
}

size_t TextSet::Doubled(const Table& table) {
  return table.memory.size() == 0 ? kFirstSlots : (table.mask + 1) * 2;
}

void TextSet::ReserveKeys(size_t count) {
  // Every doubling writes the whole table anew into fresh memory; a set
  // sized ahead is filled only once.
  size_t slots = kFirstSlots;
  while (slots < kMaxReservedSlots && count * 10 > slots * 7) slots *= 2;
  if (keys_.memory.size() != 0 && slots <= keys_.mask + 1) return;
  Resize(keys_, slots, KeyHome);
}

TextSet::Prepared TextSet::Prepare(std::string_view text) {
  const std::uint64_t key = PlainEntryKey(text);
  return key ? PrepareKey(key) : Prepared{TextHash(text), 0};
}

bool TextSet::InsertKey(std::uint64_t key, std::uint64_t hash) {
  Resize(keys_, Doubled(keys_), KeyHome);
  return AddKey(key, hash);
}

bool TextSet::InsertText(std::string_view text, std::uint64_t hash) {
  if (texts_.Full()) {
    Resize(texts_, Doubled(texts_), [this](std::uint64_t slot, const Table& t) {
      // A slot holds enough of the hash for tables of up to 2^28 slots.
      if (64 - t.shift <= kStoredHashBits) return t.Home(slot);
      return t.Home(TextHash(TextAt((slot & kPlaceMask) - 1)));
    });
  }
  const std::uint64_t stored = hash >> kPlaceBits;
  std::uint64_t* slots = texts_.Slots();
  size_t i = texts_.Home(hash);
  while (const std::uint64_t slot = slots[i]) {
    // The stored hash bits spare reading the text for nearly every other one.
    if (slot >> kPlaceBits == stored && TextAt((slot & kPlaceMask) - 1) == text) return false;
    i = (i + 1) & texts_.mask;
  }
  slots[i] = stored << kPlaceBits | (Store(text) + 1);
  ++texts_.used;
  return true;
}

std::string_view TextSet::TextAt(std::uint64_t place) const {
  const char* block = static_cast<const char*>(blocks_[place >> kBlockBits].data());
  size_t length = 0;
  const char* p = ReadLength(block + (place & ((std::uint64_t{1} << kBlockBits) - 1)), &length);
  return {p, length};
}

std::uint64_t TextSet::Store(std::string_view text) {
  char prefix[10];
  size_t prefix_size = 0;
  for (size_t n = text.size();; n >>= 7) {
    prefix[prefix_size++] = static_cast<char>((n & 0x7F) | (n >= 0x80 ? 0x80 : 0));
    if (n < 0x80) break;
  }
  const size_t needed = prefix_size + text.size();
  if (blocks_.empty() || block_used_ + needed > blocks_.back().size()) {
    // 2,048 blocks hold 64 GiB of distinct text, far past any memory.
    if (blocks_.size() == size_t{1} << (kPlaceBits - kBlockBits)) {
      throw std::length_error("too many distinct texts");
    }
    // Blocks grow with the set; a text larger than a block gets one of its own.
    const size_t grown =
        std::min(kFirstBlock << std::min<size_t>(blocks_.size(), 16), size_t{1} << kBlockBits);
    blocks_.emplace_back(std::max(grown, needed));
    block_used_ = 0;
  }
  const std::uint64_t place = (blocks_.size() - 1) << kBlockBits | block_used_;
  char* p = static_cast<char*>(blocks_.back().data()) + block_used_;
  std::memcpy(p, prefix, prefix_size);
  std::memcpy(p + prefix_size, text.data(), text.size());
  block_used_ += needed;
  return place;
}

}  // namespace kestrova
