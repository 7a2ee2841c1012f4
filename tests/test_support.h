// Helpers shared by the tests: a scripted platform and private temp folders.
#ifndef KESTROVA_TESTS_TEST_SUPPORT_H_
#define KESTROVA_TESTS_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/platform.h"
#include "ui/ui_model.h"

// Tests of what only POSIX systems have (pipes and devices as files,
// permission bits, /proc, resource limits) say so in their name and are
// skipped on Windows.
#ifdef _WIN32
#define KESTROVA_POSIX_ONLY() GTEST_SKIP() << "needs POSIX files"
#else
#define KESTROVA_POSIX_ONLY() static_cast<void>(0)
#endif

namespace kestrova::testing {

// The variable that names the user's configuration folder.
#ifdef _WIN32
inline constexpr char kConfigFolderVariable[] = "APPDATA";
#else
inline constexpr char kConfigFolderVariable[] = "XDG_CONFIG_HOME";
#endif
void SetEnv(const char* name, const std::string& value);

// A UTF-8 path (as the program keeps paths) for the standard library.
std::filesystem::path FsPath(const std::string& utf8);

// A folder of its own for each test, removed afterwards; parallel runs of
// the suite never share one.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
// Marks a file or folder read-only (all write bits off), or writable again.
void SetReadOnly(const std::string& path, bool read_only = true);

// POSIX only: a named pipe; a limit on the size of files this process
// writes, with SIGXFSZ ignored so a write past it fails instead (0 lifts it).
bool MakeFifo(const std::string& path);
void LimitFileSize(unsigned long long bytes);
// POSIX only: a local socket listening at `path`, open while the test runs.
bool MakeSocket(const std::string& path);
// POSIX only: a character device node of the test's own, with the numbers
// of the null device: written to, it takes everything; replaced by mistake,
// nothing of the system is harmed. Needs the right to make device nodes.
bool MakeDeviceNode(const std::string& path);
// POSIX only: a device that takes no byte ("No space left on device") that
// code under test may be handed without risk: a node of the test's own in
// `dir` where one can be made and written, else the system's /dev/full for a
// user who could not replace it anyway; empty when neither is safe.
std::string FullDevice(const TempDir& dir);
// POSIX only: sets the file mode creation mask; returns the one before.
unsigned SetUmask(unsigned mask);
// POSIX only: this process's number (its main thread's too).
int ProcessId();

// POSIX only: the reading end of a pipe, held open so that what is written
// to the pipe arrives without waiting: a named pipe made at `fifo`, or with
// no name, a pipe whose writing end this process holds as `writer()`.
class PipeReader {
 public:
  explicit PipeReader(const std::string& fifo = "");
  PipeReader(const PipeReader&) = delete;
  PipeReader& operator=(const PipeReader&) = delete;
  ~PipeReader();
  int reader() const { return reader_; }
  int writer() const { return writer_; }
  // Everything waiting in the pipe now.
  std::string Drain();

 private:
  int reader_ = -1;
  int writer_ = -1;
};

// POSIX only: while it lives, this process's standard output (descriptor 1)
// is the pipe's writing end, or the file at `path` opened for appending, as
// a shell's ">>" opens it.
class StandardOutputTo {
 public:
  explicit StandardOutputTo(const PipeReader& pipe);
  explicit StandardOutputTo(const std::string& path);
  StandardOutputTo(const StandardOutputTo&) = delete;
  StandardOutputTo& operator=(const StandardOutputTo&) = delete;
  ~StandardOutputTo();

 private:
  void Take(int fd);
  int saved_ = -1;
};

// POSIX only: while it lives, this process's standard input (descriptor 0)
// is the file at `path`, opened and read up to `offset`, as a shell hands a
// file over to the second command of a group that reads it; with no path it
// is closed, as "<&-" leaves it.
class StandardInputFrom {
 public:
  StandardInputFrom(const std::string& path, long long offset);
  StandardInputFrom(const StandardInputFrom&) = delete;
  StandardInputFrom& operator=(const StandardInputFrom&) = delete;
  ~StandardInputFrom();

 private:
  int saved_ = -1;
};

// POSIX only: descriptors for the tests of what a name of one reaches.
// Whether `fd` is open in this process.
bool DescriptorIsOpen(int fd);
// A copy of `fd` numbered `lowest` or above.
int DuplicateDescriptor(int fd, int lowest);
void CloseDescriptor(int fd);
// A descriptor of a new file at `path` opened for writing, its name then
// deleted, so the file lives on only through the descriptor.
int OpenAndDelete(const std::string& path);
// The reading end of a new pipe, with no flag set at all (its writing end is
// kept open).
int PlainPipeReader();

// POSIX only: while it lives, every descriptor this process may open is in
// use (the limit lowered and the rest taken by /dev/null), so the next open,
// dup or pipe fails with EMFILE.
class DescriptorsUsedUp {
 public:
  DescriptorsUsedUp();
  DescriptorsUsedUp(const DescriptorsUsedUp&) = delete;
  DescriptorsUsedUp& operator=(const DescriptorsUsedUp&) = delete;
  ~DescriptorsUsedUp();

 private:
  std::vector<int> taken_;
  long long saved_limit_ = -1;
};

// The colour of the topmost horizontal line through twip row y of `canvas`
// that covers x.
bool ColorAt(const Canvas& canvas, int x, int y, Rgb* color);

// A copy of `text` with unreadable memory right after its last byte (or,
// with `guard_before`, right before its first), so that reading one byte
// past it stops the test. Elsewhere than on POSIX, a plain copy.
class GuardedText {
 public:
  GuardedText(std::string_view text, bool guard_before);
  GuardedText(const GuardedText&) = delete;
  GuardedText& operator=(const GuardedText&) = delete;
  ~GuardedText();
  std::string_view view() const { return view_; }

 private:
  void* pages_ = nullptr;
  size_t size_ = 0;
  std::string copy_;
  std::string_view view_;
};

// POSIX only: a pseudo-terminal, open while it lives; `name()` is the end a
// program is handed as its terminal. Empty where there is none.
class PseudoTerminal {
 public:
  PseudoTerminal();
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;
  ~PseudoTerminal();
  const std::string& name() const { return name_; }

 private:
  int master_ = -1;
  std::string name_;
};

// POSIX only: runs `body` in a child process that sees `folder` mounted
// read-only (in a mount namespace of its own, so nothing else sees it) and
// returns what `body` returned; nullopt when the system lets no test do that.
std::optional<std::string> InReadOnlyMount(const std::string& folder,
                                           const std::function<std::string()>& body);

// Answers file choosers from a queue and records what the commands asked.
class FakePlatform : public Platform {
 public:
  explicit FakePlatform(std::string options_path = "") : options_path_(std::move(options_path)) {}

  std::string ChooseFileToOpen(const std::string& title, const std::string& filter,
                               const ChooserStart& start) override;
  std::string ChooseFileToSave(const std::string& title, const std::string& filter,
                               const ChooserStart& start) override;
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  std::optional<std::string> ReadSetting(const std::string& section,
                                         const std::string& key) override;
  void WriteSetting(const std::string& section, const std::string& key,
                    const std::string& value) override;
  std::string OptionsFilePath() override { return options_path_; }
  std::vector<ScreenArea> Screens() override { return screens; }
  std::string HomeFolder() override { return home; }

  std::deque<std::string> answers;   // the next chooser results; empty = cancel
  std::vector<std::string> dialogs;  // "<title>|<filter>" of each chooser shown
  std::vector<ChooserStart> starts;  // where each chooser opened
  std::vector<ScreenArea> screens;   // what Screens() answers
  std::string home;                  // what HomeFolder() answers
  std::vector<std::string> messages;
  std::map<std::string, std::string> settings;  // "section/key" -> value
  int setting_writes = 0;

 private:
  std::string Answer(const std::string& title, const std::string& filter,
                     const ChooserStart& start);
  std::string options_path_;
};

// A model holding `entries`, with the count written as the commands do.
MainWindowModel ModelWith(const std::vector<std::string>& entries);

}  // namespace kestrova::testing

#endif  // KESTROVA_TESTS_TEST_SUPPORT_H_
