// Reading a text as a number: optional blanks, an optional sign, decimal
// digits holding at most one "." (at least one digit), optional blanks.
// Comparisons are exact; a text that is not a number compares false.
#ifndef KESTROVA_UI_NUMBER_TEXT_H_
#define KESTROVA_UI_NUMBER_TEXT_H_

#include <cstdint>
#include <string_view>

namespace kestrova {

// Fed one character at a time, so a scanner that grows a text can test it
// after every character without reading it again.
class NumberReader {
 public:
  void Reset() { *this = NumberReader(); }
  void Feed(char c);
  void Feed(std::string_view text) {
    for (char c : text) Feed(c);
  }

  bool IsNumber() const { return state_ != State::kBad && digits_seen_; }
  // value <= bound, for a whole bound >= 0.
  bool AtMost(int bound) const;
  // value < bound, for a whole bound > 0.
  bool Below(int bound) const;

 private:
  enum class State { kLeadingBlanks, kAfterSign, kDigits, kTrailingBlanks, kBad };

  State state_ = State::kLeadingBlanks;
  bool digits_seen_ = false;
  bool point_seen_ = false;
  bool negative_ = false;
  bool fraction_nonzero_ = false;
  std::int64_t whole_ = 0;  // saturates well above any bound we compare with
};

inline bool AtMost(std::string_view text, int bound) {
  NumberReader r;
  r.Feed(text);
  return r.AtMost(bound);
}

inline bool Below(std::string_view text, int bound) {
  NumberReader r;
  r.Feed(text);
  return r.Below(bound);
}

}  // namespace kestrova

#endif  // KESTROVA_UI_NUMBER_TEXT_H_
