// How a list entry reads in a list control, for every binding: decoded for
// display only, and cut short when it is too long to show.
#ifndef KESTROVA_UI_ENTRY_DISPLAY_H_
#define KESTROVA_UI_ENTRY_DISPLAY_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrova {

// Longer entries are cut for display; the list keeps them whole.
inline constexpr size_t kShownEntryBytes = 2048;

// The entry as UTF-8 text (UTF-8 when it is valid UTF-8, else windows-1251).
// Past kShownEntryBytes it ends with "…", cut between characters, so a long
// UTF-8 entry is not taken for windows-1251 because the cut split a letter.
std::string EntryForList(std::string_view entry);

}  // namespace kestrova

#endif  // KESTROVA_UI_ENTRY_DISPLAY_H_
