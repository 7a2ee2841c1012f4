#include "ui/number_text.h"

namespace kestrova {
namespace {

constexpr std::int64_t kSaturated = 1'000'000'000;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

void NumberReader::Feed(char c) {
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
      if (IsDigit(c)) {
        state_ = State::kDigits;
        digits_seen_ = true;
        if (point_seen_) {
          fraction_nonzero_ = fraction_nonzero_ || c != '0';
        } else if (whole_ < kSaturated) {
          whole_ = whole_ * 10 + (c - '0');
        }
        return;
      }
      if (c == '.' && !point_seen_) {
        point_seen_ = true;
        state_ = State::kDigits;
        return;
      }
      if (c == ' ' && digits_seen_) {
        state_ = State::kTrailingBlanks;
        return;
      }
      state_ = State::kBad;
      return;
    case State::kTrailingBlanks:
      if (c != ' ') state_ = State::kBad;
      return;
    case State::kBad:
      return;
  }
}

bool NumberReader::AtMost(int bound) const {
  if (!IsNumber()) return false;
  if (negative_) return true;
  return whole_ < bound || (whole_ == bound && !fraction_nonzero_);
}

bool NumberReader::Below(int bound) const {
  if (!IsNumber()) return false;
  if (negative_) return true;
  return whole_ < bound;
}

}  // namespace kestrova
