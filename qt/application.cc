#include "qt/application.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTimer>
#include <cstdio>

#include "qt/main_window.h"
#include "qt/qt_platform.h"

namespace kestrova {
namespace {

void Describe(QCommandLineParser& parser) {
  QCoreApplication::setApplicationName(kAppTitle);
  QCoreApplication::setOrganizationName(kAppTitle);
  QCoreApplication::setApplicationVersion(kAppVersion);
  parser.setApplicationDescription(
      "Cleans up lists of proxy server entries (host:port lines).\n"
      "To clean a list from a script, without the window: kestrova sift --help");
  parser.addHelpOption();
  parser.addVersionOption();
  parser.addPositionalArgument("FILE", "A list file to open, as File > Open does.", "[FILE]");
}

}  // namespace

int RunKestrova(int argc, char** argv, const std::function<void(MainWindow&)>& on_shown) {
  {
    // Help and the version need no display: they are answered before the
    // window system is touched. Qt's own options (-platform and such) are
    // known only to the application below, so other errors wait for it.
    QCoreApplication core(argc, argv);
    QCommandLineParser parser;
    Describe(parser);
    if (parser.parse(QCoreApplication::arguments())) {
      if (parser.isSet("help")) parser.showHelp(0);
      if (parser.isSet("version")) parser.showVersion();
    }
  }
  QApplication app(argc, argv);
  QCommandLineParser parser;
  Describe(parser);
  parser.process(app);  // an unknown option or a second FILE ends here, with a message
  if (parser.positionalArguments().size() > 1) {
    std::fprintf(stderr, "kestrova: give one FILE at most\n");
    return 1;
  }
  QGuiApplication::setDesktopFileName(kAppId);
  // The program ends through the main window's unload step or the Exit
  // button, not when some window happens to be the last one closed.
  QApplication::setQuitOnLastWindowClosed(false);

  MainWindowModel model;
  QtPlatform platform;
  MainWindow window(model, platform);
  platform.SetParent(&window, [&window] { window.Refresh(); });
  window.Start();
  if (!parser.positionalArguments().isEmpty()) {
    // Opened from a file manager or a shell: once the window stands, as
    // File > Open of that file would.
    const std::string path = PathFromQt(parser.positionalArguments().first());
    QTimer::singleShot(0, &window, [&window, path] { window.OpenFile(path); });
  }
  if (on_shown) QTimer::singleShot(0, &window, [&] { on_shown(window); });
  return QApplication::exec();
}

}  // namespace kestrova
