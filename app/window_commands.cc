#include "app/window_commands.h"

#include "listfile/list_export.h"
#include "listfile/list_import.h"
#include "options/tints.h"

namespace kestrova {

void ClearList(MainWindowModel& model) {
  model.list1.Clear();
  model.SetCount(0);
  model.progress_bar1.value = 0;
}

void QuitImmediately(MainWindowModel& model) { model.end_request = EndRequest::kImmediately; }

void DispatchToolbarButton(MainWindowModel& model, Platform& platform, std::string_view key) {
  if (key == "Open") {
    OpenList(model, platform);
  } else if (key == "Save") {
    SaveList(model, platform);
  } else if (key == "Help") {
    platform.ShowMessage(kHelpPlaceholder);
  }
}

void ShowAbout(MainWindowModel& model) {
  AboutWindowModel& about = model.about;
  if (about.state == AboutState::kNotCreated) {
    about.canvas = Canvas();
    PaintTint(about.canvas, kAboutTint);
    ++about.generation;
  }
  about.state = AboutState::kShown;
}

void HideAbout(MainWindowModel& model) {
  if (model.about.state == AboutState::kShown) model.about.state = AboutState::kHidden;
}

void DestroyAbout(MainWindowModel& model) { model.about.state = AboutState::kNotCreated; }

}  // namespace kestrova
