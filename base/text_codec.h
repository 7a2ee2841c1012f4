// Conversions between the bytes of files and the UTF-8 the window shows.
#ifndef KESTROVA_BASE_TEXT_CODEC_H_
#define KESTROVA_BASE_TEXT_CODEC_H_

#include <string>
#include <string_view>

namespace kestrova {

bool IsValidUtf8(std::string_view bytes);

// Writes a character (up to U+10FFFF) as UTF-8 at `to`, 4 bytes of room;
// returns the end.
char* PutUtf8(char32_t code, char* to);

// windows-1251 bytes to UTF-8; a byte the code page leaves undefined
// becomes U+FFFD.
std::string Cp1251ToUtf8(std::string_view bytes);

// UTF-8 to windows-1251; a character the code page lacks becomes "?".
std::string Utf8ToCp1251(std::string_view text);

// How a list entry is shown: as UTF-8 when it is valid UTF-8, otherwise as
// windows-1251, which every older Russian list is written in.
std::string EntryForDisplay(std::string_view bytes);

}  // namespace kestrova

#endif  // KESTROVA_BASE_TEXT_CODEC_H_
