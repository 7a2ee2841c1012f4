// The one file chooser that File > Open, Save and Save As share. Within a
// run it starts where the last one was left: the folder and name last chosen
// in any of them, or after a cancel that chooser's folder with no name. The
// first one of a run starts in the folder last used in an earlier run, kept
// in the settings store, or the very first time in the home folder.
#ifndef KESTROVA_LISTFILE_FILE_CHOOSER_H_
#define KESTROVA_LISTFILE_FILE_CHOOSER_H_

#include <string>

#include "ui/platform.h"
#include "ui/ui_model.h"

namespace kestrova {

inline constexpr char kListFileFilter[] = "All Files (*.txt)|*.txt";

// Where the folder last used outlives the run: a section of its own, apart
// from the window's placement.
inline constexpr char kChooserSection[] = "Chooser";
inline constexpr char kChooserFolderKey[] = "Folder";

enum class ChooserMode { kOpen, kSave };

// Where the next chooser starts.
ChooserStart NextChooserStart(const MainWindowModel& model, Platform& platform);

// Shows the chooser titled `title` with the list files' filter; returns the
// chosen path, or the empty text when the user cancelled.
std::string ChooseListFile(MainWindowModel& model, Platform& platform, ChooserMode mode,
                           const std::string& title);

}  // namespace kestrova

#endif  // KESTROVA_LISTFILE_FILE_CHOOSER_H_
