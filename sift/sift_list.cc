#include "sift/sift_list.h"

#include <charconv>
#include <string>
#include <unordered_set>
#include <vector>

#include "ui/number_text.h"

namespace kestrova {
namespace {

constexpr int kMaxOctet = 255;

// Rescans an entry in which "www." was found, from its first character.
std::optional<std::string_view> ScanHostName(std::string_view entry) {
  int label_length = 0;
  int dots = 0;
  bool colon = false;
  size_t end = entry.size();  // kept length: up to and with the stop character
  for (size_t i = 0; i < entry.size(); ++i) {
    const char c = entry[i];
    if (c == ' ') {
      end = i + 1;
      break;
    }
    if (c == ':' || c == '.') {
      if (label_length <= 1) {
        end = i + 1;
        break;
      }
      if (c == ':') {
        colon = true;
      } else {
        ++dots;
      }
      label_length = 0;
    } else {
      ++label_length;
    }
  }
  if (dots == 3 || (dots == 2 && colon)) return entry.substr(0, end);
  return std::nullopt;
}

long long ReadCount(const std::string& text) {
  long long n = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || ptr != text.data() + text.size() || n < 0) return 0;
  return n;
}

}  // namespace

bool OctetTest(std::string_view segment) { return AtMost(segment, kMaxOctet); }

std::optional<std::string_view> ScanAddress(std::string_view entry, SiftSwitches switches) {
  int separators = 0;
  NumberReader segment;  // the characters since the last accepted separator
  size_t i = 0;
  // Every character before the current one has gone into the accepted
  // prefix or the segment, so the kept text is the entry up to the stop.
  for (;;) {
    if (entry.substr(i).starts_with("www.")) {
      if (switches.drop_host_names) return std::nullopt;
      return ScanHostName(entry);
    }
    const char c = i < entry.size() ? entry[i] : '\0';
    const char next = i + 1 < entry.size() ? entry[i + 1] : '\0';
    const bool at_end = i >= entry.size();
    if (!at_end) {
      if (separators == 4 && c == ';') break;
      if ((c == '.' || c == ':') && next == c) break;
    }
    if (switches.only_www) break;
    if (!at_end && c == ':' && separators == 3 && segment.AtMost(kMaxOctet)) {
      ++separators;
      segment.Reset();
    } else if (!at_end && c == '.' && separators < 3 && segment.AtMost(kMaxOctet)) {
      ++separators;
      segment.Reset();
    } else if (!at_end) {
      segment.Feed(c);
    }
    ++i;
    if (i >= entry.size() || entry[i] == ' ') break;
  }
  if (separators != 4) return std::nullopt;
  return entry.substr(0, i);
}

void SiftList(MainWindowModel& model) {
  model.progress_bar2.value = 0;
  const long long count = ReadCount(model.label3);
  const SiftSwitches switches{model.check2 == 1, model.check3 == 1};

  model.progress_bar1.value = 0;
  if (count == 0) return;
  model.progress_bar1.maximum = static_cast<float>(count);
  // Kept texts point into the old entries, which live until the rebuild.
  std::vector<std::string_view> kept;
  kept.reserve(static_cast<size_t>(std::min<long long>(count, model.list1.Count())));
  for (long long p = 0; p < count && p < model.list1.Count(); ++p) {
    if (auto text = ScanAddress(model.list1.At(static_cast<int>(p)), switches)) {
      kept.push_back(*text);
    }
  }
  // The scan runs through position `count`, one past the last entry.
  model.progress_bar1.value = static_cast<float>(count);

  const size_t n = kept.size();
  std::vector<std::string> rebuilt;
  rebuilt.reserve(n);
  if (model.check4 == 1) {
    std::unordered_set<std::string_view> placed;
    placed.reserve(n);
    for (std::string_view text : kept) {
      if (placed.insert(text).second) rebuilt.emplace_back(text);
    }
  } else {
    for (std::string_view text : kept) rebuilt.emplace_back(text);
  }
  model.list1.Assign(std::move(rebuilt));

  model.progress_bar1.value = 0;
  if (n == 0) {
    model.SetCount(0);
    return;
  }
  model.progress_bar1.maximum = static_cast<float>(n);
  const int placed_count = model.list1.Count();
  model.progress_bar1.value = static_cast<float>(n);
  model.progress_bar2.value = static_cast<float>(placed_count);
  model.SetCount(placed_count);
}

}  // namespace kestrova
