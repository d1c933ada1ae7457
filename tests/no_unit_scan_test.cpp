// The scans the C++ decoders make for U+FFFD, each implementation this machine runs: they find a
// unit from U+FFFD up at every place in stretches of every length across the vector widths, and
// nothing among the units below it.
#include "cxx/no_unit_scan.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvane::cxx {
namespace {

using Scan = bool (*)(const char16_t*, std::size_t);

std::vector<Scan> Scans() {
  std::vector<Scan> scans = {HasNoUnit};
#if defined(CORVANE_CXX_AVX2)
  if (__builtin_cpu_supports("avx2")) scans.push_back(HasNoUnitAvx2);
#endif
  return scans;
}

TEST(NoUnitScan, FindsTheMarkWhereverItStands) {
  for (const Scan scan : Scans()) {
    for (std::size_t n = 0; n <= 200; ++n) {
      std::vector<char16_t> units(n + 1, u'\uFFFC');
      for (std::size_t i = 0; i < n; i += 3)
        units[i] = static_cast<char16_t>(0x7FFD + i);
      units[n] = standard::kNoUnit;  // just past the end: not to be seen
      ASSERT_FALSE(scan(units.data(), n)) << n;
      for (std::size_t at = 0; at < n; ++at) {
        const char16_t was = units[at];
        units[at] = static_cast<char16_t>(standard::kNoUnit + at % 3);
        ASSERT_TRUE(scan(units.data(), n)) << at << " of " << n;
        units[at] = was;
      }
    }
  }
}

}  // namespace
}  // namespace corvane::cxx
