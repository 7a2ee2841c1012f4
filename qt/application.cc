#include "qt/application.h"

#include <QApplication>
#include <QTimer>

#include "qt/main_window.h"
#include "qt/qt_platform.h"

namespace kestrova {

int RunKestrova(int argc, char** argv, const std::function<void(MainWindow&)>& on_shown) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(kAppTitle);
  QApplication::setOrganizationName(kAppTitle);
  // The program ends through the main window's unload step or the Exit
  // button, not when some window happens to be the last one closed.
  QApplication::setQuitOnLastWindowClosed(false);

  MainWindowModel model;
  QtPlatform platform;
  MainWindow window(model, platform);
  platform.SetParent(&window, [&window] { window.Refresh(); });
  window.Start();
  if (on_shown) QTimer::singleShot(0, &window, [&] { on_shown(window); });
  return QApplication::exec();
}

}  // namespace kestrova
