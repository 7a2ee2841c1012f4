#include "sift/sift_list.h"

#include <charconv>
#include <string>

#include "base/number_text.h"

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
  // The "www." test is made at every position the scan reaches, so the first
  // one found decides whether the entry is a host name, if it is reached.
  const size_t www = entry.find("www.");
  auto host_name = [&]() -> std::optional<std::string_view> {
    if (switches.drop_host_names) return std::nullopt;
    return ScanHostName(entry);
  };
  if (www == 0) return host_name();
  // Check3 stops every other entry at its first character; so does the end
  // of an empty entry. Neither has accepted a separator.
  if (switches.only_www || entry.empty()) return std::nullopt;

  int separators = 0;
  NumberReader segment;  // the characters since the last accepted separator
  const size_t size = entry.size();
  size_t i = 0;
  // Every character before the current one has gone into the accepted
  // prefix or the segment, so the kept text is the entry up to the stop.
  for (;;) {
    if (i == www) return host_name();
    const char c = entry[i];
    if (c == '.' || c == ':') {
      if (i + 1 < size && entry[i + 1] == c) break;  // ".." or "::"
      const bool wanted = c == ':' ? separators == 3 : separators < 3;
      if (wanted && segment.AtMost(kMaxOctet)) {
        ++separators;
        segment.Reset();
      } else if (separators < 4) {
        segment.Feed(c);
      }
    } else if (c == ';' && separators == 4) {
      break;
    } else if (separators < 4) {
      segment.Feed(c);  // after the fourth separator the tail is not examined
    }
    if (++i == size || entry[i] == ' ') break;
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
  // Each kept text is a prefix of its entry, so the list is cut and packed
  // in place, within its own buffer.
  size_t n = 0;
  model.list1.KeepPrefixes(static_cast<size_t>(count),
                           [&](std::string_view entry) -> std::optional<size_t> {
                             const auto text = ScanAddress(entry, switches);
                             if (!text) return std::nullopt;
                             ++n;
                             return text->size();
                           });
  // The scan runs through position `count`, one past the last entry.
  model.progress_bar1.value = static_cast<float>(count);
  if (model.check4 == 1) model.list1.DropRepeats();

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
