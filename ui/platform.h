// What the commands need from the desktop besides the window's own state:
// file choosers, message boxes and the per-user settings store.
#ifndef KESTROVA_UI_PLATFORM_H_
#define KESTROVA_UI_PLATFORM_H_

#include <optional>
#include <string>
#include <vector>

namespace kestrova {

// The application title: message box titles, settings store owner.
inline constexpr char kAppTitle[] = "Kestrova";
inline constexpr char kAppVersion[] = "1.0";
// The desktop's name for the program: its menu entry, icon and metadata.
inline constexpr char kAppId[] = "org.kestrova.Kestrova";

// Where a file chooser opens: a folder, and a file name already filled in.
// Either may be empty; the chooser then starts where the platform likes.
struct ChooserStart {
  std::string folder;
  std::string name;
};

// A screen's usable area, in twips, as the window's placement is kept.
struct ScreenArea {
  float left = 0;
  float top = 0;
  float width = 0;
  float height = 0;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Return the chosen path, or the empty text when the user cancelled.
  // `filter` is in the "Label|*.pattern" form.
  virtual std::string ChooseFileToOpen(const std::string& title, const std::string& filter,
                                       const ChooserStart& start) = 0;
  virtual std::string ChooseFileToSave(const std::string& title, const std::string& filter,
                                       const ChooserStart& start) = 0;

  // A modal message box titled kAppTitle with one OK button. UTF-8 text.
  virtual void ShowMessage(const std::string& text) = 0;

  // The settings store: section and key under kAppTitle.
  virtual std::optional<std::string> ReadSetting(const std::string& section,
                                                 const std::string& key) = 0;
  virtual void WriteSetting(const std::string& section, const std::string& key,
                            const std::string& value) = 0;

  // Where the options file lives: one fixed file per user.
  virtual std::string OptionsFilePath() = 0;

  // The usable areas of the screens, the primary one first; empty when the
  // platform cannot tell.
  virtual std::vector<ScreenArea> Screens() { return {}; }

  // The user's home folder, where a file chooser opens the very first time;
  // empty when the platform's chooser should pick its own place.
  virtual std::string HomeFolder() { return {}; }
};

}  // namespace kestrova

#endif  // KESTROVA_UI_PLATFORM_H_
