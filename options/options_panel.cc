#include "options/options_panel.h"

#include "options/options_file.h"
#include "options/tints.h"

namespace kestrova {
namespace {

void SetListViewVisible(MainWindowModel& model, bool visible) {
  model.progress_bar1.visible = visible;
  model.progress_bar2.visible = visible;
  model.frame1_visible = !visible;
  model.command1_visible = visible;
  model.command2_visible = visible;
  model.command3_visible = visible;
  model.command4_visible = visible;
  model.list1_visible = visible;
}

}  // namespace

void ShowOptionsPanel(MainWindowModel& model) { SetListViewVisible(model, false); }

void ApplyOptions(MainWindowModel& model, Platform& platform) {
  SetListViewVisible(model, true);
  PaintNamedTint(model.canvas, model.combo1_text);
  WriteOptionsFile(model, platform, platform.OptionsFilePath());
}

}  // namespace kestrova
