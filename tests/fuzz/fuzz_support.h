// What the targets of the C interface share: the code pages worth choosing from, which road one
// takes, and the check that stops the run (fuzz_check.h).
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "codepages/registry.h"
#include "fuzz_check.h"

namespace corvane::fuzz {

// Every registered code page, then the numbers with roads of their own: UTF-8, the pseudo code
// pages, and numbers only the system converts (or nobody does).
inline const std::vector<std::uint32_t>& CodePages() {
  static const std::vector<std::uint32_t> pages = [] {
    std::vector<std::uint32_t> v;
    for (const CodePageRecord& r : GetCodePageRegistry().records) {
      if (r.id == kTerminatorId) break;
      v.push_back(r.id);
    }
    for (std::uint32_t extra : {65001u, 0u, 3u, 2023u, 874u, 1200u, 28593u, 12345u})
      v.push_back(extra);
    return v;
  }();
  return pages;
}

// Four bytes: a code page of the list taken as it is (so that seeds can name one), any other
// value picks one of the list.
inline std::uint32_t PickCodePage(FuzzedDataProvider& in) {
  const auto& pages = CodePages();
  const auto value = in.ConsumeIntegral<std::uint32_t>();
  for (std::uint32_t page : pages)
    if (page == value) return page;
  return pages[value % pages.size()];
}

// The remaining input as UTF-16 units, two bytes each, low byte first; at most limit units.
inline std::vector<std::uint16_t> RemainingUnits(FuzzedDataProvider& in, std::size_t limit) {
  const std::vector<std::uint8_t> bytes = in.ConsumeRemainingBytes<std::uint8_t>();
  std::vector<std::uint16_t> units;
  for (std::size_t i = 0; i + 1 < bytes.size() && units.size() < limit; i += 2)
    units.push_back(static_cast<std::uint16_t>(bytes[i] | bytes[i + 1] << 8));
  return units;
}

// True when our own tables convert text of this code page on this build (2022 and 51932 travel
// as 932; 65001 is the library's own codec and counts as ours too).
inline bool OnOwnRoad(std::uint32_t codePage) {
  if (codePage == 65001) return true;
  if (codePage == 2022 || codePage == 51932) codePage = 932;
  const CodePageRecord* record = FindCodePageRecord(codePage);
  return record != nullptr && record->provider == ProviderTables;
}

// A length the exports accept: -1 (nul mode) or a count, sometimes a negative one.
enum class LengthMode { kCounted, kNul, kNegative };

inline LengthMode PickLengthMode(FuzzedDataProvider& in) {
  const std::uint8_t m = in.ConsumeIntegral<std::uint8_t>();
  return m < 110 ? LengthMode::kCounted : m < 250 ? LengthMode::kNul : LengthMode::kNegative;
}

// A UTF-16 source in a length mode: the units to pass (terminated in nul mode), the length to
// pass with them, and how many units of text the call should see.
struct WideSource {
  std::vector<std::uint16_t> units;
  std::int32_t srcLen;
  std::int32_t textUnits;
};

inline WideSource MakeWideSource(std::vector<std::uint16_t> units, LengthMode mode,
                                 std::uint16_t cut) {
  const auto count = static_cast<std::int32_t>(units.size());
  switch (mode) {
    case LengthMode::kNul: {
      const auto text = std::find(units.begin(), units.end(), 0) - units.begin();
      units.push_back(0);
      return {std::move(units), -1, static_cast<std::int32_t>(text)};
    }
    case LengthMode::kNegative:
      return {std::move(units), -2 - cut, 0};
    case LengthMode::kCounted:
      break;
  }
  return {std::move(units), count, count};
}

// A heap copy of exactly the vector's size, so that AddressSanitizer reports a read or write one
// element past it (a vector's spare capacity would hide it).
template <typename T>
std::unique_ptr<T[]> ExactCopy(const std::vector<T>& v) {
  auto copy = std::make_unique<T[]>(v.size());
  if (!v.empty()) std::memcpy(copy.get(), v.data(), v.size() * sizeof(T));
  return copy;
}

// Units or bytes [0, n) of a and b are equal.
template <typename T>
bool SamePrefix(const T* a, const T* b, std::int32_t n) {
  return n <= 0 || std::memcmp(a, b, static_cast<std::size_t>(n) * sizeof(T)) == 0;
}

}  // namespace corvane::fuzz
