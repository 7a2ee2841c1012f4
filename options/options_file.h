// The options file: four switches and the tint name, carried across runs.
#ifndef KESTROVA_OPTIONS_OPTIONS_FILE_H_
#define KESTROVA_OPTIONS_OPTIONS_FILE_H_

#include <string>
#include <string_view>

#include "ui/platform.h"
#include "ui/ui_model.h"

namespace kestrova {

inline constexpr char kOptionsFileName[] = "proxy_stup.pr";

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

// Saves the switches and the tint name, replacing the file whole; says why
// when it cannot. Creates the folder on first use.
bool WriteOptionsFile(const MainWindowModel& model, Platform& platform, const std::string& path);

}  // namespace kestrova

#endif  // KESTROVA_OPTIONS_OPTIONS_FILE_H_
