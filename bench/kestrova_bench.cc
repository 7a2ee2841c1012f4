// Timings of the commands a user waits for, at the full list size, through
// the real main window on Qt's offscreen platform.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/settings_file.h"
#include "app/startup.h"
#include "app/window_commands.h"
#include "options/tints.h"
#include "os/file_io.h"
#include "qt/main_window.h"
#include "qt/qt_platform.h"
#include "qt/tint_background.h"
#include "sift/sift_list.h"
#include "tests/test_support.h"

extern char** environ;

namespace kestrova {
namespace {

using testing::FakePlatform;
using testing::TempDir;

// One window for all benchmarks, like a user's session.
struct Session {
  Session() : platform(dir.File("proxy_stup.pr")), window(model, platform) { window.Start(); }
  void Trigger(const char* action) { window.findChild<QAction*>(action)->trigger(); }
  void Click(const char* button) { window.findChild<QPushButton*>(button)->click(); }
  // Lets the window lay out and paint what the command changed.
  void Show() { QApplication::processEvents(); }

  TempDir dir;
  MainWindowModel model;
  FakePlatform platform;
  MainWindow window;
};

Session& TheSession() {
  static Session session;
  return session;
}

std::string WriteList(const std::string& name, int lines) {
  const std::string path = TheSession().dir.File(name);
  if (std::filesystem::exists(path)) return path;
  std::ofstream out(path, std::ios::binary);
  for (int i = 0; i < lines; ++i) {
    out << (i * 7 % 223 + 1) << '.' << (i / 251 % 256) << '.' << (i % 251) << '.' << (i * 13 % 256)
        << ':' << (1000 + i % 9000) << "\r\n";
  }
  return path;
}

// Numeric, host-name and malformed entries, with many repeats.
std::vector<std::string> MixedEntries() {
  std::vector<std::string> entries;
  for (int i = 0; i < kListCapacity; ++i) {
    const int k = i % 9000;  // every entry comes back three or four times
    switch (i % 4) {
      case 0:
        entries.push_back(std::to_string(k % 200 + 10) + "." + std::to_string(k / 200) + ".1." +
                          std::to_string(k % 97) + ":8080 US-N +");
        break;
      case 1:
        entries.push_back("www.host" + std::to_string(k) + ".example.com:3128");
        break;
      case 2:
        entries.push_back(std::to_string(k % 300) + ".2.3.4:80;comment");
        break;
      default:
        entries.push_back(k % 2 ? "# not an entry " + std::to_string(k) : "10..1.1.1:80");
    }
  }
  return entries;
}

void BM_OpenList(benchmark::State& state) {
  Session& s = TheSession();
  const std::string path =
      state.range(1) ? WriteList("million.txt", 1'000'000) : WriteList("full.txt", kListCapacity);
  s.model.check1 = static_cast<int>(state.range(0));
  for (auto _ : state) {
    s.platform.answers = {path};
    s.Trigger("mnuFileOpen");
    s.Show();
  }
  state.counters["entries"] = s.model.list1.Count();
  s.platform.messages.clear();
  s.model.check1 = 0;
}
BENCHMARK(BM_OpenList)
    ->ArgNames({"check1", "million_lines"})
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

void SetSwitches(MainWindowModel& model, int64_t bits) {
  model.check2 = bits & 1;
  model.check3 = bits >> 1 & 1;
  model.check4 = bits >> 2 & 1;
}

// A full list again, before each timed pass.
void Refill(MainWindowModel& model, const std::vector<std::string>& entries) {
  model.list1.Assign(entries);
  model.SetCount(kListCapacity);
}

void EverySwitchCombination(benchmark::internal::Benchmark* b) {
  b->ArgName("check2+2*check3+4*check4")->DenseRange(0, 7)->Unit(benchmark::kMillisecond);
}

void BM_SiftModel(benchmark::State& state) {
  const std::vector<std::string> entries = MixedEntries();
  MainWindowModel model;
  SetSwitches(model, state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    Refill(model, entries);
    state.ResumeTiming();
    SiftList(model);
  }
  state.counters["kept"] = model.list1.Count();
}
BENCHMARK(BM_SiftModel)->Apply(EverySwitchCombination);

void BM_SiftClick(benchmark::State& state) {
  Session& s = TheSession();
  const std::vector<std::string> entries = MixedEntries();
  SetSwitches(s.model, state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    Refill(s.model, entries);
    s.window.Refresh();
    s.Show();
    state.ResumeTiming();
    s.Click("Command4");
    s.Show();
  }
  state.counters["kept"] = s.model.list1.Count();
  SetSwitches(s.model, 0);
}
BENCHMARK(BM_SiftClick)->Apply(EverySwitchCombination);

void BM_SaveList(benchmark::State& state) {
  Session& s = TheSession();
  s.platform.answers = {WriteList("full.txt", kListCapacity)};
  s.Trigger("mnuFileOpen");
  const std::string target = s.dir.File("saved.txt");
  s.model.label1 = target;  // Save writes to the current file without asking
  for (auto _ : state) {
    s.Trigger("mnuFileSave");
    s.Show();
  }
  state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(target));
}
BENCHMARK(BM_SaveList)->Unit(benchmark::kMillisecond);

void BM_PaintTint(benchmark::State& state) {
  Session& s = TheSession();
  auto* background = s.window.findChild<TintBackground*>("frmMainClient");
  int i = 0;
  for (auto _ : state) {
    PaintTint(s.model.canvas, kNamedTints[static_cast<size_t>(i++ % 6)]);
    benchmark::DoNotOptimize(background->Image().constBits());
  }
}
BENCHMARK(BM_PaintTint)->Unit(benchmark::kMillisecond);

void BM_AboutFirstTime(benchmark::State& state) {
  Session& s = TheSession();
  for (auto _ : state) {
    s.Trigger("mnuHelpAbout");
    s.Show();
    state.PauseTiming();
    s.window.Run([&] { DestroyAbout(s.model); });
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_AboutFirstTime)->Unit(benchmark::kMillisecond);

// The placement read at start and written at exit through the real
// settings store, whatever its file holds: a well-formed file just under
// the 1 MiB cap (read and rewritten), and files past it (2 MiB, 100 MB:
// set aside unread, the defaults, a fresh file).
void BM_SettingsStartAndExit(benchmark::State& state) {
  const std::string folder = JoinPath(UserConfigFolder(), "Kestrova");
  const size_t size = static_cast<size_t>(state.range(0));
  std::string bytes = "[Settings]\nMainLeft=1500\nMainTop=3000\n";
  while (bytes.size() + 10 <= size) bytes += "Key=Value\n";
  bytes.resize(size, '=');
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    testing::WriteBytes(UserSettingsFilePath(), bytes);
    state.ResumeTiming();
    MainWindowModel model;
    QtPlatform platform;
    RestoreWindowPlacement(model, platform);
    model.placement.left += 15;  // moved: every key but one is written anew
    model.placement.width += 15;
    model.placement.height += 15;
    SaveWindowPlacement(model, platform);
  }
}
BENCHMARK(BM_SettingsStartAndExit)
    ->Arg(kMaxSettingsFileBytes - 100)
    ->Arg(2 << 20)
    ->Arg(100 << 20)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

int RunProbe(std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

// Process start to the main window shown with its tint, and gone again.
void BM_ProgramStart(benchmark::State& state) {
  for (auto _ : state) {
    if (RunProbe({KESTROVA_PROBE, "start"}) != 0) state.SkipWithError("probe failed");
  }
}
BENCHMARK(BM_ProgramStart)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

// Peak resident memory of a whole program that opens, sifts and saves a
// full list (the real history file, cut at the capacity).
void BM_PeakMemoryFullList(benchmark::State& state) {
  const std::string out = TheSession().dir.File("memory-out.txt");
  const std::string log = TheSession().dir.File("memory.log");
  long kib = 0;
  for (auto _ : state) {
    const std::string command = std::string(KESTROVA_PROBE) + " memory " + KESTROVA_TEST_DATA +
                                "/proxy-list-history.txt " + out + " > " + log + " 2>/dev/null";
    if (std::system(command.c_str()) != 0) state.SkipWithError("probe failed");
  }
  std::ifstream in(log);
  std::string line;
  std::getline(in, line);
  std::sscanf(line.c_str(), "entries=%*d peak_rss_kib=%ld", &kib);
  state.counters["peak_rss_MiB"] = static_cast<double>(kib) / 1024.0;
}
BENCHMARK(BM_PeakMemoryFullList)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace kestrova

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  // The program's own start reads settings: keep them away from the real home.
  kestrova::testing::TempDir config;
  setenv("XDG_CONFIG_HOME", config.path().c_str(), 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
