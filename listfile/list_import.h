// File > Open: loading a list file into the entry list.
#ifndef KESTROVA_LISTFILE_LIST_IMPORT_H_
#define KESTROVA_LISTFILE_LIST_IMPORT_H_

#include <string>
#include <string_view>

#include "ui/platform.h"
#include "ui/ui_model.h"

namespace kestrova {

inline constexpr char kListFileFilter[] = "All Files (*.txt)|*.txt";

// Whether a line begins like a proxy entry: "www.", or a short number
// followed by a "." at character 2, 3 or 4.
bool LooksLikeProxy(std::string_view line);

// Asks for a file and loads it.
void OpenList(MainWindowModel& model, Platform& platform);

// Loads the file at `path`, as OpenList does once a file is chosen.
void ImportListFile(MainWindowModel& model, Platform& platform, const std::string& path);

}  // namespace kestrova

#endif  // KESTROVA_LISTFILE_LIST_IMPORT_H_
