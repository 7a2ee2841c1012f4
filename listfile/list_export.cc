#include "listfile/list_export.h"

#include "listfile/file_chooser.h"
#include "listfile/list_import.h"
#include "os/file_io.h"

namespace kestrova {
namespace {

void SaveToChosenFile(MainWindowModel& model, Platform& platform) {
  const std::string path = ChooseListFile(model, platform, ChooserMode::kSave, "Save");
  if (!path.empty()) WriteListFile(model, platform, path);
}

}  // namespace

std::string ListFileBytes(const EntryList& list) {
  if (list.Count() == 0) return "\r\n";
  std::string bytes;
  size_t size = 0;
  for (int i = 0; i < list.Count(); ++i) size += list.At(i).size() + 2;
  bytes.reserve(size);
  for (int i = 0; i < list.Count(); ++i) {
    bytes += list.At(i);
    bytes += "\r\n";
  }
  return bytes;
}

bool WriteListFile(const MainWindowModel& model, Platform& platform, const std::string& path) {
  std::string reason;
  if (WriteFileAtomically(path, ListFileBytes(model.list1), &reason)) return true;
  platform.ShowMessage(DescribeFailure("Cannot save the list to", path, reason) +
                       "\n\nThe file was not changed.");
  return false;
}

void SaveList(MainWindowModel& model, Platform& platform) {
  if (!model.label1.empty()) {
    WriteListFile(model, platform, model.label1);
  } else {
    SaveToChosenFile(model, platform);
  }
}

void SaveListAs(MainWindowModel& model, Platform& platform) { SaveToChosenFile(model, platform); }

void CloseList(MainWindowModel& model) {
  model.list1.Clear();
  model.SetCount(0);
}

}  // namespace kestrova
