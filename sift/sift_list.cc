#include "sift/sift_list.h"

#include <charconv>
#include <cstring>
#include <string>

#include "base/number_text.h"
#include "base/text_set.h"

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

std::optional<std::string_view> ScanHostNameEntry(std::string_view entry, SiftSwitches switches) {
  if (switches.drop_host_names) return std::nullopt;
  return ScanHostName(entry);
}

namespace {

// Most entries are four plain numbers of up to three digits: this pass gives
// what the step-by-step scan gives for them, without its number reader.
// False when it cannot tell; then the step-by-step scan decides.
template <bool kMakeKey>
bool ScanPlainAddress(std::string_view entry, size_t* end, bool* host_name,
                      std::uint64_t* plain_key) {
  const char* p = entry.data();
  const size_t n = entry.size();
  // The longest head read is "255.255.255.255:" and the character after it;
  // a shorter entry is read from a zero-padded copy, so no read needs a check.
  char padded[20] = {};
  const char* head = p;
  if (n < 17) head = static_cast<const char*>(std::memcpy(padded, p, n));
  size_t i = 0;
  SmallNumber numbers[4];
  for (int part = 0; part < 4; ++part) {
    const SmallNumber number = ReadSmallNumber(head + i);
    i += static_cast<size_t>(number.digits);
    const char separator = part < 3 ? '.' : ':';
    if (number.digits == 0 || number.value > 255 || head[i] != separator ||
        head[i + 1] == separator || i + 1 >= n) {
      return false;
    }
    if constexpr (kMakeKey) numbers[part] = number;
    ++i;
  }
  // The tail after the colon is not examined, but "www." is looked for at
  // every position the scan reaches. A tail of digits is a port, for the key.
  const size_t tail = i;
  bool digits_only = true;
  std::uint64_t port = 0;
  while (i < n && p[i] != ' ') {
    const char c = p[i];
    if (c == 'w' && entry.compare(i, 4, "www.") == 0) {
      *host_name = true;
      return true;
    }
    if (c == ';' || ((c == '.' || c == ':') && i + 1 < n && p[i + 1] == c)) break;
    if constexpr (kMakeKey) {  // without branches: a port's length is not predictable
      const unsigned digit = static_cast<unsigned char>(c) - unsigned{'0'};
      digits_only &= digit < 10;
      port = port * 10 + digit;
    }
    ++i;
  }
  *end = i;
  *host_name = false;
  if constexpr (kMakeKey) {
    const size_t port_digits = i - tail;
    *plain_key = digits_only && port_digits >= 1 && port_digits <= 6
                     ? PlainEntryKey(numbers, port_digits, port)
                     : 0;
  }
  return true;
}

template <bool kMakeKey>
std::optional<std::string_view> Scan(std::string_view entry, SiftSwitches switches,
                                     std::uint64_t* plain_key) {
  if (entry.starts_with("www.")) return ScanHostNameEntry(entry, switches);
  // Check3 stops every other entry at its first character; so does the end
  // of an empty entry. Neither has accepted a separator.
  if (switches.only_www || entry.empty()) return std::nullopt;
  size_t end = 0;
  bool host_name = false;
  if (ScanPlainAddress<kMakeKey>(entry, &end, &host_name, plain_key)) {
    if (host_name) return ScanHostNameEntry(entry, switches);
    return entry.substr(0, end);
  }
  return ScanAddressStepByStep(entry, switches);
}

}  // namespace

std::optional<std::string_view> ScanAddress(std::string_view entry, SiftSwitches switches) {
  return Scan<false>(entry, switches, nullptr);
}

std::optional<std::string_view> ScanAddress(std::string_view entry, SiftSwitches switches,
                                            std::uint64_t* plain_key) {
  *plain_key = 0;
  return Scan<true>(entry, switches, plain_key);
}

std::optional<std::string_view> ScanAddressStepByStep(std::string_view entry,
                                                      SiftSwitches switches) {
  // The "www." test is made at every position the scan reaches, so the first
  // one found decides whether the entry is a host name, if it is reached.
  const size_t www = entry.find("www.");
  if (www == 0) return ScanHostNameEntry(entry, switches);
  if (switches.only_www || entry.empty()) return std::nullopt;

  int separators = 0;
  NumberReader segment;  // the characters since the last accepted separator
  const size_t size = entry.size();
  size_t i = 0;
  // Every character before the current one has gone into the accepted
  // prefix or the segment, so the kept text is the entry up to the stop.
  for (;;) {
    if (i == www) return ScanHostNameEntry(entry, switches);
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
