// Drives the real Windows window for one measurement (under Wine, or on
// Windows) and prints what it found.
//   kestrova_win32_probe time LIST [ROUNDS]
//       the time from a click to the new list and count painted, for
//       File > Open of LIST (Check1 off and on, in turn) and for "Отсеить" on
//       it, each combination of the other switches
//   kestrova_win32_probe save LIST OUT SWITCHES
//       copies LIST to OUT, opens OUT, sets the switches ("1010": Check1 to
//       Check4), clicks "Отсеить" and File > Save: OUT then holds what the
//       window saves, to compare with `kestrova sift`
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "os/file_io.h"
#include "win32/main_window.h"
#include "win32/wide_text.h"
#include "win32/win32_platform.h"

namespace {

using kestrova::MainWindow;
using kestrova::WindowCommand;

// The real platform, with the chooser answered by the path given.
class AnsweringPlatform : public kestrova::Win32Platform {
 public:
  explicit AnsweringPlatform(std::string path) : path_(std::move(path)) {}
  std::string ChooseFileToOpen(const std::string&, const std::string&,
                               const kestrova::ChooserStart&) override {
    return path_;
  }
  std::string ChooseFileToSave(const std::string&, const std::string&,
                               const kestrova::ChooserStart&) override {
    return path_;
  }
  // Printed, not shown: a message box would wait for a click that never
  // comes (a list longer than the capacity is cut with one).
  void ShowMessage(const std::string& text) override {
    std::fprintf(stderr, "message: %s\n", text.c_str());
  }

 private:
  std::string path_;
};

double Now() {
  LARGE_INTEGER count;
  LARGE_INTEGER frequency;
  ::QueryPerformanceCounter(&count);
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Pump() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

void Menu(MainWindow& window, WindowCommand command) {
  ::SendMessageW(window.hwnd(), WM_COMMAND, kestrova::kMenuIdBase + static_cast<int>(command), 0);
}

// Milliseconds from the click until the window has painted what changed.
template <typename Click>
double Timed(MainWindow& window, Click click) {
  Pump();
  const double start = Now();
  click();
  ::RedrawWindow(window.hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  ::GdiFlush();
  return Now() - start;
}

void SetSwitches(kestrova::MainWindowModel& model, const std::string& switches) {
  int* fields[] = {&model.check1, &model.check2, &model.check3, &model.check4};
  for (size_t i = 0; i < 4; ++i) *fields[i] = i < switches.size() && switches[i] == '1';
}

void Report(const char* what, std::vector<double> times, int count) {
  std::sort(times.begin(), times.end());
  std::printf("%-34s median %6.2f ms  min %6.2f  max %6.2f  (count %d, %zu rounds)\n", what,
              times[times.size() / 2], times.front(), times.back(), count, times.size());
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args = kestrova::ProgramArguments(argc, argv);
  const bool time = args.size() >= 2 && args[0] == "time";
  const bool save = args.size() == 4 && args[0] == "save";
  if (!time && !save) {
    std::fprintf(stderr,
                 "usage: kestrova_win32_probe time LIST [ROUNDS] | save LIST OUT SWITCHES\n");
    return 2;
  }
  kestrova::MainWindowModel model;
  AnsweringPlatform platform(save ? args[2] : args[1]);
  MainWindow window(model, platform);
  window.SetOnEnd([] {});
  platform.SetOwner(window.hwnd(), [&window] { window.Refresh(); });
  window.Start();
  Pump();
  if (save) {
    ::CopyFileW(kestrova::Widen(args[1]).c_str(), kestrova::Widen(args[2]).c_str(), FALSE);
    SetSwitches(model, args[3]);
    Menu(window, WindowCommand::kOpenList);
    ::SendMessageW(window.Control("Command4"), BM_CLICK, 0, 0);
    Menu(window, WindowCommand::kSaveList);
    std::printf("saved %s entries to %s\n", model.label3.c_str(), args[2].c_str());
    return 0;
  }
  const int rounds = args.size() > 2 ? std::max(1, std::atoi(args[2].c_str())) : 7;
  std::vector<double> opens[2];  // Check1 off, on
  int opened[2] = {};
  for (int combination = 0; combination < 8; ++combination) {
    std::vector<double> sifts;
    int kept = 0;
    for (int round = 0; round < rounds; ++round) {
      const int check1 = round % 2;
      SetSwitches(model, check1 ? "1" : "0");
      opens[check1].push_back(Timed(window, [&] { Menu(window, WindowCommand::kOpenList); }));
      opened[check1] = model.list1.Count();
      model.check2 = combination & 1;
      model.check3 = (combination >> 1) & 1;
      model.check4 = (combination >> 2) & 1;
      sifts.push_back(
          Timed(window, [&] { ::SendMessageW(window.Control("Command4"), BM_CLICK, 0, 0); }));
      kept = model.list1.Count();
    }
    const std::string what = "Отсеить, check2+2*check3+4*check4=" + std::to_string(combination);
    Report(what.c_str(), sifts, kept);
  }
  Report("File > Open, Check1 off", opens[0], opened[0]);
  Report("File > Open, Check1 on", opens[1], opened[1]);
  return 0;
}
