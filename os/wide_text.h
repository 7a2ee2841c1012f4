// Windows only: UTF-8, as the program keeps text and paths, to and from the
// UTF-16 of the wide Windows calls.
#ifndef KESTROVA_OS_WIDE_TEXT_H_
#define KESTROVA_OS_WIDE_TEXT_H_

#include <string>
#include <string_view>

namespace kestrova {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

}  // namespace kestrova

#endif  // KESTROVA_OS_WIDE_TEXT_H_
