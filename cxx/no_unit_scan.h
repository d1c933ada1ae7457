// Finding U+FFFD, which marks "no character" in every decoding table, among units that a decoder
// has looked up without a test a byte: it asks once per stretch instead.
//
// The scans look for any unit from U+FFFD up, which takes one vector operation per load where a
// test for U+FFFD alone takes two. No table gives U+FFFE or U+FFFF, which are not characters;
// if one did, its stretch would only go the slow way for nothing.
#pragma once

#include <cstddef>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif
// AVX2 wherever GCC or Clang targets x86, whatever the baseline, for the functions marked with
// CORVANE_CXX_TARGET_AVX2 alone; they run only where ProcessorHasAvx2().
#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define CORVANE_CXX_AVX2 1
#define CORVANE_CXX_TARGET_AVX2 __attribute__((target("avx2")))
#include <immintrin.h>
#endif

#include "base/processor.h"
#include "cxx/tables/standard_tables.h"

namespace corvane::cxx {

// Whether units[0, n) holds a unit from U+FFFD up. Inline, for short stretches (the single-byte
// decoder asks every 64 units).
inline bool HasNoUnit(const char16_t* units, std::size_t n) {
  std::size_t whole = 0;  // units the vector loop takes
  unsigned any = 0;
#if defined(__SSE2__) || defined(_M_X64)
  // The compiler does not vectorise the loop below at -O2. Thirty-two units a round: what is
  // left of each after taking U+FFFC away, with unsigned saturation, is nonzero from U+FFFD up.
  whole = n / 32 * 32;
  const __m128i below = _mm_set1_epi16(static_cast<short>(standard::kNoUnit - 1));
  const auto at = [&](std::size_t i) {
    return _mm_subs_epu16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i)), below);
  };
  __m128i found = _mm_setzero_si128();
  for (std::size_t i = 0; i < whole; i += 32) {
    found = _mm_or_si128(
        found, _mm_or_si128(_mm_or_si128(at(i), at(i + 8)), _mm_or_si128(at(i + 16), at(i + 24))));
  }
  any = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi16(found, _mm_setzero_si128()))) ^
        0xFFFFu;
#endif
  for (std::size_t i = whole; i < n; ++i)
    any |= static_cast<unsigned>(units[i] >= standard::kNoUnit);
  return any != 0;
}

#if defined(CORVANE_CXX_AVX2)
// The same, sixty-four units a round, keeping the greatest unit of each lane.
CORVANE_CXX_TARGET_AVX2 inline bool HasNoUnitAvx2(const char16_t* units, std::size_t n) {
  const std::size_t whole = n / 64 * 64;
  const auto at = [&](std::size_t i) CORVANE_CXX_TARGET_AVX2 {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(units + i));
  };
  __m256i most = _mm256_setzero_si256();
  for (std::size_t i = 0; i < whole; i += 64) {
    most = _mm256_max_epu16(most, _mm256_max_epu16(_mm256_max_epu16(at(i), at(i + 16)),
                                                   _mm256_max_epu16(at(i + 32), at(i + 48))));
  }
  const __m256i below = _mm256_set1_epi16(static_cast<short>(standard::kNoUnit - 1));
  const __m256i over = _mm256_subs_epu16(most, below);
  return !_mm256_testz_si256(over, over) || HasNoUnit(units + whole, n - whole);
}
#endif

// The same for long stretches (the double-byte decoder asks every few thousand units): a call,
// AVX2 where the processor has it.
bool HasNoUnitLong(const char16_t* units, std::size_t n);

}  // namespace corvane::cxx
