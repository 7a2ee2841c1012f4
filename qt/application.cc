#include "qt/application.h"

#include <QApplication>
#include <QTimer>

#include "qt/main_window.h"
#include "qt/qt_platform.h"

namespace kestrova {

int RunKestrova(const char* program, const std::optional<std::string>& file,
                const std::function<void(MainWindow&)>& on_shown) {
  // Qt keeps argc and argv for the application's lifetime. Only the name:
  // a FILE such as "-style" is the user's, not an option for Qt.
  int argc = 1;
  char* argv[] = {const_cast<char*>(program), nullptr};
  QCoreApplication::setApplicationName(kAppTitle);
  QCoreApplication::setOrganizationName(kAppTitle);
  QCoreApplication::setApplicationVersion(kAppVersion);
  QApplication app(argc, argv);
  QGuiApplication::setDesktopFileName(kAppId);
  // The program ends through the main window's unload step or the Exit
  // button, not when some window happens to be the last one closed.
  QApplication::setQuitOnLastWindowClosed(false);

  MainWindowModel model;
  QtPlatform platform;
  MainWindow window(model, platform);
  platform.SetParent(&window, [&window] { window.Refresh(); });
  window.Start();
  if (file) {
    // Opened from a file manager or a shell: once the window stands, as
    // File > Open of that file would.
    QTimer::singleShot(0, &window, [&window, path = *file] { window.OpenFile(path); });
  }
  if (on_shown) QTimer::singleShot(0, &window, [&] { on_shown(window); });
  return QApplication::exec();
}

}  // namespace kestrova
