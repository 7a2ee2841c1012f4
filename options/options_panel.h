// The options panel: "Опции" opens it in the list's place, "Применить"
// closes it, paints the chosen tint and saves the options.
#ifndef KESTROVA_OPTIONS_OPTIONS_PANEL_H_
#define KESTROVA_OPTIONS_OPTIONS_PANEL_H_

#include "ui/platform.h"
#include "ui/ui_model.h"

namespace kestrova {

void ShowOptionsPanel(MainWindowModel& model);
void ApplyOptions(MainWindowModel& model, Platform& platform);

}  // namespace kestrova

#endif  // KESTROVA_OPTIONS_OPTIONS_PANEL_H_
