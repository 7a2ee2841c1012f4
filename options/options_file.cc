#include "options/options_file.h"

#include "base/text_codec.h"
#include "os/file_io.h"

namespace kestrova {
namespace {

// Far more than five short fields; the rest of an overgrown file is ignored.
constexpr size_t kMaxOptionsBytes = size_t{1} << 20;

bool IsDelimiter(char c) { return c == ',' || c == '\r' || c == '\n'; }

}  // namespace

void OptionsFieldReader::SkipDelimiter() {
  if (pos_ >= data_.size()) return;
  const char c = data_[pos_++];
  if (c == '\r' && pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
}

bool OptionsFieldReader::Next(std::string* field) {
  if (pos_ >= data_.size()) return false;
  while (pos_ < data_.size() && data_[pos_] == ' ') ++pos_;
  if (pos_ < data_.size() && data_[pos_] == '"') {
    const size_t start = ++pos_;
    size_t close = data_.find('"', start);
    if (close == std::string_view::npos) close = data_.size();
    field->assign(data_.substr(start, close - start));
    pos_ = close;
    // Whatever stands between the closing quote and the delimiter is dropped.
    while (pos_ < data_.size() && !IsDelimiter(data_[pos_])) ++pos_;
  } else {
    const size_t start = pos_;
    while (pos_ < data_.size() && !IsDelimiter(data_[pos_])) ++pos_;
    field->assign(data_.substr(start, pos_ - start));
  }
  SkipDelimiter();
  return true;
}

std::string UserOptionsFilePath() {
  return JoinPath(JoinPath(UserConfigFolder(), "Kestrova"), kOptionsFileName);
}

std::string OptionsFileToRead(const std::string& user_path, const std::string& shared_path) {
  if (shared_path.empty() || PathExists(user_path) || !PathExists(shared_path)) return user_path;
  return shared_path;
}

std::string OptionsFileBytes(const MainWindowModel& model) {
  std::string bytes;
  for (int value : {model.check1, model.check2, model.check3, model.check4}) {
    bytes += value == 1 ? "1\r\n" : "2\r\n";
  }
  bytes += Utf8ToCp1251(model.combo1_text);
  bytes += "\r\n";
  return bytes;
}

bool ReadOptionsFile(MainWindowModel& model, const std::string& path) {
  std::string data;
  std::string reason;
  return ReadFilePrefix(path, kMaxOptionsBytes, &data, &reason) && ReadOptionsBytes(model, data);
}

bool ReadOptionsBytes(MainWindowModel& model, std::string_view data) {
  OptionsFieldReader reader(data);
  std::string field;
  for (int* check : {&model.check1, &model.check2, &model.check3, &model.check4}) {
    if (!reader.Next(&field)) return false;
    *check = field == "1" ? 1 : 0;
  }
  if (!reader.Next(&field)) return false;
  model.combo1_text = Cp1251ToUtf8(field);
  return true;
}

bool WriteOptionsFile(const MainWindowModel& model, Platform& platform, const std::string& path) {
  std::string reason;
  const bool ok = MakeFolders(ParentFolder(path), &reason) &&
                  WriteFileAtomically(path, OptionsFileBytes(model), &reason);
  if (!ok) platform.ShowMessage(DescribeFailure("Cannot save the options to", path, reason));
  return ok;
}

}  // namespace kestrova
