// CV_StrLength over every code page, both length modes.
#include <cstring>

#include "corvane.h"
#include "fuzz_support.h"

using namespace corvane::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::uint32_t cp = PickCodePage(in);
  std::vector<std::uint8_t> bytes = in.ConsumeRemainingBytes<std::uint8_t>();
  const auto counted = ExactCopy(bytes);
  const auto n = static_cast<std::int32_t>(bytes.size());

  std::int32_t consumed = -7;
  const std::int32_t count = CV_StrLength(cp, counted.get(), n, &consumed);
  FUZZ_CHECK(consumed >= 0 && consumed <= n);
  // At most one character per byte; on 65001 one UTF-16 unit per byte, plus 1 in both modes.
  const std::int32_t plus = cp == 65001 ? 1 : 0;
  FUZZ_CHECK(count >= plus && count <= consumed + plus);
  FUZZ_CHECK(CV_StrLength(cp, counted.get(), n, nullptr) == count);

  // A caller that keeps only the whole characters measures the same text again.
  std::int32_t again = -7;
  FUZZ_CHECK(CV_StrLength(cp, counted.get(), consumed, &again) == count);
  FUZZ_CHECK(again == consumed);

  // Nul mode measures what counted mode measures up to the first 0 byte, plus the terminator.
  bytes.push_back(0);
  const auto nul = ExactCopy(bytes);
  const auto text =
      static_cast<std::int32_t>(std::strlen(reinterpret_cast<const char*>(nul.get())));
  std::int32_t consumedNul = -7;
  std::int32_t consumedText = -7;
  const std::int32_t countNul = CV_StrLength(cp, nul.get(), -1, &consumedNul);
  const std::int32_t countText = CV_StrLength(cp, nul.get(), text, &consumedText);
  FUZZ_CHECK(countNul == countText + 1 - plus);
  FUZZ_CHECK(consumedNul == consumedText);

  // Any other negative length is an empty text.
  std::int32_t consumedNeg = -7;
  FUZZ_CHECK(CV_StrLength(cp, counted.get(), -2 - n, &consumedNeg) == plus);
  FUZZ_CHECK(consumedNeg == 0);
  return 0;
}
