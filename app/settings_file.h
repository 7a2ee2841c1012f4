// The per-user settings store kept in a small text file of its own:
// "[Section]" lines, each followed by its "Key=Value" lines, as the Qt
// settings class wrote it before (so a file it wrote is still read).
// Written through the file layer's one rule: a regular file is replaced
// whole, a device or a pipe is written straight, nothing else is touched.
#ifndef KESTROVA_APP_SETTINGS_FILE_H_
#define KESTROVA_APP_SETTINGS_FILE_H_

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace kestrova {

inline constexpr char kSettingsFileName[] = "Kestrova.conf";

// A real settings file holds four numbers and a folder or two: one past this
// size is damaged, and is set aside unread, so that start and exit stay
// quick whatever the file holds.
inline constexpr size_t kMaxSettingsFileBytes = size_t{1} << 20;
// What a damaged settings file is renamed to: "Kestrova.conf.damaged".
inline constexpr char kDamagedTag[] = "damaged";

// "Kestrova/Kestrova.conf" in the user's configuration folder.
std::string UserSettingsFilePath();

// The value of `key` in `section` of a settings file's text, when it is
// there (the first, if there are several).
std::optional<std::string> FindSetting(std::string_view text, std::string_view section,
                                       std::string_view key);
// The text with `key` in `section` set to `value`; every other line stays as
// it was. Any bytes make a value: they read back the same.
std::string WithSetting(std::string_view text, std::string_view section, std::string_view key,
                        std::string_view value);

class SettingsFile {
 public:
  explicit SettingsFile(std::string path) : path_(std::move(path)) {}

  const std::string& path() const { return path_; }

  // Missing when the file, the section or the key is, or when the file
  // cannot be read.
  std::optional<std::string> Read(std::string_view section, std::string_view key);
  // Writes nothing when the value is stored already. False, with the reason,
  // when the file cannot be written.
  bool Write(std::string_view section, std::string_view key, std::string_view value,
             std::string* reason);

  // Where the last Read or Write set a damaged file aside; else empty.
  const std::string& set_aside() const { return set_aside_; }

 private:
  // The file's text: empty when there is no file, or when it is a device or
  // a pipe, which is never read. False, with the reason, when what the file
  // holds cannot be known.
  bool Load(std::string* text, std::string* reason);

  std::string path_;
  std::string set_aside_;
};

}  // namespace kestrova

#endif  // KESTROVA_APP_SETTINGS_FILE_H_
