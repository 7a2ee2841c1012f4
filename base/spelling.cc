#include "base/spelling.h"

#include <algorithm>
#include <vector>

namespace kestrova {
namespace {

// Edits between two words, a swap of neighbours counting as one.
size_t Distance(std::string_view a, std::string_view b) {
  const size_t width = b.size() + 1;
  std::vector<size_t> d((a.size() + 1) * width);
  auto at = [&](size_t i, size_t j) -> size_t& { return d[i * width + j]; };
  for (size_t i = 0; i <= a.size(); ++i) at(i, 0) = i;
  for (size_t j = 0; j <= b.size(); ++j) at(0, j) = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    for (size_t j = 1; j <= b.size(); ++j) {
      const size_t change = a[i - 1] == b[j - 1] ? 0 : 1;
      at(i, j) = std::min({at(i - 1, j) + 1, at(i, j - 1) + 1, at(i - 1, j - 1) + change});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        at(i, j) = std::min(at(i, j), at(i - 2, j - 2) + 1);
      }
    }
  }
  return at(a.size(), b.size());
}

}  // namespace

std::string_view NearestWord(std::string_view word, std::span<const std::string_view> words) {
  std::string_view nearest;
  size_t best = std::min<size_t>(3, (word.size() + 1) / 2);  // must do better than this
  for (std::string_view candidate : words) {
    const size_t d = Distance(word, candidate);
    if (d < best) {
      best = d;
      nearest = candidate;
    }
  }
  return nearest;
}

}  // namespace kestrova
