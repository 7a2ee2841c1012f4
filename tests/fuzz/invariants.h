// What must hold for any input to each reader of outside data. The fuzz
// targets and the corpus regression test both check these; each returns an
// empty text when all holds, else what broke.
#ifndef KESTROVA_TESTS_FUZZ_INVARIANTS_H_
#define KESTROVA_TESTS_FUZZ_INVARIANTS_H_

#include <string>
#include <string_view>

namespace kestrova {

// The sifting scan under all four switch combinations: the quick way, the
// padded way (whatever bytes follow the entry) and the step-by-step way
// agree, and a key the quick way makes is its kept
// text's; a kept text is a non-empty prefix of its entry; with Check3 it begins "www."; with Check2
// it holds no "www."; a kept numeric text scans to itself again.
std::string CheckScan(std::string_view entry);

// The import's line test and splitter: the lines of any file, written back
// as a list file, load as the same lines; LooksLikeProxy never reads past
// the fourth character.
std::string CheckImport(std::string_view file_bytes);

// The options file: any bytes read without harm, and any record written
// from them reads back to the same switches and tint name.
std::string CheckOptions(std::string_view file_bytes);

// The same list file cleaned two ways gives the same bytes: through the
// window's commands (import, "Отсеить", the saved file form) and through
// `kestrova sift`'s stream. The first byte picks the four switches.
std::string CheckSift(std::string_view input);

// `kestrova sift --find`: the same entries whatever the size of the pieces
// the text is read in; each entry written breaks no rule, checked by a plain
// search of the text for a place that gives it; --keep-auth writes the same
// entries, each with its credentials encoded. The first byte's low bit turns
// on --keep-auth for the check of the pieces.
std::string CheckFind(std::string_view input);

// A stored placement value always converts to a finite number.
std::string CheckPlacement(std::string_view text);

// The settings file: any bytes read without harm; a value (the input's
// first up to 16 bytes) set in one section reads back the same, a key of
// another section keeps its value, and setting it again changes nothing.
std::string CheckSettings(std::string_view file_bytes);

}  // namespace kestrova

#endif  // KESTROVA_TESTS_FUZZ_INVARIANTS_H_
