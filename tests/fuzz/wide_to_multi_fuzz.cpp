// CV_WideCharToMultiByte over every code page: measuring, storing with the measuring road's own
// capacity, storing into a destination cut short, and, on our own roads, the round trip back
// through CV_MultiByteToWideChar. Built twice, like the decoding target.
#include <algorithm>
#include <set>

#include "corvane.h"
#include "fuzz_support.h"

namespace {

using namespace corvane::fuzz;
using Units = std::vector<std::uint16_t>;
using Bytes = std::vector<std::uint8_t>;

// Room for the longest form of any text: ISO-2022-JP that switches modes at every character
// writes an escape sequence before each, up to nine bytes for two units.
Bytes Encode(std::uint32_t cp, const Units& text) {
  Bytes out(5 * text.size() + 64);
  const std::int32_t n =
      CV_WideCharToMultiByte(cp, 0, text.data(), static_cast<std::int32_t>(text.size()), out.data(),
                             static_cast<std::int32_t>(out.size()), nullptr, nullptr);
  out.resize(static_cast<std::size_t>(std::max(n, 0)));
  return out;
}

Units Decode(std::uint32_t cp, const Bytes& bytes) {
  Units out(bytes.size() + 4);
  const std::int32_t n =
      CV_MultiByteToWideChar(cp, 0, bytes.data(), static_cast<std::int32_t>(bytes.size()),
                             out.data(), static_cast<std::int32_t>(out.size()), nullptr, nullptr);
  out.resize(static_cast<std::size_t>(std::max(n, 0)));
  if (cp == 65001 && !out.empty()) out.pop_back();  // the UTF-8 decoder's own terminator
  return out;
}

// A text made only of characters that come back from their own bytes comes back whole: the
// conversions must not lose or change a character because of its neighbours (escape sequences,
// pairs, runs of the fast paths, buffer boundaries).
void CheckRoundTrip(std::uint32_t cp, const Units& text) {
  std::set<std::uint16_t> good;
  std::set<std::uint16_t> bad;
  Units kept;
  for (std::uint16_t u : text) {
    if (!good.contains(u) && !bad.contains(u)) {
      (Decode(cp, Encode(cp, Units{u})) == Units{u} ? good : bad).insert(u);
    }
    if (good.contains(u)) kept.push_back(u);
  }
  FUZZ_CHECK(Decode(cp, Encode(cp, kept)) == kept);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::uint32_t cp = PickCodePage(in);
  const LengthMode mode = PickLengthMode(in);
  const auto cut = in.ConsumeIntegral<std::uint16_t>();
  const bool withDefault = in.ConsumeBool();
  const auto [units, srcLen, textUnits] = MakeWideSource(RemainingUnits(in, 1024), mode, cut);
  const auto src = ExactCopy(units);
  const char* defaultChar = withDefault ? "*" : nullptr;
  const bool own = OnOwnRoad(cp);

  std::int32_t usedM = 7;
  const std::int32_t m =
      CV_WideCharToMultiByte(cp, 0, src.get(), srcLen, nullptr, 0, defaultChar, &usedM);
  FUZZ_CHECK(m >= 0);
  if (own) FUZZ_CHECK(usedM == 7);  // our own roads never write it

  // Measuring converts into a scratch buffer of 3 bytes per unit (the terminator counted as one)
  // plus 60; storing with that capacity must give the same count. The destination starts zeroed,
  // which 2023 reads as text without Japanese bytes, exactly as measuring reads no bytes.
  const std::int32_t cap = 3 * (textUnits + (mode == LengthMode::kNul ? 1 : 0)) + 60;
  const auto full = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(cap));
  std::int32_t usedF = 7;
  const std::int32_t r =
      CV_WideCharToMultiByte(cp, 0, src.get(), srcLen, full.get(), cap, defaultChar, &usedF);
  FUZZ_CHECK(r >= 0 && r <= cap);
  FUZZ_CHECK(r == m);
  if (own) FUZZ_CHECK(usedF == 7);

  // Cut short: the start of the same bytes (UTF-8 in nul mode puts its terminator over the last
  // byte), never past the capacity.
  const std::int32_t k = 1 + cut % (r + 1);
  const auto part = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(k));
  const std::int32_t rk =
      CV_WideCharToMultiByte(cp, 0, src.get(), srcLen, part.get(), k, defaultChar, nullptr);
  FUZZ_CHECK(rk >= 0 && rk <= k);
  FUZZ_CHECK(SamePrefix(part.get(), full.get(), mode == LengthMode::kNul ? rk - 1 : rk));
  // The Japanese transcoders keep the last byte for a terminator, so only they may stop short.
  if (own && cp != 2022 && cp != 51932 && k >= r) FUZZ_CHECK(rk == r);

  if (own && mode == LengthMode::kCounted) CheckRoundTrip(cp, units);
  return 0;
}
