// The options file: four switches and the tint name, carried across runs.
#ifndef KESTROVA_OPTIONS_OPTIONS_FILE_H_
#define KESTROVA_OPTIONS_OPTIONS_FILE_H_

#include <string>
#include <string_view>

#include "ui/platform.h"
#include "ui/ui_model.h"

namespace kestrova {

inline constexpr char kOptionsFileName[] = "proxy_stup.pr";

// Windows programs of old kept the file at this one path for everybody; a
// normal user can no longer write there, so it is only read, until the user
// has a file of their own.
#ifdef _WIN32
inline constexpr char kSharedOptionsFilePath[] = "C:\\WINDOWS\\proxy_stup.pr";
#else
inline constexpr char kSharedOptionsFilePath[] = "";
#endif

// Where Apply keeps the options: "Kestrova" in the user's configuration
// folder.
std::string UserOptionsFilePath();

// The file start-up reads: the user's own, or while it does not exist, the
// shared one if that exists.
std::string OptionsFileToRead(const std::string& user_path,
                              const std::string& shared_path = kSharedOptionsFilePath);

// Reads comma- and line-delimited fields: leading blanks skipped, a field in
// double quotes taken without them, CR LF, CR and LF ending a line.
class OptionsFieldReader {
 public:
  explicit OptionsFieldReader(std::string_view data) : data_(data) {}
  // False when no byte is left to read a field from.
  bool Next(std::string* field);

 private:
  void SkipDelimiter();

  std::string_view data_;
  size_t pos_ = 0;
};

// The five lines: "1" or "2" for Check1 to Check4, then the tint name in
// windows-1251, each ended by CR LF.
std::string OptionsFileBytes(const MainWindowModel& model);

// Loads the switches and the tint name from the file at `path`, each as soon
// as it is read. False when the file cannot be read or holds fewer than five
// fields; what was read before stays set.
bool ReadOptionsFile(MainWindowModel& model, const std::string& path);
// The same, from the file's bytes.
bool ReadOptionsBytes(MainWindowModel& model, std::string_view data);

// Saves the switches and the tint name, replacing the file whole; says why
// when it cannot. Creates the folder on first use.
bool WriteOptionsFile(const MainWindowModel& model, Platform& platform, const std::string& path);

}  // namespace kestrova

#endif  // KESTROVA_OPTIONS_OPTIONS_FILE_H_
