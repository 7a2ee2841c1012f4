// The window lives in a library of its own, loaded only when it is started,
// so that the rest of the program never loads Qt.
#ifndef KESTROVA_MAIN_WINDOW_LOADER_H_
#define KESTROVA_MAIN_WINDOW_LOADER_H_

#include <optional>
#include <string>

#include "os/file_io.h"

namespace kestrova {

// The function the window library exports, and its name.
using RunWindowFunction = int(const char* program, const char* file, size_t file_size);
inline constexpr char kRunWindowSymbol[] = "KestrovaRunWindow";

// Loads the window library and runs the window; says why on `errors` and
// returns 1 when it cannot.
int StartWindow(const char* program, const std::optional<std::string>& file, ByteSink& errors);

}  // namespace kestrova

#endif  // KESTROVA_MAIN_WINDOW_LOADER_H_
