// The window library's one entry point, looked up by name once loaded.
#include <optional>
#include <string>
#include <type_traits>

#include "main/window_loader.h"
#include "qt/application.h"

extern "C" __attribute__((visibility("default"))) int KestrovaRunWindow(const char* program,
                                                                        const char* file,
                                                                        size_t file_size) {
  std::optional<std::string> path;
  if (file) path.emplace(file, file_size);
  return kestrova::RunKestrova(program, path);
}

// The loader and the library agree on the entry's type.
static_assert(std::is_same_v<decltype(KestrovaRunWindow), kestrova::RunWindowFunction>);
