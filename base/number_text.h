// Reading a text as a number: optional blanks, an optional sign, decimal
// digits holding at most one "." (at least one digit), optional blanks.
// Comparisons are exact; a text that is not a number compares false.
#ifndef KESTROVA_BASE_NUMBER_TEXT_H_
#define KESTROVA_BASE_NUMBER_TEXT_H_

#include <cstdint>
#include <string_view>

namespace kestrova {

// Fed one character at a time, so a scanner that grows a text can test it
// after every character without reading it again.
class NumberReader {
 public:
  void Reset() { *this = NumberReader(); }
  // Inline: the sifting scan feeds every character of every entry.
  inline void Feed(char c);
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

void NumberReader::Feed(char c) {
  constexpr std::int64_t kSaturated = 1'000'000'000;
  const bool digit = c >= '0' && c <= '9';
  switch (state_) {
    case State::kLeadingBlanks:
      if (c == ' ') return;
      if (c == '+' || c == '-') {
        negative_ = c == '-';
        state_ = State::kAfterSign;
        return;
      }
      [[fallthrough]];
    case State::kAfterSign:
    case State::kDigits:
      if (digit) {
        state_ = State::kDigits;
        digits_seen_ = true;
        if (point_seen_) {
          fraction_nonzero_ = fraction_nonzero_ || c != '0';
        } else if (whole_ < kSaturated) {
          whole_ = whole_ * 10 + (c - '0');
        }
      } else if (c == '.' && !point_seen_) {
        point_seen_ = true;
        state_ = State::kDigits;
      } else if (c == ' ' && digits_seen_) {
        state_ = State::kTrailingBlanks;
      } else {
        state_ = State::kBad;
      }
      return;
    case State::kTrailingBlanks:
      if (c != ' ') state_ = State::kBad;
      return;
    case State::kBad:
      return;
  }
}

// The plain decimal number of one to three digits at `p`, at least three
// bytes of which are readable: the count of its digits (0 when p[0] is not a
// digit) and its value. Without branches: how many digits a number has is
// not predictable, and a mispredicted branch costs more than this whole
// reading.
struct SmallNumber {
  int digits;
  int value;
};
inline SmallNumber ReadSmallNumber(const char* p) {
  const unsigned c0 = static_cast<unsigned char>(p[0]) - unsigned{'0'};
  const unsigned c1 = static_cast<unsigned char>(p[1]) - unsigned{'0'};
  const unsigned c2 = static_cast<unsigned char>(p[2]) - unsigned{'0'};
  const int d0 = c0 < 10;
  const int d01 = d0 & (c1 < 10);
  const int d012 = d01 & (c2 < 10);
  const int digits = d0 + d01 + d012;
  const int one = static_cast<int>(c0);
  const int two = one * 10 + static_cast<int>(c1);
  const int values[4] = {0, one, two, two * 10 + static_cast<int>(c2)};
  return {digits, values[digits]};
}

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

#endif  // KESTROVA_BASE_NUMBER_TEXT_H_
