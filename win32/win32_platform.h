// The desktop services the commands use, on Windows: the common open and
// save dialogs, message boxes, the per-user settings store in the registry
// and the screens' work areas.
#ifndef KESTROVA_WIN32_WIN32_PLATFORM_H_
#define KESTROVA_WIN32_WIN32_PLATFORM_H_

#include <windows.h>

#include <functional>
#include <string>

#include "ui/platform.h"

namespace kestrova {

// Where Windows programs of this kind keep their settings: under it,
// "<application>\<section>", one string value per key.
inline constexpr wchar_t kSettingsRoot[] = L"Software\\VB and VBA Program Settings";

class Win32Platform : public Platform {
 public:
  // Settings live under HKEY_CURRENT_USER\<root>\Kestrova.
  explicit Win32Platform(std::wstring settings_root = kSettingsRoot);

  // Dialogs open over `owner`; `before_modal` runs first, so the window
  // shows the state a message speaks of.
  void SetOwner(HWND owner, std::function<void()> before_modal);

  std::string ChooseFileToOpen(const std::string& title, const std::string& filter,
                               const ChooserStart& start) override;
  std::string ChooseFileToSave(const std::string& title, const std::string& filter,
                               const ChooserStart& start) override;
  void ShowMessage(const std::string& text) override;
  std::optional<std::string> ReadSetting(const std::string& section,
                                         const std::string& key) override;
  void WriteSetting(const std::string& section, const std::string& key,
                    const std::string& value) override;
  std::string OptionsFilePath() override;
  std::vector<ScreenArea> Screens() override;
  std::string HomeFolder() override;

  // The registry key of `section`, under HKEY_CURRENT_USER.
  std::wstring SectionKey(const std::string& section) const;

 private:
  std::string ChooseFile(bool save, const std::string& title, const std::string& filter,
                         const ChooserStart& start);

  std::wstring settings_root_;
  HWND owner_ = nullptr;
  std::function<void()> before_modal_;
};

// "Label|*.pattern|..." as the common dialogs take it: pairs ended by NUL,
// the whole ended by a second NUL.
std::wstring DialogFilter(const std::string& filter);

}  // namespace kestrova

#endif  // KESTROVA_WIN32_WIN32_PLATFORM_H_
