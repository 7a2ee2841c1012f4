// The commands of the main window's buttons, menu and toolbar that have no
// subsystem of their own.
#ifndef KESTROVA_APP_WINDOW_COMMANDS_H_
#define KESTROVA_APP_WINDOW_COMMANDS_H_

#include <string_view>

#include "ui/platform.h"
#include "ui/ui_model.h"
#include "ui/window_layout.h"

namespace kestrova {

inline constexpr char kHelpPlaceholder[] = "Add 'Help' button code.";

// "Очистить": empties the list; the current file and the fill gauge stay.
void ClearList(MainWindowModel& model);
// "Выход": ends the program at once, without the unload step.
void QuitImmediately(MainWindowModel& model);

// Toolbar buttons act by key: "Open", "Save", "Help"; any other does nothing.
void DispatchToolbarButton(MainWindowModel& model, Platform& platform, std::string_view key);

// Help > About: creates the About window (painting its tint) or shows it
// again as it was.
void ShowAbout(MainWindowModel& model);
// The About window's "Закрыть" hides it; its title bar's close destroys it.
void HideAbout(MainWindowModel& model);
void DestroyAbout(MainWindowModel& model);

// Runs what a button or menu item of the windows' tables stands for; both
// bindings come through here.
void RunWindowCommand(WindowCommand command, MainWindowModel& model, Platform& platform);

}  // namespace kestrova

#endif  // KESTROVA_APP_WINDOW_COMMANDS_H_
