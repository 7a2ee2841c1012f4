// The platform on Windows (the registry store, the screens, the common
// dialogs and message boxes as a person answers them) and the programs'
// command lines, under Wine.
#include "win32/win32_platform.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shellapi.h>

#include <chrono>
#include <functional>
#include <thread>

#include "tests/test_support.h"
#include "win32/command_line.h"
#include "win32/controls.h"
#include "win32/dpi.h"
#include "win32/wide_text.h"

namespace kestrova {
namespace {

using testing::TempDir;
using testing::WriteBytes;

// Answers the next dialog box this thread shows, once it stands: notes its
// title and lets `act` fill it in and close it.
class DialogAnswer {
 public:
  explicit DialogAnswer(std::function<void(HWND)> act) : act_(std::move(act)) {
    current_ = this;
    hook_ = ::SetWindowsHookExW(WH_CBT, &DialogAnswer::Hook, nullptr, ::GetCurrentThreadId());
  }
  ~DialogAnswer() {
    ::UnhookWindowsHookEx(hook_);
    current_ = nullptr;
  }
  std::string title;
  bool answered = false;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wparam, LPARAM lparam) {
    if (code == HCBT_ACTIVATE && current_ && !current_->dialog_) {
      current_->dialog_ = reinterpret_cast<HWND>(wparam);
      ::SetTimer(nullptr, 0, 100, &DialogAnswer::Act);
    }
    return ::CallNextHookEx(nullptr, code, wparam, lparam);
  }
  static void CALLBACK Act(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    DialogAnswer* self = current_;
    if (!self || self->answered) return;
    self->answered = true;
    self->title = Narrow(WindowText(self->dialog_));
    self->act_(self->dialog_);
  }

  static inline DialogAnswer* current_ = nullptr;
  std::function<void(HWND)> act_;
  HHOOK hook_ = nullptr;
  HWND dialog_ = nullptr;
};

// The file name field of a common file dialog, in either of its forms.
HWND FileNameField(HWND dialog) {
  for (const int id : {0x47c /* cmb13 */, 0x480 /* edt1 */}) {
    if (const HWND field = ::GetDlgItem(dialog, id)) return field;
  }
  return nullptr;
}

// A path as a person types it on Windows.
std::string Backslashed(std::string path) {
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

TEST(Win32PlatformTest, ChoosersShowTheirTitleFilterAndStartAndReturnTheChoice) {
  TempDir dir;
  WriteBytes(dir.File("list.txt"), "1.2.3.4:80\r\n");
  const std::string folder = dir.path();
  const struct {
    bool save;
    ChooserStart start;
    std::string typed;  // "" cancels
    std::string chosen;
  } rows[] = {
      {false, {folder, ""}, "", ""},
      {false, {folder, "list.txt"}, dir.File("list.txt"), dir.File("list.txt")},
      {true, {folder, "new.txt"}, dir.File("new.txt"), dir.File("new.txt")},
      {true, {folder, "plain"}, dir.File("plain"), dir.File("plain.txt")},  // as Notepad does
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.typed);
    Win32Platform platform;
    std::string filter;
    std::string start_name;
    DialogAnswer answer([&](HWND dialog) {
      const HWND types = ::GetDlgItem(dialog, 0x470 /* cmb1 */);
      wchar_t first[64] = {};
      ::SendMessageW(types, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
      filter = Narrow(first);
      start_name = Narrow(WindowText(FileNameField(dialog)));
      if (row.typed.empty()) {
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
      }
      ::SetWindowTextW(FileNameField(dialog), Widen(Backslashed(row.typed)).c_str());
      ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    const std::string chosen =
        row.save ? platform.ChooseFileToSave("Save", "All Files (*.txt)|*.txt", row.start)
                 : platform.ChooseFileToOpen("Open", "All Files (*.txt)|*.txt", row.start);
    ASSERT_TRUE(answer.answered);
    EXPECT_EQ(answer.title, row.save ? "Save" : "Open");
    EXPECT_EQ(filter, "All Files (*.txt)");
    EXPECT_EQ(start_name, row.start.name);
    // Wine reports the folder as its own path; compare the names.
    EXPECT_EQ(chosen.empty(), row.chosen.empty());
    if (!chosen.empty()) {
      EXPECT_EQ(chosen.substr(chosen.find_last_of("\\/") + 1),
                row.chosen.substr(row.chosen.find_last_of("\\/") + 1));
    }
  }
}

TEST(Win32PlatformTest, MessagesAreTitledKestrovaWithTheirText) {
  for (const std::string text :
       {"Add 'Help' button code.",
        "Cannot open the list file \"C:\\Списки\\a.txt\":\nNo such file."}) {
    Win32Platform platform;
    int refreshed = 0;
    platform.SetOwner(nullptr, [&] { ++refreshed; });
    std::string shown;
    DialogAnswer answer([&](HWND box) {
      shown = Narrow(WindowText(::GetDlgItem(box, 0xFFFF)));
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    platform.ShowMessage(text);
    ASSERT_TRUE(answer.answered);
    EXPECT_EQ(answer.title, "Kestrova");
    EXPECT_EQ(shown, text);
    EXPECT_EQ(refreshed, 1);  // the window is brought up to date first
  }
}

TEST(Win32PlatformTest, SettingsAreStringsInTheRegistryKeyOfOldWindowsPrograms) {
  // A stored placement there is read, whoever wrote it.
  const std::wstring key = L"Software\\VB and VBA Program Settings\\Kestrova\\Settings";
  const std::wstring old = L"1500";
  ASSERT_EQ(::RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), L"MainLeft", REG_SZ, old.c_str(),
                              static_cast<DWORD>((old.size() + 1) * sizeof(wchar_t))),
            ERROR_SUCCESS);
  Win32Platform platform;
  EXPECT_EQ(platform.ReadSetting("Settings", "MainLeft"), "1500");
  EXPECT_EQ(platform.ReadSetting("Settings", "MainTop"), std::nullopt);
  platform.WriteSetting("Settings", "MainTop", "2250.5");
  wchar_t value[32] = {};
  DWORD size = sizeof value;
  DWORD type = 0;
  EXPECT_EQ(
      ::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"MainTop", RRF_RT_ANY, &type, value, &size),
      ERROR_SUCCESS);
  EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(std::wstring(value), L"2250.5");
  ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VB and VBA Program Settings\\Kestrova");

  // Another root keeps other texts whole, and a missing key reads as missing.
  Win32Platform other(L"Software\\Kestrova tests");
  other.WriteSetting("Раздел", "Ключ", "Значение");
  EXPECT_EQ(other.ReadSetting("Раздел", "Ключ"), "Значение");
  EXPECT_EQ(other.ReadSetting("Settings", "Ключ"), std::nullopt);
  ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Kestrova tests");
}

TEST(Win32PlatformTest, OptionsLiveInTheUsersAppDataAndScreensAreInTwips) {
  Win32Platform platform;
  wchar_t appdata[MAX_PATH] = {};
  ::GetEnvironmentVariableW(L"APPDATA", appdata, MAX_PATH);
  EXPECT_EQ(platform.OptionsFilePath(), Narrow(appdata) + "\\Kestrova\\proxy_stup.pr");
  const std::vector<ScreenArea> screens = platform.Screens();
  ASSERT_FALSE(screens.empty());
  RECT work;
  ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const float twips = static_cast<float>(kTwipsPerInch) / static_cast<float>(SystemDpi());
  EXPECT_EQ(screens[0].left, work.left * twips);
  EXPECT_EQ(screens[0].top, work.top * twips);
  EXPECT_EQ(screens[0].width, (work.right - work.left) * twips);
  EXPECT_EQ(screens[0].height, (work.bottom - work.top) * twips);
}

// Arguments pass to kestrova.exe through one command line unchanged.
TEST(CommandLineTest, QuotedArgumentsComeBackWhole) {
  for (const std::wstring arg :
       {L"plain", L"C:\\Program Files\\list.txt", L"say \"hi\"", L"ends\\", L"C:\\dir with space\\",
        L"a\\\\\"b", L"", L"tab\there", L"Список.txt"}) {
    const std::wstring line = L"kestrova.exe " + QuoteArgument(arg) + L" next";
    int count = 0;
    wchar_t** argv = ::CommandLineToArgvW(line.c_str(), &count);
    ASSERT_EQ(count, 3) << Narrow(line);
    EXPECT_EQ(std::wstring(argv[1]), arg);
    EXPECT_EQ(std::wstring(argv[2]), L"next");
    ::LocalFree(argv);
  }
}

TEST(CommandLineTest, HelpVersionFileAndMistakes) {
  const struct {
    std::vector<std::string> args;
    bool window;
    std::string file;
    int status;
    const char* output;  // a part of it
    const char* errors;
  } rows[] = {
      {{}, true, "", 0, "", ""},
      {{"C:\\lists\\a.txt"}, true, "C:\\lists\\a.txt", 0, "", ""},
      {{"--", "-dash.txt"}, true, "-dash.txt", 0, "", ""},
      {{"-"}, false, "", 2, "", "not standard input"},
      {{"sfit"}, false, "", 2, "", "did you mean \"sift\"?"},
      {{"--version"}, false, "", 0, "Kestrova 1.0\n", ""},
      {{"-h"}, false, "", 0, "kestrova sift --help", ""},
      {{"/?"}, false, "", 0, "Usage: kestrova [FILE]", ""},
      {{"--bogus"}, false, "", 2, "", "unknown option \"--bogus\""},
      {{"a.txt", "b.txt"}, false, "", 2, "", "one FILE at most"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.args.empty() ? "(none)" : row.args[0]);
    MemorySink output;
    MemorySink errors;
    const StartRequest request = HandleCommandLine(row.args, output, errors);
    EXPECT_EQ(request.window, row.window);
    EXPECT_EQ(request.file, row.file);
    EXPECT_EQ(request.status, row.status);
    EXPECT_NE(output.bytes.find(row.output), std::string::npos) << output.bytes;
    EXPECT_NE(errors.bytes.find(row.errors), std::string::npos) << errors.bytes;
    if (!*row.output) {
      EXPECT_EQ(output.bytes, "");
    }
  }
}

struct Finished {
  DWORD status = ~DWORD{0};
  std::string output;
  std::string errors;
};

std::string Drain(HANDLE pipe) {
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (::ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0)
    bytes.append(buffer, got);
  return bytes;
}

// Runs `line` in `folder` with `input` on its standard input.
Finished RunProgram(const std::wstring& line, const std::string& input,
                    const std::wstring& folder = {}) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE in_read, in_write, out_read, out_write, err_read, err_write;
  ::CreatePipe(&in_read, &in_write, &inherit, 0);
  ::CreatePipe(&out_read, &out_write, &inherit, 0);
  ::CreatePipe(&err_read, &err_write, &inherit, 0);
  for (HANDLE own : {in_write, out_read, err_read})
    ::SetHandleInformation(own, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in_read;
  startup.hStdOutput = out_write;
  startup.hStdError = err_write;
  PROCESS_INFORMATION process{};
  std::wstring command = line;
  Finished finished;
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
    ADD_FAILURE() << "cannot start " << Narrow(line);
    return finished;
  }
  for (HANDLE theirs : {in_read, out_write, err_write}) ::CloseHandle(theirs);
  DWORD written = 0;
  ::WriteFile(in_write, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
  ::CloseHandle(in_write);
  std::thread errors([&] { finished.errors = Drain(err_read); });
  finished.output = Drain(out_read);
  errors.join();
  ::WaitForSingleObject(process.hProcess, 60000);
  ::GetExitCodeProcess(process.hProcess, &finished.status);
  for (HANDLE own : {out_read, err_read, process.hProcess, process.hThread}) ::CloseHandle(own);
  return finished;
}

std::wstring ProgramFolder() {
  std::wstring folder = Widen(KESTROVA_PROGRAM_DIR);
  for (wchar_t& c : folder) {
    if (c == L'/') c = L'\\';
  }
  return folder;
}

// `kestrova sift` and the rest from a console: the companion answers with
// the standard streams and the exit status, as on Linux; the window program
// does the same when its output is redirected.
TEST(ProgramsTest, ConsoleCommandsHaveRealStreamsAndStatus) {
  const std::wstring com = L"\"" + ProgramFolder() + L"\\kestrova.com\"";
  const std::wstring exe = L"\"" + ProgramFolder() + L"\\kestrova.exe\"";
  const std::string list = "1.2.3.4:80 a\r\njunk\r\n1.2.3.4:80\r\nwww.host.example:80\r\n";
  const struct {
    std::wstring line;
    std::string input;
    DWORD status;
    std::string output;  // whole
    const char* errors;  // a part
  } rows[] = {
      {com + L" --version", "", 0, "Kestrova 1.0\n", ""},
      {com + L" sift --drop-repeats -q", list, 0, "1.2.3.4:80\r\nwww.host.example:80\r\n", ""},
      {com + L" sift --drop-host-names --lf", list, 0, "1.2.3.4:80\n1.2.3.4:80\n", "4 lines read"},
      {com + L" sift --bogus", "", 2, "", "unknown option"},
      {com + L" sift " + ProgramFolder() + L"\\missing.txt", "", 1, "", "missing.txt"},
      {com + L" --bogus", "", 2, "", "unknown option"},
      {exe + L" --version", "", 0, "Kestrova 1.0\n", ""},
      {exe + L" sift --only-www -q", list, 0, "www.host.example:80\r\n", ""},
      // cmd.exe finds kestrova.com before kestrova.exe.
      {L"cmd.exe /c kestrova --version", "", 0, "Kestrova 1.0\n", ""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(Narrow(row.line));
    const Finished finished = RunProgram(row.line, row.input, ProgramFolder());
    EXPECT_EQ(finished.status, row.status);
    EXPECT_EQ(finished.output, row.output);
    EXPECT_NE(finished.errors.find(row.errors), std::string::npos) << finished.errors;
  }
}

// The main window of a running Kestrova that shows `path` in Label1.
HWND FindKestrovaShowing(const std::string& path) {
  for (int attempt = 0; attempt < 300; ++attempt) {
    HWND main = nullptr;
    while ((main = ::FindWindowExW(nullptr, main, kMainWindowClass, nullptr))) {
      HWND label = nullptr;
      while ((label = ::FindWindowExW(main, label, L"Static", nullptr))) {
        if (Narrow(WindowText(label)) == path) return main;
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return nullptr;
}

// Started from Explorer, "Open with" or the console companion with a FILE,
// the window opens it as File > Open would.
TEST(ProgramsTest, TheWindowOpensTheFileItIsGiven) {
  TempDir dir;
  WriteBytes(dir.File("list.txt"), "1.2.3.4:80\r\n5.6.7.8:80\r\njunk\r\n");
  const std::string path = Backslashed(dir.File("list.txt"));
  for (const wchar_t* program : {L"kestrova.exe", L"kestrova.com"}) {
    SCOPED_TRACE(Narrow(program));
    const std::wstring line =
        L"\"" + ProgramFolder() + L"\\" + program + L"\" " + QuoteArgument(Widen(path));
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::wstring command = line;
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &process));
    const HWND main = FindKestrovaShowing(path);
    ASSERT_NE(main, nullptr);
    const HWND list = ::FindWindowExW(main, nullptr, WC_LISTVIEWW, nullptr);
    EXPECT_EQ(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 3);
    DWORD window_process = 0;
    ::GetWindowThreadProcessId(main, &window_process);
    const HANDLE running = ::OpenProcess(SYNCHRONIZE, FALSE, window_process);
    // "Выход" ends it at once, leaving the stored placement alone.
    ::SendMessageW(::FindWindowExW(main, nullptr, L"Button", L"Выход"), BM_CLICK, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(running, 30000), WAIT_OBJECT_0);
    ::CloseHandle(running);
    ::WaitForSingleObject(process.hProcess, 30000);
    DWORD status = 1;
    ::GetExitCodeProcess(process.hProcess, &status);
    EXPECT_EQ(status, 0u);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
  }
}

}  // namespace
}  // namespace kestrova
