#include "cxx/no_unit_scan.h"

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define CORVANE_NO_UNIT_AVX2 1
#include <immintrin.h>
#endif

namespace corvane::cxx {
namespace {

#if defined(CORVANE_NO_UNIT_AVX2)
// Compiled for AVX2 alone, and called only where the processor has it.
__attribute__((target("avx2"))) bool HasNoUnitAvx2(const char16_t* units, std::size_t n) {
  const std::size_t whole = n / 64 * 64;
  const __m256i none = _mm256_set1_epi16(static_cast<short>(standard::kNoUnit));
  const auto at = [&](std::size_t i) __attribute__((target("avx2"))) {
    return _mm256_cmpeq_epi16(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(units + i)),
                              none);
  };
  __m256i found = _mm256_setzero_si256();
  for (std::size_t i = 0; i < whole; i += 64) {
    found = _mm256_or_si256(found, _mm256_or_si256(_mm256_or_si256(at(i), at(i + 16)),
                                                   _mm256_or_si256(at(i + 32), at(i + 48))));
  }
  return !_mm256_testz_si256(found, found) || HasNoUnit(units + whole, n - whole);
}

bool ProcessorHasAvx2() {
  static const bool has = [] {
    // Asked directly: this may run inside another library's start-up, before the compiler's own
    // run-time has asked.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
}
#endif

}  // namespace

bool HasNoUnitLong(const char16_t* units, std::size_t n) {
#if defined(CORVANE_NO_UNIT_AVX2)
  if (ProcessorHasAvx2()) return HasNoUnitAvx2(units, n);
#endif
  return HasNoUnit(units, n);
}

}  // namespace corvane::cxx
