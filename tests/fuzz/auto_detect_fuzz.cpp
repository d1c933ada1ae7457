// CV_JapaneseAutoDetect, both length modes.
#include <cstring>

#include "corvane.h"
#include "fuzz_support.h"

using namespace corvane::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::vector<std::uint8_t> bytes(data, data + size);
  const auto counted = ExactCopy(bytes);
  const auto n = static_cast<std::int32_t>(size);
  std::uint32_t confident = 7;
  const std::uint32_t guess = CV_JapaneseAutoDetect(counted.get(), n, &confident);
  FUZZ_CHECK(guess == 2022 || guess == 51932 || guess == 932);
  FUZZ_CHECK(confident == 0 || confident == 1);
  // Without a deciding byte the guess is the default, or EUC-JP once a pair passed both tests.
  if (confident == 0) FUZZ_CHECK(guess != 932);

  // Nul mode decides exactly as counted mode over the bytes before the first 0.
  bytes.push_back(0);
  const auto nul = ExactCopy(bytes);
  const auto text =
      static_cast<std::int32_t>(std::strlen(reinterpret_cast<const char*>(nul.get())));
  std::uint32_t confidentNul = 7;
  std::uint32_t confidentText = 7;
  FUZZ_CHECK(CV_JapaneseAutoDetect(nul.get(), -1, &confidentNul) ==
             CV_JapaneseAutoDetect(nul.get(), text, &confidentText));
  FUZZ_CHECK(confidentNul == confidentText);

  // A decision is made on a prefix: the bytes after the text do not change it.
  if (confident == 1 && n > 0) {
    std::vector<std::uint8_t> longer(bytes.begin(), bytes.end() - 1);
    longer.push_back(0x82);
    longer.push_back(0xA0);
    const auto more = ExactCopy(longer);
    std::uint32_t confidentMore = 7;
    FUZZ_CHECK(CV_JapaneseAutoDetect(more.get(), n + 2, &confidentMore) == guess);
    FUZZ_CHECK(confidentMore == 1);
  }
  return 0;
}
