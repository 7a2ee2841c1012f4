// File > Save, Save As and Close.
#ifndef KESTROVA_LISTFILE_LIST_EXPORT_H_
#define KESTROVA_LISTFILE_LIST_EXPORT_H_

#include <string>

#include "ui/platform.h"
#include "ui/ui_model.h"

namespace kestrova {

// The file form of the list: every entry followed by CR LF. An empty list
// gives one empty line, which loads back as one empty entry.
std::string ListFileBytes(const EntryList& list);

// Replaces the file at `path` with the list; says why when it cannot.
bool WriteListFile(const MainWindowModel& model, Platform& platform, const std::string& path);

// Writes to the current list file, or asks for one when there is none.
// A file chosen here does not become the current file.
void SaveList(MainWindowModel& model, Platform& platform);
// Always asks; never changes the current file.
void SaveListAs(MainWindowModel& model, Platform& platform);
// Empties the list; the current file and the gauges stay.
void CloseList(MainWindowModel& model);

}  // namespace kestrova

#endif  // KESTROVA_LISTFILE_LIST_EXPORT_H_
