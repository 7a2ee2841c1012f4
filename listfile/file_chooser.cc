#include "listfile/file_chooser.h"

#include "base/text_codec.h"
#include "os/file_io.h"

namespace kestrova {
namespace {

std::string NamePart(const std::string& path) {
#ifdef _WIN32
  const size_t cut = path.find_last_of("\\/:");
#else
  const size_t cut = path.rfind('/');
#endif
  return cut == std::string::npos ? path : path.substr(cut + 1);
}

}  // namespace

ChooserStart NextChooserStart(const MainWindowModel& model, Platform& platform) {
  const ChooserState& chooser = model.dlg_common_dialog;
  if (chooser.used) return {chooser.folder, chooser.name};
  // A folder since removed (or a stick since unplugged) is not offered.
  const std::optional<std::string> stored =
      platform.ReadSetting(kChooserSection, kChooserFolderKey);
  if (stored && !stored->empty() && PathExists(*stored)) return {*stored, ""};
  return {platform.HomeFolder(), ""};
}

std::string ChooseListFile(MainWindowModel& model, Platform& platform, ChooserMode mode,
                           const std::string& title) {
  const ChooserStart start = NextChooserStart(model, platform);
  const std::string path = mode == ChooserMode::kOpen
                               ? platform.ChooseFileToOpen(title, kListFileFilter, start)
                               : platform.ChooseFileToSave(title, kListFileFilter, start);
  ChooserState& chooser = model.dlg_common_dialog;
  if (path.empty()) {
    chooser = {true, start.folder, ""};
    return path;
  }
  chooser = {true, ParentFolder(path), NamePart(path)};
  // The store holds text; a folder whose name is not UTF-8 is remembered for
  // this run only.
  if (IsValidUtf8(chooser.folder)) {
    platform.WriteSetting(kChooserSection, kChooserFolderKey, chooser.folder);
  }
  return path;
}

}  // namespace kestrova
