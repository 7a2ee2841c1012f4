#include "qt/qt_platform.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>

#include "app/settings_file.h"
#include "base/text_codec.h"
#include "options/options_file.h"
#include "os/file_io.h"
#include "ui/window_layout.h"

namespace kestrova {

std::string PathFromQt(const QString& path) {
#ifdef Q_OS_WIN
  return path.toStdString();
#else
  return QFile::encodeName(path).toStdString();
#endif
}

QString PathToQt(const std::string& path) {
#ifdef Q_OS_WIN
  return QString::fromStdString(path);
#else
  return QFile::decodeName(QByteArray::fromStdString(path));
#endif
}

QtPlatform::QtPlatform() = default;

void QtPlatform::SetParent(QWidget* parent, std::function<void()> before_modal) {
  parent_ = parent;
  before_modal_ = std::move(before_modal);
}

std::string QtPlatform::ChooseFile(bool save, const std::string& title, const std::string& filter,
                                   const ChooserStart& start) {
  if (before_modal_) before_modal_();
  QFileDialog dialog(parent_, QString::fromStdString(title));
  dialog.setObjectName("dlgCommonDialog");
  // "Label|*.pattern": Qt reads the pattern from the label's parentheses.
  const QString label_and_pattern = QString::fromStdString(filter);
  dialog.setNameFilter(label_and_pattern.section('|', 0, 0));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!start.folder.empty()) dialog.setDirectory(PathToQt(start.folder));
  if (!start.name.empty()) dialog.selectFile(PathToQt(start.name));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return PathFromQt(dialog.selectedFiles().first());
}

std::string QtPlatform::ChooseFileToOpen(const std::string& title, const std::string& filter,
                                         const ChooserStart& start) {
  return ChooseFile(false, title, filter, start);
}

std::string QtPlatform::ChooseFileToSave(const std::string& title, const std::string& filter,
                                         const ChooserStart& start) {
  return ChooseFile(true, title, filter, start);
}

void QtPlatform::ShowMessage(const std::string& text) {
  if (before_modal_) before_modal_();
  QMessageBox box(QMessageBox::NoIcon, kAppTitle, QString::fromStdString(text), QMessageBox::Ok,
                  parent_);
  box.exec();
}

std::optional<std::string> QtPlatform::ReadSetting(const std::string& section,
                                                   const std::string& key) {
  SettingsFile store(UserSettingsFilePath());
  std::optional<std::string> value = store.Read(section, key);
  NoteSetAside(store);
  return value;
}

void QtPlatform::WriteSetting(const std::string& section, const std::string& key,
                              const std::string& value) {
  SettingsFile store(UserSettingsFilePath());
  std::string reason;
  const bool written = store.Write(section, key, value, &reason);
  NoteSetAside(store);
  // Said once: the keys written next would only fail the same way.
  if (!written && !settings_failure_told_) {
    settings_failure_told_ = true;
    ShowMessage(DescribeFailure("Cannot save the settings to", store.path(), reason));
  }
}

void QtPlatform::NoteSetAside(const SettingsFile& store) {
  if (store.set_aside().empty()) return;
  // Nothing is lost and the defaults apply: a line for whoever looks, no box.
  StandardSink errors(StandardStream::kError);
  std::string ignored;
  errors.Write("kestrova: the settings file \"" + EntryForDisplay(store.path()) +
                   "\" was larger than 1 MiB; it is kept as \"" +
                   EntryForDisplay(store.set_aside()) + "\" and a fresh one is written on exit\n",
               &ignored);
}

std::string QtPlatform::OptionsFilePath() { return UserOptionsFilePath(); }

std::vector<ScreenArea> QtPlatform::Screens() {
  QList<QScreen*> screens = QGuiApplication::screens();
  if (QScreen* primary = QGuiApplication::primaryScreen()) {
    screens.removeAll(primary);
    screens.prepend(primary);
  }
  std::vector<ScreenArea> areas;
  for (const QScreen* screen : screens) {
    // Logical pixels, as the window is placed.
    const QRect r = screen->availableGeometry();
    areas.push_back({static_cast<float>(r.x() * kTwipsPerPixel),
                     static_cast<float>(r.y() * kTwipsPerPixel),
                     static_cast<float>(r.width() * kTwipsPerPixel),
                     static_cast<float>(r.height() * kTwipsPerPixel)});
  }
  return areas;
}

std::string QtPlatform::HomeFolder() { return PathFromQt(QDir::homePath()); }

}  // namespace kestrova
