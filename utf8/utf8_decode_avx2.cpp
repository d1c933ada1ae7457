// The decoder's bulk kernel with AVX2, for the processors that have it (utf8_kernel_choice.cpp
// asks before it lists this kernel; the functions here are compiled for AVX2 one by one, so the
// rest of the library stays within the build's baseline). Thirty-two bytes per step, whatever mix
// of one-, two- and three-byte forms they hold, with no branch that depends on where one kind of
// text gives way to another.
//
// A step reads the thirty-two bytes at i as would-be lead bytes, and those at i + 1 and i + 2 as
// the bytes after each, so a character starting at any position is seen whole, and each position
// is judged by itself and the two bytes behind it, with no look back across the block or lane
// boundary. A byte that is not a continuation byte must be followed by one exactly when it leads
// a form; a lead must have a second continuation byte exactly when it leads three bytes; no three
// continuation bytes may stand in a row; nothing from 0xF0 up. The one thing these cannot see is
// a stray continuation byte right where the block's first character should start (behind the
// zero to two that the block before carried in), so the step looks there itself. Together, over
// a text that starts at a character, this holds exactly where every character starting in the
// block is a whole one-, two- or three-byte form. The step takes every character starting in the
// block, or, if anything breaks a rule, none, and the kernel stops there. A block of ASCII needs
// no rules: nothing in it can be owed, and the next block looks at its own start.
//
// Then every position gets the unit it would decode to if a character started there, and the
// units of the positions that do start one are packed to the front, eight positions at a time,
// with a byte shuffle from a table indexed by which of the eight to keep.
#include "utf8/utf8_kernels.h"

#if defined(CORVANE_UTF8_KERNELS_AVX2)

#include <immintrin.h>

#include <array>
#include <bit>

namespace corvane {
namespace {

constexpr std::size_t kBlock = 32;
// Bytes a step reads: the block and the two continuation bytes of a form starting at its end.
constexpr std::size_t kStepReads = kBlock + 2;
// Units a storing step may touch: one per position, and the eight behind its units that the
// packed stores spill into and that it puts back.
constexpr std::size_t kStepRoom = kBlock + 8;

// For each choice of units to keep among eight (bit k keeps unit k), the byte shuffle that moves
// the kept units, in order, to the front of sixteen bytes.
constexpr auto kPackUnits = [] {
  std::array<std::array<std::uint8_t, 16>, 256> table{};
  for (std::size_t keep = 0; keep < 256; ++keep) {
    std::size_t to = 0;
    for (std::size_t from = 0; from < 8; ++from) {
      if (((keep >> from) & 1) == 0) continue;
      table[keep][2 * to] = static_cast<std::uint8_t>(2 * from);
      table[keep][2 * to + 1] = static_cast<std::uint8_t>(2 * from + 1);
      ++to;
    }
    for (; 2 * to < 16; ++to)
      table[keep][2 * to] = table[keep][2 * to + 1] = 0x80;
  }
  return table;
}();

CORVANE_TARGET_AVX2 __m256i Load32(const std::uint8_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

CORVANE_TARGET_AVX2 __m128i Load16(const void* p) {
  return _mm_loadu_si128(static_cast<const __m128i*>(p));
}

CORVANE_TARGET_AVX2 void Store16(Utf16Unit* p, __m128i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

CORVANE_TARGET_AVX2 __m256i Bytes(int b) {
  return _mm256_set1_epi8(static_cast<char>(b));
}

// Bits 0-31 set for the bytes of v whose high bit is set.
CORVANE_TARGET_AVX2 std::uint32_t Mask(__m256i v) {
  return static_cast<std::uint32_t>(_mm256_movemask_epi8(v));
}

// 0xFF at the continuation bytes (0x80-0xBF) of v. AVX2 compares bytes as signed numbers, where
// 0x80-0xBF are -128..-65.
CORVANE_TARGET_AVX2 __m256i Continuations(__m256i v) {
  return _mm256_cmpgt_epi8(Bytes(-64), v);
}

// The block's bytes sorted by kind, as 0xFF / 0x00 per byte.
struct Kinds {
  __m256i continuation;  // 0x80-0xBF
  __m256i lead;          // 0xC0-0xFF: leads two bytes or more (or nothing, see `beyond`)
  __m256i lead3;         // 0xE0-0xFF: leads three bytes or more
  __m256i beyond;        // 0xF0-0xFF: four-byte leads and bytes that lead nothing
};

CORVANE_TARGET_AVX2 Kinds Sort(__m256i x) {
  const __m256i high = _mm256_cmpgt_epi8(_mm256_setzero_si256(), x);
  Kinds k;
  k.continuation = Continuations(x);
  k.lead = _mm256_andnot_si256(k.continuation, high);
  k.lead3 = _mm256_and_si256(high, _mm256_cmpgt_epi8(x, Bytes(-33)));
  k.beyond = _mm256_and_si256(high, _mm256_cmpgt_epi8(x, Bytes(-17)));
  return k;
}

// Nonzero where a position breaks one of the rules above; c1 and c2 are the bytes after x.
CORVANE_TARGET_AVX2 __m256i Faults(const Kinds& k, __m256i c1, __m256i c2) {
  const __m256i continues1 = Continuations(c1);
  const __m256i continues2 = Continuations(c2);
  const __m256i leadUnfollowed = _mm256_andnot_si256(
      k.continuation, _mm256_xor_si256(k.lead, continues1));  // also ASCII, then a continuation
  const __m256i lead3Unfollowed = _mm256_and_si256(k.lead, _mm256_xor_si256(k.lead3, continues2));
  const __m256i threeInARow =
      _mm256_and_si256(k.continuation, _mm256_and_si256(continues1, continues2));
  return _mm256_or_si256(_mm256_or_si256(leadUnfollowed, lead3Unfollowed),
                         _mm256_or_si256(threeInARow, k.beyond));
}

// The faults that a position and the byte after it decide, each as a bit that each of three
// nibbles allows or not: x's high nibble, x's low nibble and c1's high nibble. Looked up
// together, the three give the faults that all three allow, which are the faults there.
struct FaultTables {
  std::array<char, 16> byHighOfLead{};
  std::array<char, 16> byLowOfLead{};
  std::array<char, 16> byHighOfNext{};

  // Fault bit f for x in 0xH0-0xHF with H in [high, highLast] and L in [low, lowLast], and c1's
  // high nibble in [next, nextLast].
  constexpr void Allow(int f, std::size_t high, std::size_t highLast, std::size_t low,
                       std::size_t lowLast, std::size_t next, std::size_t nextLast) {
    for (std::size_t n = high; n <= highLast; ++n)
      byHighOfLead[n] = static_cast<char>(byHighOfLead[n] | f);
    for (std::size_t n = low; n <= lowLast; ++n)
      byLowOfLead[n] = static_cast<char>(byLowOfLead[n] | f);
    for (std::size_t n = next; n <= nextLast; ++n)
      byHighOfNext[n] = static_cast<char>(byHighOfNext[n] | f);
  }
};

constexpr FaultTables kFaultTables = [] {
  FaultTables t;
  t.Allow(0x01, 0xC, 0xF, 0x0, 0xF, 0x0, 0x7);  // a lead, then ASCII
  t.Allow(0x02, 0xC, 0xF, 0x0, 0xF, 0xC, 0xF);  // a lead, then a lead
  t.Allow(0x04, 0x0, 0x7, 0x0, 0xF, 0x8, 0xB);  // ASCII, then a continuation byte
  t.Allow(0x08, 0xC, 0xC, 0x0, 0x1, 0x0, 0xF);  // C0, C1: overlong two-byte forms
  t.Allow(0x10, 0xE, 0xE, 0x0, 0x0, 0x8, 0x9);  // E0 80-9F: overlong three-byte forms
  t.Allow(0x20, 0xE, 0xE, 0xD, 0xD, 0xA, 0xB);  // ED A0-BF: surrogates
  t.Allow(0x40, 0xF, 0xF, 0x0, 0xF, 0x0, 0xF);  // F0-FF: four-byte leads, and no leads at all
  return t;
}();

CORVANE_TARGET_AVX2 __m256i Lookup(const std::array<char, 16>& table, __m256i nibbles) {
  return _mm256_shuffle_epi8(_mm256_broadcastsi128_si256(Load16(table.data())), nibbles);
}

// Faults' rules, and the forms the Unicode standard forbids and the arithmetic allows, in about
// as many operations as Faults alone: nonzero where a position breaks one. The table lookups take
// all that x and c1 decide; what is left needs c2, and is one rule: a position is followed by two
// continuation bytes exactly when it leads three bytes (which rules out three continuation bytes
// in a row, and a two-byte lead followed by two).
CORVANE_TARGET_AVX2 __m256i StandardFaults(const Kinds& k, __m256i x, __m256i c1, __m256i c2) {
  const FaultTables& t = kFaultTables;
  const __m256i nibble = Bytes(0x0F);
  const __m256i highOfLead = _mm256_and_si256(_mm256_srli_epi16(x, 4), nibble);
  const __m256i highOfNext = _mm256_and_si256(_mm256_srli_epi16(c1, 4), nibble);
  const __m256i pairs =
      _mm256_and_si256(_mm256_and_si256(Lookup(t.byHighOfLead, highOfLead),
                                        Lookup(t.byLowOfLead, _mm256_and_si256(x, nibble))),
                       Lookup(t.byHighOfNext, highOfNext));
  const __m256i twoFollow = _mm256_and_si256(Continuations(c1), Continuations(c2));
  return _mm256_or_si256(pairs, _mm256_xor_si256(twoFollow, k.lead3));
}

// The unit each position decodes to if a character starts there, as its low and high byte:
//   one byte    b, 0
//   two bytes   (b << 6) | (c1 & 0x3F), (b >> 2) & 0x07
//   three       (c1 << 6) | (c2 & 0x3F), (b << 4) | ((c1 >> 2) & 0x0F)
// (all within bytes). AVX2 shifts 16-bit lanes only; the masks drop the bits that a shift moves
// across the byte boundary. A byte blend picks by the high bit of its selector, so x itself
// selects the bytes of the forms longer than one.
CORVANE_TARGET_AVX2 void UnitBytesIfLeads(__m256i x, __m256i c1, __m256i c2, const Kinds& k,
                                          __m256i& low, __m256i& high) {
  const __m256i topTwoFrom = _mm256_blendv_epi8(x, c1, k.lead3);
  const __m256i tail = _mm256_blendv_epi8(c1, c2, k.lead3);
  low = _mm256_or_si256(_mm256_and_si256(_mm256_slli_epi16(topTwoFrom, 6), Bytes(0xC0)),
                        _mm256_and_si256(tail, Bytes(0x3F)));
  low = _mm256_blendv_epi8(x, low, x);
  const __m256i highTwo = _mm256_and_si256(_mm256_srli_epi16(x, 2), Bytes(0x07));
  const __m256i highThree =
      _mm256_or_si256(_mm256_and_si256(_mm256_slli_epi16(x, 4), Bytes(0xF0)),
                      _mm256_and_si256(_mm256_srli_epi16(c1, 2), Bytes(0x0F)));
  high = _mm256_blendv_epi8(highTwo, highThree, k.lead3);
  high = _mm256_blendv_epi8(_mm256_setzero_si256(), high, x);
}

CORVANE_TARGET_AVX2 __m256i PackPattern(std::uint32_t lowLane, std::uint32_t highLane) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(Load16(kPackUnits[lowLane].data())),
                                 Load16(kPackUnits[highLane].data()), 1);
}

// Stores the unit of every position in `keep` (bit p for position p) at out, in order, and
// returns their number. out has room for kStepRoom units; the stores spill up to eight units
// behind the last one, which get their old content back.
[[gnu::always_inline]] CORVANE_TARGET_AVX2 inline std::size_t StoreUnits(__m256i x, __m256i c1,
                                                                         __m256i c2, const Kinds& k,
                                                                         std::uint32_t keep,
                                                                         Utf16Unit* out) {
  __m256i low;
  __m256i high;
  UnitBytesIfLeads(x, c1, c2, k, low, high);
  // Each 128-bit lane interleaves on its own: positions 0-7 and 16-23 in the first, 8-15 and
  // 24-31 in the second.
  const __m256i first = _mm256_shuffle_epi8(_mm256_unpacklo_epi8(low, high),
                                            PackPattern(keep & 0xFF, (keep >> 16) & 0xFF));
  const __m256i second = _mm256_shuffle_epi8(_mm256_unpackhi_epi8(low, high),
                                             PackPattern((keep >> 8) & 0xFF, keep >> 24));
  const auto upTo8 = static_cast<std::size_t>(std::popcount(keep & 0xFFu));
  const auto upTo16 = static_cast<std::size_t>(std::popcount(keep & 0xFFFFu));
  const auto upTo24 = static_cast<std::size_t>(std::popcount(keep & 0xFFFFFFu));
  const auto count = static_cast<std::size_t>(std::popcount(keep));
  const __m128i behind = Load16(out + count);
  Store16(out, _mm256_castsi256_si128(first));
  Store16(out + upTo8, _mm256_castsi256_si128(second));
  Store16(out + upTo16, _mm256_extracti128_si256(first, 1));
  Store16(out + upTo24, _mm256_extracti128_si256(second, 1));
  Store16(out + count, behind);
  return count;
}

// Stores the thirty-two ASCII bytes of x as units at out.
CORVANE_TARGET_AVX2 void WidenAscii(__m256i x, Utf16Unit* out) {
  const __m256i first = _mm256_cvtepu8_epi16(_mm256_castsi256_si128(x));
  const __m256i second = _mm256_cvtepu8_epi16(_mm256_extracti128_si256(x, 1));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), first);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 16), second);
}

// kStandard: also stops before the forms StandardFaults forbids.
template <bool kStore, bool kStandard>
CORVANE_TARGET_AVX2 KernelProgress DecodeBlocks(const std::uint8_t* s, std::size_t length,
                                                Utf16Unit* dst, std::size_t capacity) {
  std::size_t i = 0;
  std::size_t n = 0;
  // Continuation bytes at the start of the block at i that belong to a character taken with
  // the block before: zero, one or two.
  std::size_t carried = 0;
  while (length - i >= kStepReads && (!kStore || capacity - n >= kStepRoom)) {
    const __m256i x = Load32(s + i);
    const std::uint32_t high = Mask(x);
    if (high == 0) {
      if constexpr (kStore) WidenAscii(x, dst + n);
      i += kBlock;
      n += kBlock;
      continue;  // carried is 0: what a block carries in has its high bit set
    }
    const __m256i c1 = Load32(s + i + 1);
    const __m256i c2 = Load32(s + i + 2);
    const Kinds k = Sort(x);
    const std::uint32_t continuation = Mask(k.continuation);
    const bool strayAtStart = ((continuation >> carried) & 1) != 0;
    __m256i faults;
    if constexpr (kStandard) {
      faults = StandardFaults(k, x, c1, c2);
    } else {
      faults = Faults(k, c1, c2);
    }
    if (!_mm256_testz_si256(faults, Bytes(0xFF)) || strayAtStart) break;
    const std::uint32_t keep = ~continuation;
    if constexpr (kStore) {
      n += StoreUnits(x, c1, c2, k, keep, dst + n);
    } else {
      n += static_cast<std::size_t>(std::popcount(keep));
    }
    // A two-byte form at the last position carries one, a three-byte form two; one at the
    // position before it carries one. Read from the bytes: the vector masks would queue behind
    // the others on the one port that takes them.
    const std::uint8_t last = s[i + kBlock - 1];
    carried = std::size_t{last >= 0xC0} + std::size_t{last >= 0xE0} +
              std::size_t{s[i + kBlock - 2] >= 0xE0};
    i += kBlock;
  }
  return {i + carried, n};
}

}  // namespace

CORVANE_TARGET_AVX2 KernelProgress DecodeOrdinaryBlocksAvx2(const std::uint8_t* src,
                                                            std::size_t length, Utf16Unit* dst,
                                                            std::size_t capacity) {
  return dst == nullptr ? DecodeBlocks<false, false>(src, length, dst, capacity)
                        : DecodeBlocks<true, false>(src, length, dst, capacity);
}

CORVANE_TARGET_AVX2 KernelProgress DecodeStandardBlocksAvx2(const std::uint8_t* src,
                                                            std::size_t length, Utf16Unit* dst,
                                                            std::size_t capacity) {
  return DecodeBlocks<true, true>(src, length, dst, capacity);
}

}  // namespace corvane

#endif
