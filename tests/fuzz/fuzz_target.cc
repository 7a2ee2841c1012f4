// One libFuzzer target per reader; KESTROVA_FUZZ_CHECK names the invariant.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "tests/fuzz/invariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string broken =
      kestrova::KESTROVA_FUZZ_CHECK(std::string_view(reinterpret_cast<const char*>(data), size));
  if (!broken.empty()) {
    std::fprintf(stderr, "invariant broken: %s\n", broken.c_str());
    std::abort();
  }
  return 0;
}
