// The operating-system layer on Windows: UTF-8 paths go to the wide (UTF-16)
// calls, and failures read as they do on POSIX.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <new>

#include "os/file_io.h"
#include "os/memory.h"
#include "os/wide_text.h"

namespace kestrova {
namespace {

HANDLE Handle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
std::intptr_t Stored(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }

// The texts a POSIX system gives for the same failures, so a message reads
// the same everywhere; the system's own text for the rest.
std::string Reason(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
      return "No such file or directory";
    case ERROR_ACCESS_DENIED:
      return "Permission denied";
    case ERROR_WRITE_PROTECT:
      return "Read-only file system";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return "Permission denied (another program is using the file)";
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "No space left on device";
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return "File exists";
    case ERROR_DIRECTORY:
      return "Not a directory";
    case ERROR_FILE_TOO_LARGE:
      return "File too large";
    case ERROR_FILENAME_EXCED_RANGE:
      return "File name too long";
    default:
      break;
  }
  wchar_t* text = nullptr;
  const DWORD n = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string reason = n ? Narrow(std::wstring_view(text, n)) : "";
  if (text) ::LocalFree(text);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                             reason.back() == '.' || reason.back() == ' ')) {
    reason.pop_back();
  }
  return reason.empty() ? "Error " + std::to_string(error) : reason;
}

std::string LastReason() { return Reason(::GetLastError()); }

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool WriteAll(HANDLE handle, std::string_view data, std::string* reason) {
  while (!data.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(data.size(), DWORD{1} << 30));
    DWORD written = 0;
    if (!::WriteFile(handle, data.data(), chunk, &written, nullptr)) {
      *reason = LastReason();
      return false;
    }
    data.remove_prefix(written);
  }
  return true;
}

// What stands at a path, without following it if it is a link.
HANDLE OpenForQuery(const std::wstring& path) {
  return ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// The file a symbolic link finally names, as a plain drive or UNC path.
bool ResolveLink(const std::wstring& path, std::string* target, std::string* reason) {
  const HANDLE h = OpenForQuery(path);
  if (h == INVALID_HANDLE_VALUE) {
    *reason = LastReason();
    return false;
  }
  std::wstring final_path(MAX_PATH, L'\0');
  DWORD n =
      ::GetFinalPathNameByHandleW(h, final_path.data(), static_cast<DWORD>(final_path.size()), 0);
  if (n >= final_path.size()) {
    final_path.resize(n);
    n = ::GetFinalPathNameByHandleW(h, final_path.data(), n, 0);
  }
  const DWORD error = ::GetLastError();
  ::CloseHandle(h);
  if (n == 0) {
    *reason = Reason(error);
    return false;
  }
  final_path.resize(n);
  if (final_path.rfind(L"\\\\?\\UNC\\", 0) == 0) {
    final_path = L"\\" + final_path.substr(7);
  } else if (final_path.rfind(L"\\\\?\\", 0) == 0) {
    final_path = final_path.substr(4);
  }
  *target = Narrow(final_path);
  return true;
}

// A new, unique file of a short name of its own in `folder`, so that a
// target name of any legal length works.
HANDLE CreateTemporary(const std::string& folder, std::string* temp, std::string* reason) {
  static unsigned long long seed = ::GetTickCount64() ^ (::GetCurrentProcessId() * 2654435761ull);
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = ".kestrova-";
    for (int i = 0; i < 6; ++i) {
      seed = seed * 6364136223846793005ull + 1442695040888963407ull;
      name += kLetters[(seed >> 33) % 62];
    }
    name = JoinPath(folder, name);
    const HANDLE h = ::CreateFileW(Widen(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
      *temp = name;
      return h;
    }
    if (::GetLastError() != ERROR_FILE_EXISTS) break;
  }
  *reason = LastReason();
  return INVALID_HANDLE_VALUE;
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), n);
  return wide;
}

std::string Narrow(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), n, nullptr, nullptr);
  return utf8;
}

bool InputFile::Open(const std::string& path, Accept accept, std::string* reason) {
  Close();
  const std::wstring wide = Widen(path);
  const DWORD attributes = ::GetFileAttributesW(wide.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    *reason = "It is a folder, not a file";
    return false;
  }
  // Opening never waits: a pipe that is busy or has no server fails at once.
  const HANDLE h = ::CreateFileW(wide.c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    *reason = LastReason();
    return false;
  }
  const bool regular = ::GetFileType(h) == FILE_TYPE_DISK;
  if (!regular && accept == Accept::kRegularFiles) {
    ::CloseHandle(h);
    *reason = "It is not a regular file";
    return false;
  }
  LARGE_INTEGER size{};
  handle_ = Stored(h);
  owned_ = true;
  size_ = regular && ::GetFileSizeEx(h, &size) ? static_cast<long long>(size.QuadPart) : -1;
  return true;
}

void InputFile::OpenStandardInput() {
  Close();
  const HANDLE h = ::GetStdHandle(STD_INPUT_HANDLE);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return;  // no input at all: reads as empty
  handle_ = Stored(h);
  owned_ = false;
  LARGE_INTEGER size{};
  LARGE_INTEGER offset{};
  if (::GetFileType(h) == FILE_TYPE_DISK && ::GetFileSizeEx(h, &size) &&
      ::SetFilePointerEx(h, LARGE_INTEGER{}, &offset, FILE_CURRENT)) {
    size_ = static_cast<long long>(size.QuadPart - offset.QuadPart);
  }
}

std::ptrdiff_t InputFile::Read(char* data, size_t size, std::string* reason) {
  if (handle_ == -1) return 0;
  DWORD got = 0;
  const DWORD wanted = static_cast<DWORD>(std::min<size_t>(size, DWORD{1} << 30));
  if (!::ReadFile(Handle(handle_), data, wanted, &got, nullptr)) {
    const DWORD error = ::GetLastError();
    // A pipe whose writer has gone has simply ended.
    if (error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF) return 0;
    *reason = Reason(error);
    return -1;
  }
  return static_cast<std::ptrdiff_t>(got);
}

void InputFile::Close() {
  if (handle_ != -1 && owned_) ::CloseHandle(Handle(handle_));
  handle_ = -1;
  owned_ = false;
  size_ = -1;
}

namespace {

// The full path of `path`, or `path` when there is none.
std::string FullPath(const std::string& path) {
  const std::wstring wide = Widen(path);
  const DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD n = ::GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  if (n == 0 || n >= size) return path;
  return Narrow(std::wstring_view(full.data(), n));
}

}  // namespace

bool FileReplacement::Begin(const std::string& path, std::string* reason, PipeWait) {
  Abandon();
  // ReplaceFileW fails on a bare relative name ("out.txt") with "The
  // directory name is invalid", at least under Wine: work on the full path.
  target_ = FullPath(path);
  // A device (NUL, a port) or a pipe cannot be replaced: written straight.
  auto write_straight = [&](const std::wstring& name) {
    const HANDLE h = ::CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      *reason = LastReason();
      return false;
    }
    handle_ = Stored(h);
    return true;
  };
  // Looking at a named pipe would take one of its instances: it is opened
  // once, to write.
  std::string prefix = path.substr(0, 9);
  std::transform(prefix.begin(), prefix.end(), prefix.begin(), [](char c) {
    return c == '/' ? '\\' : c >= 'A' && c <= 'Z' ? c + 32 : c;
  });
  if (prefix == "\\\\.\\pipe\\" || prefix == "\\\\?\\pipe\\") return write_straight(Widen(path));
  DWORD attributes = ::GetFileAttributesW(Widen(target_).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    if (!ResolveLink(Widen(path), &target_, reason)) return false;
    attributes = ::GetFileAttributesW(Widen(target_).c_str());
  }
  const std::wstring target = Widen(target_);
  target_exists_ = attributes != INVALID_FILE_ATTRIBUTES;
  if (!target_exists_) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
      *reason = Reason(error);
      return false;
    }
  } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    *reason = "It is a folder, not a file";
    return false;
  } else {
    const HANDLE query = OpenForQuery(target);
    const DWORD type = query == INVALID_HANDLE_VALUE ? FILE_TYPE_DISK : ::GetFileType(query);
    if (query != INVALID_HANDLE_VALUE) ::CloseHandle(query);
    if (type == FILE_TYPE_CHAR || type == FILE_TYPE_PIPE) return write_straight(target);
    if (type != FILE_TYPE_DISK) {
      *reason = "It is not a regular file";
      return false;
    }
    if (attributes & FILE_ATTRIBUTE_READONLY) {
      *reason = Reason(ERROR_ACCESS_DENIED) + " (the file is read-only)";
      return false;
    }
  }
  // Said plainly here: past 255 characters the calls fail in more ways.
  const size_t name_start = target_.find_last_of("\\/") + 1;
  if (Widen(std::string_view(target_).substr(name_start)).size() > 255) {
    *reason = Reason(ERROR_FILENAME_EXCED_RANGE);
    return false;
  }
  const DWORD folder = ::GetFileAttributesW(Widen(ParentFolder(target_)).c_str());
  if (folder == INVALID_FILE_ATTRIBUTES) {
    *reason = LastReason();
    return false;
  }
  if (!(folder & FILE_ATTRIBUTE_DIRECTORY)) {
    *reason = Reason(ERROR_DIRECTORY);
    return false;
  }
  const HANDLE h = CreateTemporary(ParentFolder(target_), &temp_, reason);
  if (h == INVALID_HANDLE_VALUE) return false;
  handle_ = Stored(h);
  return true;
}

bool FileReplacement::Write(std::string_view data, std::string* reason) {
  return WriteAll(Handle(handle_), data, reason);
}

bool FileReplacement::Commit(std::string* reason) {
  const HANDLE h = Handle(handle_);
  handle_ = -1;
  bool ok = true;
  if (!temp_.empty() && !::FlushFileBuffers(h)) {
    *reason = LastReason();
    ok = false;
  }
  ::CloseHandle(h);
  if (temp_.empty()) return ok;
  if (ok) {
    const std::wstring target = Widen(target_);
    const std::wstring temp = Widen(temp_);
    // ReplaceFileW keeps the old file's attributes and permissions.
    ok = target_exists_ ? ::ReplaceFileW(target.c_str(), temp.c_str(), nullptr,
                                         REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)
                        : ::MoveFileExW(temp.c_str(), target.c_str(),
                                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) *reason = LastReason();
  }
  if (!ok) {
    Abandon();
    return false;
  }
  temp_.clear();
  return true;
}

void FileReplacement::Abandon() {
  if (handle_ != -1) ::CloseHandle(Handle(handle_));
  handle_ = -1;
  if (!temp_.empty()) ::DeleteFileW(Widen(temp_).c_str());
  temp_.clear();
}

bool StandardSink::Write(std::string_view data, std::string* reason) {
  const HANDLE h =
      ::GetStdHandle(stream_ == StandardStream::kOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return true;  // no console: nowhere to write
  DWORD mode = 0;
  if (::GetConsoleMode(h, &mode)) {
    // A console shows UTF-16, whatever its code page.
    const std::wstring text = Widen(data);
    DWORD written = 0;
    if (!::WriteConsoleW(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr)) {
      *reason = LastReason();
      return false;
    }
    return true;
  }
  return WriteAll(h, data, reason);
}

bool IsTerminal(StandardStream stream) {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(stream == StandardStream::kOutput ? STD_OUTPUT_HANDLE
                                                                           : STD_ERROR_HANDLE),
                          &mode) != 0;
}

bool MakeFolders(const std::string& dir, std::string* reason) {
  if (dir.empty()) return true;
  const DWORD attributes = ::GetFileAttributesW(Widen(dir).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return true;
    *reason = Reason(ERROR_DIRECTORY);
    return false;
  }
  const std::string parent = ParentFolder(dir);
  if (parent != dir && !MakeFolders(parent, reason)) return false;
  if (!::CreateDirectoryW(Widen(dir).c_str(), nullptr) &&
      ::GetLastError() != ERROR_ALREADY_EXISTS) {
    *reason = LastReason();
    return false;
  }
  return true;
}

bool PathExists(const std::string& path) {
  return ::GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

PathKind KindOfPath(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? PathKind::kNothing
                                                                          : PathKind::kOther;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return PathKind::kFolder;
  const HANDLE query = OpenForQuery(Widen(path));
  if (query == INVALID_HANDLE_VALUE) return PathKind::kOther;
  const DWORD type = ::GetFileType(query);
  ::CloseHandle(query);
  return type == FILE_TYPE_DISK ? PathKind::kRegularFile : PathKind::kOther;
}

bool SetFileAside(const std::string& path, std::string_view tag, std::string* aside,
                  std::string* reason) {
  std::string file = path;
  const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
      !ResolveLink(Widen(path), &file, reason)) {
    return false;
  }
  if (KindOfPath(file) != PathKind::kRegularFile) {
    *reason = PathExists(file) ? "It is not a regular file" : Reason(ERROR_FILE_NOT_FOUND);
    return false;
  }
  for (int n = 1; n <= 100; ++n) {
    std::string name = file + ".";
    name += tag;
    if (n > 1) name += '-' + std::to_string(n);
    // Without MOVEFILE_REPLACE_EXISTING nothing that exists is replaced.
    if (::MoveFileExW(Widen(file).c_str(), Widen(name).c_str(), MOVEFILE_WRITE_THROUGH)) {
      *aside = name;
      return true;
    }
    const DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) continue;
    *reason = Reason(error);
    return false;
  }
  *reason = Reason(ERROR_FILE_EXISTS);
  return false;
}

std::string ParentFolder(const std::string& path) {
  const size_t slash = path.find_last_of("\\/");
  if (slash == std::string::npos) return ".";
  // Keep a root: "\", "C:\".
  if (slash == 0 || (slash == 2 && path[1] == ':')) return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

std::string JoinPath(const std::string& folder, std::string_view name) {
  if (folder.empty() || IsSeparator(folder.back())) return folder + std::string(name);
  return folder + "\\" + std::string(name);
}

std::string UserConfigFolder() {
  wchar_t buffer[32768];
  for (const wchar_t* name : {L"APPDATA", L"USERPROFILE"}) {
    const DWORD n = ::GetEnvironmentVariableW(name, buffer, 32768);
    if (n == 0 || n >= 32768) continue;
    const std::string folder = Narrow(std::wstring_view(buffer, n));
    return name[0] == L'A' ? folder : JoinPath(JoinPath(folder, "AppData"), "Roaming");
  }
  return ".";
}

std::vector<std::string> ProgramArguments(int, char**) {
  // The narrow argv is in the ANSI code page and loses other characters.
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; i < count; ++i) args.push_back(Narrow(wide[i]));
  if (wide) ::LocalFree(wide);
  return args;
}

LargeBlock::LargeBlock(size_t bytes) : size_(bytes) {
  if (bytes == 0) return;
  // Committed pages are zero and take memory only once touched. (Large pages
  // need a privilege that a normal user lacks.)
  data_ = ::VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (!data_) throw std::bad_alloc();
}

LargeBlock::~LargeBlock() {
  if (data_) ::VirtualFree(data_, 0, MEM_RELEASE);
}

long long RaiseOpenFileLimit() { return -1; }

}  // namespace kestrova
