// UTF-8, as the program keeps text and paths, to and from the UTF-16 of the
// wide Windows calls.
#ifndef KESTROVA_WIN32_WIDE_TEXT_H_
#define KESTROVA_WIN32_WIDE_TEXT_H_

#include <windows.h>

#include <string>
#include <string_view>

namespace kestrova {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// A window's text (a control's caption, an edit field's contents).
std::wstring WindowText(HWND window);

}  // namespace kestrova

#endif  // KESTROVA_WIN32_WIDE_TEXT_H_
