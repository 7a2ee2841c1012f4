// What the two halves of the file layer share: built on their primitives.
#include "os/file_io.h"

#include <algorithm>

#include "base/text_codec.h"

namespace kestrova {

bool WriteFileAtomically(const std::string& path, std::string_view data, std::string* reason) {
  FileReplacement file;
  return file.Begin(path, reason) && file.Write(data, reason) && file.Commit(reason);
}

bool ReadFilePrefix(const std::string& path, size_t max_bytes, std::string* data,
                    std::string* reason) {
  InputFile file;
  if (!file.Open(path, InputFile::Accept::kRegularFiles, reason)) return false;
  data->clear();
  char chunk[8192];
  while (data->size() < max_bytes) {
    const std::ptrdiff_t n =
        file.Read(chunk, std::min(sizeof chunk, max_bytes - data->size()), reason);
    if (n < 0) return false;
    if (n == 0) break;
    data->append(chunk, static_cast<size_t>(n));
  }
  return true;
}

std::string DescribeFailure(std::string_view what, const std::string& path,
                            const std::string& reason) {
  std::string text(what);
  text += " \"" + EntryForDisplay(path) + "\":\n" + reason + ".";
  return text;
}

}  // namespace kestrova
