#include "base/number_text.h"

namespace kestrova {
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
