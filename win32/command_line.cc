#include "win32/command_line.h"

#include <windows.h>

#include "app/command_line.h"
#include "win32/wide_text.h"

namespace kestrova {
namespace {

void Say(ByteSink& sink, const std::string& text) {
  std::string ignored;
  sink.Write(text, &ignored);
}

}  // namespace

StartRequest HandleCommandLine(const std::vector<std::string>& args, ByteSink& output,
                               ByteSink& errors) {
  // The same command line as everywhere, with the Windows way of asking
  // for help besides.
  std::vector<std::string> words = args;
  if (!words.empty() && words.front() == "/?") words.front() = "--help";
  InputFile input;
  input.OpenStandardInput();
  const CommandStreams streams{input, output, errors, IsTerminal(StandardStream::kError)};
  StartRequest request;
  request.status =
      RunCommandLine(words, streams, [&request](const std::optional<std::string>& file) {
        request.window = true;
        request.file = file.value_or("");
        return kExitDone;
      });
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
