// Window texts in UTF-16, and (from the OS layer) the conversions to and
// from the program's UTF-8.
#ifndef KESTROVA_WIN32_WIDE_TEXT_H_
#define KESTROVA_WIN32_WIDE_TEXT_H_

#include <windows.h>

#include <string>
#include <string_view>

#include "os/wide_text.h"

namespace kestrova {

// A window's text (a control's caption, an edit field's contents).
std::wstring WindowText(HWND window);

}  // namespace kestrova

#endif  // KESTROVA_WIN32_WIDE_TEXT_H_
