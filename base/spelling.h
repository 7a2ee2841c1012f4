// Suggestions for mistyped words on the command line.
#ifndef KESTROVA_BASE_SPELLING_H_
#define KESTROVA_BASE_SPELLING_H_

#include <initializer_list>
#include <span>
#include <string_view>

namespace kestrova {

// The candidate nearest to `word` when it is a likely slip of it (at most two
// letters added, dropped, changed or swapped, and fewer than half the word),
// else the empty text.
std::string_view NearestWord(std::string_view word, std::span<const std::string_view> words);
inline std::string_view NearestWord(std::string_view word,
                                    std::initializer_list<std::string_view> words) {
  return NearestWord(word, std::span<const std::string_view>(words.begin(), words.size()));
}

}  // namespace kestrova

#endif  // KESTROVA_BASE_SPELLING_H_
