// File > Open: loading a list file into the entry list.
#ifndef KESTROVA_LISTFILE_LIST_IMPORT_H_
#define KESTROVA_LISTFILE_LIST_IMPORT_H_

#include <string>
#include <string_view>

#include "listfile/file_chooser.h"
#include "os/file_io.h"
#include "ui/platform.h"
#include "ui/ui_model.h"

namespace kestrova {

// Whether a line begins like a proxy entry: "www.", or a short number
// followed by a "." at character 2, 3 or 4.
bool LooksLikeProxy(std::string_view line);

// The `kestrova sift` command line that cleans the whole file at `path` as
// the window would with its switches now set, for a list past the capacity.
std::string SiftCommandFor(const MainWindowModel& model, const std::string& path);

// Asks for a file and loads it.
void OpenList(MainWindowModel& model, Platform& platform);

// Loads the file at `path`, as OpenList does once a file is chosen.
void ImportListFile(MainWindowModel& model, Platform& platform, const std::string& path);

// The import itself, from an open file named `path`. Returns what the user
// must be told (an import that stopped short), else the empty text.
std::string ImportList(MainWindowModel& model, ByteSource& source, const std::string& path);

}  // namespace kestrova

#endif  // KESTROVA_LISTFILE_LIST_IMPORT_H_
