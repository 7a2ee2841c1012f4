#include "win32/command_line.h"

#include <windows.h>

#include "app/sift_command.h"
#include "ui/platform.h"
#include "win32/wide_text.h"

namespace kestrova {
namespace {

constexpr char kHelp[] =
    "Usage: kestrova [FILE]\n"
    "       kestrova sift [OPTIONS] [INPUT] [-o OUTPUT]\n"
    "\n"
    "Cleans up lists of proxy server entries (host:port lines).\n"
    "\n"
    "  FILE           a list file to open, as File > Open does\n"
    "  -h, --help     show this help and end\n"
    "  -v, --version  show the version and end\n"
    "\n"
    "To clean a list from a script, without the window: kestrova sift --help\n";

void Say(ByteSink& sink, const std::string& text) {
  std::string ignored;
  sink.Write(text, &ignored);
}

StartRequest Mistake(ByteSink& errors, const std::string& what) {
  Say(errors, "kestrova: " + what + "\nTry \"kestrova --help\".\n");
  return {false, {}, kExitUsage};
}

}  // namespace

StartRequest HandleCommandLine(const std::vector<std::string>& args, ByteSink& output,
                               ByteSink& errors) {
  if (!args.empty() && args.front() == "sift") {
    return {false, {}, RunSiftCommand(std::vector<std::string>(args.begin() + 1, args.end()))};
  }
  StartRequest request{true, {}, 0};
  bool options_done = false;
  bool file_given = false;
  for (const std::string& arg : args) {
    if (!options_done && arg == "--") {
      options_done = true;
    } else if (!options_done && (arg == "-h" || arg == "--help" || arg == "/?")) {
      Say(output, kHelp);
      return {false, {}, kExitDone};
    } else if (!options_done && (arg == "-v" || arg == "--version")) {
      Say(output, std::string(kAppTitle) + " " + kAppVersion + "\n");
      return {false, {}, kExitDone};
    } else if (!options_done && arg.size() > 1 && arg[0] == '-') {
      return Mistake(errors, "unknown option \"" + arg + "\"");
    } else if (file_given) {
      return Mistake(errors, "give one FILE at most");
    } else {
      request.file = arg;
      file_given = true;
    }
  }
  return request;
}

std::wstring QuoteArgument(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
  std::wstring quoted = L"\"";
  for (size_t i = 0;; ++i) {
    size_t backslashes = 0;
    while (i < arg.size() && arg[i] == L'\\') {
      ++backslashes;
      ++i;
    }
    if (i == arg.size()) {
      // Backslashes before the closing quote are doubled.
      quoted.append(backslashes * 2, L'\\');
      break;
    }
    if (arg[i] == L'"') {
      quoted.append(backslashes * 2 + 1, L'\\');
    } else {
      quoted.append(backslashes, L'\\');
    }
    quoted.push_back(arg[i]);
  }
  quoted.push_back(L'"');
  return quoted;
}

int StartWindowBeside(const std::string& file, ByteSink& errors) {
  std::wstring self(MAX_PATH, L'\0');
  DWORD n = 0;
  while ((n = ::GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size()))) ==
         self.size()) {
    self.resize(self.size() * 2);
  }
  self.resize(n);
  const size_t dot = self.find_last_of(L".\\/");
  std::wstring program =
      (dot != std::wstring::npos && self[dot] == L'.' ? self.substr(0, dot) : self) + L".exe";
  std::wstring line = QuoteArgument(program);
  if (!file.empty()) line += L" -- " + QuoteArgument(Widen(file));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    Say(errors, DescribeFailure("kestrova: cannot start the window", Narrow(program),
                                "Error " + std::to_string(::GetLastError())) +
                    "\n");
    return kExitFileFailed;
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return kExitDone;
}

}  // namespace kestrova
