// Bringing the main window up with its stored placement, options and tint,
// and taking it down again.
#ifndef KESTROVA_APP_STARTUP_H_
#define KESTROVA_APP_STARTUP_H_

#include <optional>
#include <string>
#include <vector>

#include "ui/platform.h"
#include "ui/ui_model.h"

namespace kestrova {

inline constexpr char kSettingsSection[] = "Settings";

// A stored placement value as a number; the default when it is missing or
// not a finite number.
float PlacementValue(const std::optional<std::string>& text, float fallback);

// The stored placement, kept as read while any part of it lies on a screen.
// A window that would lie wholly off every screen (a monitor since unplugged,
// a hand-edited value) comes back on the primary screen at the default
// position, with its stored size but no larger than that screen. No screens
// known: as read.
Placement PlacementOnScreen(const Placement& stored, const std::vector<ScreenArea>& screens);

// Reads the placement and brings it onto a screen; the store is not written.
void RestoreWindowPlacement(MainWindowModel& model, Platform& platform);
// Writes nothing for a minimised window, keeping the placement saved before.
void SaveWindowPlacement(const MainWindowModel& model, Platform& platform);

// The main window's load step: placement, options file, tint.
void LoadMainWindow(MainWindowModel& model, Platform& platform);
// Taken when the options file cannot be read: grey, whatever the selector says.
void OptionsFileFallback(MainWindowModel& model);

// The unload step: the About window goes, the placement is saved, the
// program ends. File > Exit and the close box both come here.
void UnloadMainWindow(MainWindowModel& model, Platform& platform);

}  // namespace kestrova

#endif  // KESTROVA_APP_STARTUP_H_
