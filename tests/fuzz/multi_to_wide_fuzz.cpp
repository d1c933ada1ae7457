// CV_MultiByteToWideChar over every code page, in both length modes, measuring, storing with
// room to spare and storing into a destination cut short. Built twice (see CMakeLists.txt) so
// that registered code pages take the system road in one binary and our tables in the other.
#include <cstring>

#include "corvane.h"
#include "fuzz_support.h"

namespace {

using namespace corvane::fuzz;

bool IsDoubleByteTableRoad(std::uint32_t cp) {
  if (cp == 2022 || cp == 51932 || cp == 65001 || !OnOwnRoad(cp)) return false;
  return corvane::FindCodePageRecord(cp)->isMultiByte == 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::uint32_t cp = PickCodePage(in);
  const LengthMode mode = PickLengthMode(in);
  const auto cut = in.ConsumeIntegral<std::uint16_t>();
  const bool withConsumed = in.ConsumeBool();
  const std::uint32_t stateIn = in.ConsumeIntegralInRange<std::uint32_t>(0, 3);
  std::vector<std::uint8_t> bytes = in.ConsumeRemainingBytes<std::uint8_t>();
  if (bytes.size() > 4096) bytes.resize(4096);

  // textBytes: the bytes that belong to the text, the bound of every consumed count.
  std::int32_t srcLen = static_cast<std::int32_t>(bytes.size());
  std::int32_t textBytes = srcLen;
  if (mode == LengthMode::kNul) {
    // UTF-16 and UTF-32 code pages end a -1 source at a 0 code unit, at most four bytes wide.
    bytes.push_back(0);
    while (bytes.size() % 4 != 0)
      bytes.push_back(0);
    bytes.insert(bytes.end(), 4, 0);
    srcLen = -1;
    textBytes = static_cast<std::int32_t>(std::strlen(reinterpret_cast<const char*>(bytes.data())));
  } else if (mode == LengthMode::kNegative) {
    srcLen = -2 - cut;
    textBytes = 0;
  }
  const auto src = ExactCopy(bytes);
  const bool pseudo = cp == 0 || cp == 3 || cp == 2023;
  const bool carriesState = cp == 2022 || cp == 2023;

  // Measuring: what CV_StrLength says for the same bytes, and the shift state is left alone.
  std::int32_t consumedM = -7;
  std::uint32_t stateM = stateIn;
  const std::int32_t m =
      CV_MultiByteToWideChar(cp, 0, src.get(), srcLen, nullptr, 0, &consumedM, &stateM);
  FUZZ_CHECK(m >= 0);
  FUZZ_CHECK(stateM == stateIn);
  FUZZ_CHECK(consumedM >= 0 && consumedM <= textBytes);
  if (!pseudo) {
    std::int32_t consumedS = -7;
    FUZZ_CHECK(CV_StrLength(cp, src.get(), srcLen, &consumedS) == m);
    FUZZ_CHECK(consumedS == consumedM);
  }

  // Storing with room for every road's worst case: three units per byte plus the terminator.
  const std::int32_t cap = 3 * textBytes + 4;
  const auto full = std::make_unique<std::uint16_t[]>(static_cast<std::size_t>(cap));
  std::int32_t consumedF = -7;
  std::uint32_t stateF = stateIn;
  const std::int32_t r = CV_MultiByteToWideChar(cp, 0, src.get(), srcLen, full.get(), cap,
                                                withConsumed ? &consumedF : nullptr, &stateF);
  FUZZ_CHECK(r >= 0 && r <= cap);
  if (withConsumed) FUZZ_CHECK(consumedF == consumedM);
  if (carriesState) {
    FUZZ_CHECK(cp == 2023 || stateF == 1 || stateF == 2);
  } else {
    FUZZ_CHECK(stateF == stateIn);
  }
  // Counting agrees with storing where both count the same thing: UTF-16 units on 65001, one
  // unit per character on our double-byte tables, at least one unit per byte on our single-byte
  // tables.
  if (cp == 65001 || IsDoubleByteTableRoad(cp)) FUZZ_CHECK(r == m);
  if (OnOwnRoad(cp) && !IsDoubleByteTableRoad(cp) && cp != 2022 && cp != 51932) FUZZ_CHECK(r >= m);

  // A destination cut short holds the start of the same text and nothing past its capacity.
  const std::int32_t k = 1 + cut % (r + 1);
  const auto part = std::make_unique<std::uint16_t[]>(static_cast<std::size_t>(k));
  std::uint32_t stateK = stateIn;
  const std::int32_t rk = CV_MultiByteToWideChar(cp, 0, src.get(), srcLen, part.get(), k,
                                                 withConsumed ? &consumedF : nullptr, &stateK);
  FUZZ_CHECK(rk >= 0 && rk <= k);
  FUZZ_CHECK(SamePrefix(part.get(), full.get(), rk));
  FUZZ_CHECK(stateK == stateF);  // the mode at the end of the whole source, however much fit
  if (OnOwnRoad(cp) && k >= r) FUZZ_CHECK(rk == r);
  // Only a character of two units that would straddle the end may be left out.
  if (OnOwnRoad(cp) && k < r) FUZZ_CHECK(rk >= k - 1);
  return 0;
}
