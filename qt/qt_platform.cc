#include "qt/qt_platform.h"

#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

#include "app/settings_file.h"
#include "base/text_codec.h"
#include "options/options_file.h"
#include "os/file_io.h"

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

std::string QtPlatform::ChooseFile(bool save, const std::string& title, const std::string& filter) {
  if (before_modal_) before_modal_();
  QFileDialog dialog(parent_, QString::fromStdString(title));
  dialog.setObjectName("dlgCommonDialog");
  // "Label|*.pattern": Qt reads the pattern from the label's parentheses.
  const QString label_and_pattern = QString::fromStdString(filter);
  dialog.setNameFilter(label_and_pattern.section('|', 0, 0));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return PathFromQt(dialog.selectedFiles().first());
}

std::string QtPlatform::ChooseFileToOpen(const std::string& title, const std::string& filter) {
  return ChooseFile(false, title, filter);
}

std::string QtPlatform::ChooseFileToSave(const std::string& title, const std::string& filter) {
  return ChooseFile(true, title, filter);
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

}  // namespace kestrova
