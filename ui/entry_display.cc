#include "ui/entry_display.h"

#include "base/text_codec.h"

namespace kestrova {
namespace {

// The bytes a UTF-8 sequence with this first byte takes; 1 for anything else.
size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

}  // namespace

std::string EntryForList(std::string_view entry) {
  if (entry.size() <= kShownEntryBytes) return EntryForDisplay(entry);
  std::string_view shown = entry.substr(0, kShownEntryBytes);
  // Drop a sequence the cut left unfinished: its continuation bytes, then its lead.
  size_t tail = 0;
  while (tail < 3 && (static_cast<unsigned char>(shown[shown.size() - 1 - tail]) & 0xC0) == 0x80) {
    ++tail;
  }
  const auto lead = static_cast<unsigned char>(shown[shown.size() - 1 - tail]);
  if (SequenceLength(lead) > tail + 1) shown.remove_suffix(tail + 1);
  std::string text = EntryForDisplay(shown);
  text += "\u2026";
  return text;
}

}  // namespace kestrova
