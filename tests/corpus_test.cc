// Replays the fuzzing corpus: entries and files that once found faults or
// sit on an edge, each checked against the same invariants as the fuzzers.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/fuzz/invariants.h"
#include "tests/test_support.h"

namespace kestrova {
namespace {

TEST(FuzzCorpusTest, EveryCorpusFileKeepsTheInvariants) {
  const std::pair<const char*, std::string (*)(std::string_view)> targets[] = {
      {"scan", CheckScan},           {"import", CheckImport}, {"options", CheckOptions},
      {"placement", CheckPlacement}, {"sift", CheckSift},     {"settings", CheckSettings},
      {"find", CheckFind},
  };
  for (const auto& [name, check] : targets) {
    const std::filesystem::path folder = std::filesystem::path(KESTROVA_FUZZ_CORPUS) / name;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
      const std::string bytes = testing::ReadBytes(entry.path().string());
      EXPECT_EQ(check(bytes), "") << entry.path();
      ++files;
    }
    EXPECT_GT(files, 0) << folder;
  }
}

}  // namespace
}  // namespace kestrova
