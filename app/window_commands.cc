#include "app/window_commands.h"

#include "app/startup.h"
#include "listfile/list_export.h"
#include "listfile/list_import.h"
#include "options/options_panel.h"
#include "options/tints.h"
#include "sift/sift_list.h"

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

void RunWindowCommand(WindowCommand command, MainWindowModel& model, Platform& platform) {
  switch (command) {
    case WindowCommand::kNone:
      return;
    case WindowCommand::kOpenList:
      return OpenList(model, platform);
    case WindowCommand::kCloseList:
      return CloseList(model);
    case WindowCommand::kSaveList:
      return SaveList(model, platform);
    case WindowCommand::kSaveListAs:
      return SaveListAs(model, platform);
    case WindowCommand::kUnloadMainWindow:
      return UnloadMainWindow(model, platform);
    case WindowCommand::kShowAbout:
      return ShowAbout(model);
    case WindowCommand::kQuitImmediately:
      return QuitImmediately(model);
    case WindowCommand::kClearList:
      return ClearList(model);
    case WindowCommand::kShowOptionsPanel:
      return ShowOptionsPanel(model);
    case WindowCommand::kSiftList:
      return SiftList(model);
    case WindowCommand::kApplyOptions:
      return ApplyOptions(model, platform);
    case WindowCommand::kHideAbout:
      return HideAbout(model);
  }
}

}  // namespace kestrova
