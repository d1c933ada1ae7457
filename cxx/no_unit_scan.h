// Finding U+FFFD, which marks "no character" in every decoding table, among units that a decoder
// has looked up without a test a byte: it asks once per stretch instead.
#pragma once

#include <cstddef>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "cxx/tables/standard_tables.h"

namespace corvane::cxx {

// Whether units[0, n) holds U+FFFD. Inline, for short stretches (the single-byte decoder asks
// every 64 units).
inline bool HasNoUnit(const char16_t* units, std::size_t n) {
  std::size_t whole = 0;  // units the vector loop takes
  unsigned any = 0;
#if defined(__SSE2__) || defined(_M_X64)
  // The compiler does not vectorise the loop below at -O2.
  // Thirty-two units a round, in four independent compares.
  whole = n / 32 * 32;
  const __m128i none = _mm_set1_epi16(static_cast<short>(standard::kNoUnit));
  const auto at = [&](std::size_t i) {
    return _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i)), none);
  };
  __m128i found = _mm_setzero_si128();
  for (std::size_t i = 0; i < whole; i += 32) {
    found = _mm_or_si128(
        found, _mm_or_si128(_mm_or_si128(at(i), at(i + 8)), _mm_or_si128(at(i + 16), at(i + 24))));
  }
  any = static_cast<unsigned>(_mm_movemask_epi8(found));
#endif
  for (std::size_t i = whole; i < n; ++i)
    any |= static_cast<unsigned>(units[i] == standard::kNoUnit);
  return any != 0;
}

// The same for long stretches (the double-byte decoder asks every few thousand units): a call,
// which takes 32 bytes at a time where the processor has AVX2.
bool HasNoUnitLong(const char16_t* units, std::size_t n);

}  // namespace corvane::cxx
