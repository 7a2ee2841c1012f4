// The desktop services the commands use, on Qt: file dialogs, message boxes,
// the per-user settings store (Kestrova's own file, app/settings_file.h) and
// the options file's place.
#ifndef KESTROVA_QT_QT_PLATFORM_H_
#define KESTROVA_QT_QT_PLATFORM_H_

#include <QPointer>
#include <QWidget>
#include <functional>

#include "ui/platform.h"

namespace kestrova {

class SettingsFile;

// Paths as the logic keeps them (bytes on POSIX, UTF-8 on Windows) and as Qt
// shows them.
std::string PathFromQt(const QString& path);
QString PathToQt(const std::string& path);

class QtPlatform : public Platform {
 public:
  QtPlatform();

  // Dialogs open over `parent`; `before_modal` runs first, so the window
  // shows the state a message speaks of.
  void SetParent(QWidget* parent, std::function<void()> before_modal);

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

 private:
  std::string ChooseFile(bool save, const std::string& title, const std::string& filter,
                         const ChooserStart& start);
  static void NoteSetAside(const SettingsFile& store);

  QPointer<QWidget> parent_;
  std::function<void()> before_modal_;
  bool settings_failure_told_ = false;
};

}  // namespace kestrova

#endif  // KESTROVA_QT_QT_PLATFORM_H_
