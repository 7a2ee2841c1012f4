// "Отсеить": rebuilds the list from the entries it recognises.
#ifndef KESTROVA_SIFT_SIFT_LIST_H_
#define KESTROVA_SIFT_SIFT_LIST_H_

#include <cstdint>
#include <optional>
#include <string_view>

#include "ui/ui_model.h"

namespace kestrova {

struct SiftSwitches {
  bool drop_host_names = false;  // Check2
  bool only_www = false;         // Check3
};

// The part of `entry` that the scan keeps, or nothing when the entry is
// dropped. A kept text is never empty and is always a prefix of the entry:
// either a.b.c.d:tail, each of a-d a number of at most 255, or a host name
// with "www." in it, three dots (or two and a colon) and its stop character.
std::optional<std::string_view> ScanAddress(std::string_view entry, SiftSwitches switches);
// The same; when the kept text has a PlainEntryKey that the scan could make
// on its way, `plain_key` holds it, else 0.
std::optional<std::string_view> ScanAddress(std::string_view entry, SiftSwitches switches,
                                            std::uint64_t* plain_key);
// The same scan taken one character at a time, for every entry; ScanAddress
// takes a quicker way through plain entries and must agree with it.
std::optional<std::string_view> ScanAddressStepByStep(std::string_view entry,
                                                      SiftSwitches switches);

// What ScanAddress decides for an entry in which it found "www.": the entry
// is scanned again from its first character as a host name.
std::optional<std::string_view> ScanHostNameEntry(std::string_view entry, SiftSwitches switches);

// Whether a segment reads as a number of at most 255.
bool OctetTest(std::string_view segment);

// Scans the entries up to the count in Label3 and rebuilds the list from
// what they keep, without repeats when Check4 is on.
void SiftList(MainWindowModel& model);

}  // namespace kestrova

#endif  // KESTROVA_SIFT_SIFT_LIST_H_
