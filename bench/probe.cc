// Runs the real program for one measurement and exits.
//   probe start            quits as soon as the main window is shown
//   probe memory LIST OUT  opens LIST, sifts, saves to OUT, prints peak RSS
#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <cstdio>
#include <cstring>
#include <string>

#include "qt/application.h"
#include "qt/main_window.h"
#include "tests/test_support.h"

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], "start") == 0) {
    return kestrova::RunKestrova(argv[0], std::nullopt,
                                 [](kestrova::MainWindow&) { QApplication::quit(); });
  }
  if (argc == 4 && std::strcmp(argv[1], "memory") == 0) {
    int one = 1;
    QApplication app(one, argv);
    kestrova::MainWindowModel model;
    kestrova::testing::FakePlatform platform("/nonexistent/proxy_stup.pr");
    platform.answers = {argv[2], argv[3]};
    kestrova::MainWindow window(model, platform);
    window.Start();
    model.check4 = 1;
    window.findChild<QAction*>("mnuFileOpen")->trigger();
    window.findChild<QPushButton*>("Command4")->click();
    window.findChild<QAction*>("mnuFileSaveAs")->trigger();
    QApplication::processEvents();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("entries=%d peak_rss_kib=%ld messages=%zu\n", model.list1.Count(), usage.ru_maxrss,
                platform.messages.size());
    return 0;
  }
  std::fprintf(stderr, "usage: %s start | memory LIST OUT\n", argv[0]);
  return 2;
}
