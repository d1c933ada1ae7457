// The UTF-8 codec through its two exports. The first input byte picks the direction; the rest is
// UTF-8 bytes or UTF-16 units.
#include <algorithm>

#include "corvane.h"
#include "fuzz_support.h"

namespace {

using namespace corvane::fuzz;

void Decoder(FuzzedDataProvider& in, LengthMode mode, std::uint16_t cut) {
  std::vector<std::uint8_t> bytes = in.ConsumeRemainingBytes<std::uint8_t>();
  std::int32_t srcLen = static_cast<std::int32_t>(bytes.size());
  if (mode == LengthMode::kNul) {
    bytes.push_back(0);
    srcLen = -1;
  } else if (mode == LengthMode::kNegative) {
    srcLen = -2 - cut;
  }
  const auto src = ExactCopy(bytes);

  // The result counts the decoded units plus the terminator whether or not they fit.
  const std::int32_t n = CV_UTF8ToWideChar(src.get(), srcLen, nullptr, 0);
  FUZZ_CHECK(n >= 1 && n <= static_cast<std::int32_t>(bytes.size()) + 1);
  FUZZ_CHECK(CV_UTF8ToWideChar(src.get(), srcLen, nullptr, 5) == n);  // a null dst only counts
  const auto full = std::make_unique<std::uint16_t[]>(static_cast<std::size_t>(n));
  FUZZ_CHECK(CV_UTF8ToWideChar(src.get(), srcLen, full.get(), n) == n);
  FUZZ_CHECK(full[static_cast<std::size_t>(n - 1)] == 0);

  // Cut short: the same result, the start of the same units (a pair stored whole or not at all)
  // and always a terminator inside the capacity.
  const std::int32_t k = 1 + cut % n;
  const auto part = std::make_unique<std::uint16_t[]>(static_cast<std::size_t>(k));
  FUZZ_CHECK(CV_UTF8ToWideChar(src.get(), srcLen, part.get(), k) == n);
  const std::int32_t s = std::min(n - 1, k - 1);
  const auto at = [](const auto& buffer, std::int32_t i) {
    return buffer[static_cast<std::size_t>(i)];
  };
  const bool whole = SamePrefix(part.get(), full.get(), s) && at(part, s) == 0;
  // A four-byte form's two units (not always surrogates: values above U+10FFFF are not refused)
  // are stored together or not at all.
  const bool pairLeftOut =
      s >= 1 && SamePrefix(part.get(), full.get(), s - 1) && at(part, s - 1) == 0;
  FUZZ_CHECK(whole || pairLeftOut);

  // What was decoded encodes and decodes back to the same units.
  if (n > 1) {
    const std::int32_t units = n - 1;
    const std::int32_t size = CV_WideCharToUTF8(full.get(), units, nullptr, 0);
    FUZZ_CHECK(size >= units && size <= 3 * units);
    const auto again = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(size));
    FUZZ_CHECK(CV_WideCharToUTF8(full.get(), units, again.get(), size) == size);
    const auto back = std::make_unique<std::uint16_t[]>(static_cast<std::size_t>(n));
    FUZZ_CHECK(CV_UTF8ToWideChar(again.get(), size, back.get(), n) == n);
    FUZZ_CHECK(SamePrefix(back.get(), full.get(), units));
  }
}

void Encoder(FuzzedDataProvider& in, LengthMode mode, std::uint16_t cut) {
  const auto [units, srcLen, textUnits] = MakeWideSource(RemainingUnits(in, 2048), mode, cut);
  const auto src = ExactCopy(units);
  const std::int32_t terminator = mode == LengthMode::kNul ? 1 : 0;

  const std::int32_t n = CV_WideCharToUTF8(src.get(), srcLen, nullptr, 0);
  FUZZ_CHECK(n >= textUnits + terminator && n <= 3 * textUnits + terminator);
  if (n == 0) return;
  const auto full = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(n));
  FUZZ_CHECK(CV_WideCharToUTF8(src.get(), srcLen, full.get(), n) == n);
  if (terminator == 1) FUZZ_CHECK(full[static_cast<std::size_t>(n - 1)] == 0);

  const std::int32_t k = 1 + cut % n;
  const auto part = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(k));
  const std::int32_t rk = CV_WideCharToUTF8(src.get(), srcLen, part.get(), k);
  FUZZ_CHECK(rk >= 0 && rk <= k);
  FUZZ_CHECK(SamePrefix(part.get(), full.get(), rk - terminator));
  if (terminator == 1) FUZZ_CHECK(rk >= 1 && part[static_cast<std::size_t>(rk - 1)] == 0);
  FUZZ_CHECK(rk >= k - 2 - terminator);  // only a form that does not fit whole is left out

  // Every unit has a form, and the decoder reads each back as that unit.
  const auto back = std::make_unique<std::uint16_t[]>(static_cast<std::size_t>(textUnits + 1));
  FUZZ_CHECK(CV_UTF8ToWideChar(full.get(), n - terminator, back.get(), textUnits + 1) ==
             textUnits + 1);
  FUZZ_CHECK(SamePrefix(back.get(), src.get(), textUnits));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const bool decode = in.ConsumeBool();
  const LengthMode mode = PickLengthMode(in);
  const auto cut = in.ConsumeIntegral<std::uint16_t>();
  if (decode) {
    Decoder(in, mode, cut);
  } else {
    Encoder(in, mode, cut);
  }
  return 0;
}
