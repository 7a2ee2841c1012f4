#include "main/window_loader.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

namespace kestrova {
namespace {

// Where the window library can be: in the installed program's library
// folder, or beside the program in a build folder.
std::vector<std::filesystem::path> LibraryPlaces() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  const std::filesystem::path folder = program.parent_path();
  return {(folder / KESTROVA_WINDOW_LIBRARY).lexically_normal(),
          folder / std::filesystem::path(KESTROVA_WINDOW_LIBRARY).filename()};
}

// Without any of these, Qt would end the process with an abort.
bool HasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

int Fail(ByteSink& errors, const std::string& text) {
  std::string ignored;
  errors.Write("kestrova: " + text + "\n", &ignored);
  return 1;
}

}  // namespace

int StartWindow(const char* program, const std::optional<std::string>& file, ByteSink& errors) {
  if (!HasDisplay()) {
    return Fail(errors,
                "there is no display for the window (neither DISPLAY nor WAYLAND_DISPLAY is "
                "set)\nTo clean a list without the window: kestrova sift --help");
  }
  for (const std::filesystem::path& place : LibraryPlaces()) {
    std::error_code error;
    if (!std::filesystem::exists(place, error)) continue;
    // Never unloaded: the window runs until the program ends.
    void* library = ::dlopen(place.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) return Fail(errors, std::string("cannot start the window: ") + ::dlerror());
    auto* run = reinterpret_cast<RunWindowFunction*>(::dlsym(library, kRunWindowSymbol));
    if (!run) return Fail(errors, std::string("cannot start the window: ") + ::dlerror());
    return run(program, file ? file->data() : nullptr, file ? file->size() : 0);
  }
  return Fail(errors, "cannot start the window: its library " +
                          std::filesystem::path(KESTROVA_WINDOW_LIBRARY).filename().string() +
                          " is not installed");
}

}  // namespace kestrova
