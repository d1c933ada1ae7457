// The decoder's bulk kernel with SSE2: sixteen bytes per step, whatever mix of one-, two- and
// three-byte forms they hold, with no branch that depends on where one kind of text gives way to
// another. Japanese text does so every ten characters or so; in the word-at-a-time kernel the
// branch mispredicted at each switch cost more than the decoding itself.
//
// A step reads the sixteen bytes at i as would-be lead bytes, and the sixteen at i + 1 and at
// i + 2 as their would-be continuation bytes, so a character starting at any of the sixteen
// positions is seen whole even when it runs up to two bytes past the block. The step takes
// every character that starts in the block, or, at the first sign of anything else in it (a
// fault, a four-byte form, a byte that leads nothing), none of them, and the kernel stops. The
// continuation bytes a character carries into the next block are owed there: the next step
// checks that nothing else stands in those positions and gives them no unit of their own.
#include "utf8/utf8_kernels.h"

#if defined(CORVANE_UTF8_KERNELS_SSE2)

#include <emmintrin.h>

#include <cstring>

namespace corvane {
namespace {

constexpr std::size_t kBlock = 16;
// Bytes a step reads: the block and the two continuation bytes of a form starting at its end.
constexpr std::size_t kStepReads = kBlock + 2;

__m128i Load16(const std::uint8_t* p) {
  __m128i v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

__m128i Bytes(int b) {
  return _mm_set1_epi8(static_cast<char>(b));
}

// Bits 0-15 set for the bytes of v whose high bit is set.
unsigned Mask(__m128i v) {
  return static_cast<unsigned>(_mm_movemask_epi8(v));
}

// The block's bytes sorted by kind, as 0xFF / 0x00 per byte. SSE2 compares bytes as signed
// numbers: 0x00-0x7F are 0..127 and 0x80-0xFF are -128..-1, so each kind is one compare, or two.
struct Kinds {
  __m128i high;          // 0x80-0xFF: not ASCII
  __m128i continuation;  // 0x80-0xBF
  __m128i lead;          // 0xC0-0xFF: leads two bytes or more (or nothing, see `beyond`)
  __m128i lead3;         // 0xE0-0xFF: leads three bytes or more
  __m128i beyond;        // 0xF0-0xFF: four-byte leads and bytes that lead nothing
};

Kinds Sort(__m128i x) {
  Kinds k;
  k.high = _mm_cmpgt_epi8(_mm_setzero_si128(), x);
  k.continuation = _mm_cmpgt_epi8(Bytes(-64), x);
  k.lead = _mm_andnot_si128(k.continuation, k.high);
  k.lead3 = _mm_and_si128(k.high, _mm_cmpgt_epi8(x, Bytes(-33)));
  k.beyond = _mm_and_si128(k.high, _mm_cmpgt_epi8(x, Bytes(-17)));
  return k;
}

// The unit each position decodes to if a character starts there, as its high and low byte:
//   one byte    0, b
//   two bytes   (b >> 2) & 0x07, (b << 6) | (c1 & 0x3F)
//   three       (b << 4) | ((c1 >> 2) & 0x0F), (c1 << 6) | (c2 & 0x3F)
// (all within bytes). SSE2 shifts 16-bit lanes only; the masks drop the bits that a shift moves
// across the byte boundary. Positions that hold continuation bytes get a value never used.
void UnitsIfLeads(__m128i x, __m128i c1, __m128i c2, const Kinds& k, __m128i units[2]) {
  const __m128i three = k.lead3;
  const __m128i shifted = _mm_xor_si128(x, _mm_and_si128(_mm_xor_si128(x, c1), three));
  const __m128i tail = _mm_xor_si128(c1, _mm_and_si128(_mm_xor_si128(c1, c2), three));
  __m128i low = _mm_or_si128(_mm_and_si128(_mm_slli_epi16(shifted, 6), Bytes(0xC0)),
                             _mm_and_si128(tail, Bytes(0x3F)));
  low = _mm_xor_si128(x, _mm_and_si128(_mm_xor_si128(x, low), k.high));
  const __m128i highTwo = _mm_and_si128(_mm_srli_epi16(x, 2), Bytes(0x07));
  const __m128i highThree = _mm_or_si128(_mm_and_si128(_mm_slli_epi16(x, 4), Bytes(0xF0)),
                                         _mm_and_si128(_mm_srli_epi16(c1, 2), Bytes(0x0F)));
  __m128i high = _mm_xor_si128(highTwo, _mm_and_si128(_mm_xor_si128(highTwo, highThree), three));
  high = _mm_and_si128(k.high, high);
  units[0] = _mm_unpacklo_epi8(low, high);
  units[1] = _mm_unpackhi_epi8(low, high);
}

// Stores the unit of every character starting in the block at out, which has room for one unit
// more than there are positions, and returns their number. A position's slot is the number of
// leads before it: a lead's own slot, a continuation byte's the slot of the character after the
// one it belongs to (the carried ones at the block's start share the first slot). Positions are
// stored from first to last, so a lead's unit overwrites whatever the bytes before it left in
// its slot, and only the continuation bytes after the last lead store past the units, into the
// one slot behind them, which gets its old content back.
std::size_t StoreUnits(__m128i x, __m128i c1, __m128i c2, const Kinds& k, Utf16Unit* out) {
  __m128i before = _mm_slli_si128(_mm_andnot_si128(k.continuation, Bytes(1)), 1);
  before = _mm_add_epi8(before, _mm_slli_si128(before, 1));
  before = _mm_add_epi8(before, _mm_slli_si128(before, 2));
  before = _mm_add_epi8(before, _mm_slli_si128(before, 4));
  before = _mm_add_epi8(before, _mm_slli_si128(before, 8));
  struct Staged {
    Utf16Unit unit[kBlock];
    std::uint8_t slot[kBlock];
  } staged;
  __m128i units[2];
  UnitsIfLeads(x, c1, c2, k, units);
  std::memcpy(staged.unit, units, sizeof staged.unit);
  std::memcpy(staged.slot, &before, sizeof staged.slot);
  // Read back through a pointer the compiler cannot follow: otherwise it keeps the arrays in
  // vector registers and extracts every element on its own, which costs more than the round
  // trip through memory.
  const Staged* volatile opaque = &staged;
  const Staged& s = *opaque;
  const std::size_t count = std::size_t{s.slot[kBlock - 1]} + ((Mask(k.continuation) >> 15) ^ 1);
  const Utf16Unit behind = out[count];
  // Every slot <= count <= 16: it counts leads among sixteen positions.
  for (std::size_t p = 0; p < kBlock; ++p) {
    out[s.slot[p]] = s.unit[p];
  }
  out[count] = behind;
  return count;
}

// The number of leads among the sixteen positions. (The baseline has no popcount instruction.)
std::size_t CountLeads(const Kinds& k) {
  const __m128i sums =
      _mm_sad_epu8(_mm_andnot_si128(k.continuation, Bytes(1)), _mm_setzero_si128());
  return static_cast<std::size_t>(_mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4));
}

// Nonzero where a lead starts a form the Unicode standard forbids and the arithmetic allows: C0
// and C1 (overlong two-byte forms), E0 before 80-9F (overlong three-byte forms) and ED before
// A0-BF (surrogates). The last two are one compare: a second byte from A0 (above -97 as a signed
// byte) takes 0x0D off the lead, which turns ED, and only ED, into E0, and leaves E0 as it is
// only before 80-9F.
__m128i ForbiddenForms(__m128i x, __m128i c1) {
  const __m128i fromA0 = _mm_cmpgt_epi8(c1, Bytes(-97));
  const __m128i folded = _mm_sub_epi8(x, _mm_and_si128(fromA0, Bytes(0x0D)));
  const __m128i overlong2 = _mm_cmpeq_epi8(_mm_or_si128(x, Bytes(0x01)), Bytes(0xC1));
  return _mm_or_si128(overlong2, _mm_cmpeq_epi8(folded, Bytes(0xE0)));
}

// kStandard: also stops before the forms ForbiddenForms finds.
template <bool kStore, bool kStandard>
KernelProgress DecodeBlocks(const std::uint8_t* s, std::size_t length, Utf16Unit* dst,
                            std::size_t capacity) {
  std::size_t i = 0;
  std::size_t n = 0;
  // 0xFF at the first one or two positions of the block at i if they are owed to a character
  // begun in the block before.
  __m128i carried = _mm_setzero_si128();
  while (length - i >= kStepReads && (!kStore || capacity - n > kBlock)) {
    const __m128i x = Load16(s + i);
    if (Mask(_mm_or_si128(x, carried)) == 0) {
      if constexpr (kStore) {
        const __m128i zero = _mm_setzero_si128();
        const __m128i units[2] = {_mm_unpacklo_epi8(x, zero), _mm_unpackhi_epi8(x, zero)};
        std::memcpy(dst + n, units, sizeof units);
      }
      i += kBlock;
      n += kBlock;
      continue;
    }
    const __m128i c1 = Load16(s + i + 1);
    const __m128i c2 = Load16(s + i + 2);
    const Kinds k = Sort(x);
    const __m128i owed =
        _mm_or_si128(_mm_or_si128(_mm_slli_si128(k.lead, 1), _mm_slli_si128(k.lead3, 2)), carried);
    const __m128i continues1 = _mm_cmpgt_epi8(Bytes(-64), c1);
    const __m128i continues2 = _mm_cmpgt_epi8(Bytes(-64), c2);
    // A lead without its continuation bytes, a continuation byte where none is owed or a
    // different byte where one is, or a byte from 0xF0 up.
    const __m128i fault = _mm_or_si128(
        _mm_or_si128(_mm_andnot_si128(continues1, k.lead), _mm_andnot_si128(continues2, k.lead3)),
        _mm_or_si128(_mm_xor_si128(owed, k.continuation), k.beyond));
    if (Mask(kStandard ? _mm_or_si128(fault, ForbiddenForms(x, c1)) : fault) != 0) break;
    if constexpr (kStore) {
      n += StoreUnits(x, c1, c2, k, dst + n);
    } else {
      n += CountLeads(k);
    }
    i += kBlock;
    carried = _mm_or_si128(_mm_srli_si128(k.lead, 15), _mm_srli_si128(k.lead3, 14));
  }
  // A character carried into the block at i was taken with the block before; the next one
  // starts behind its continuation bytes (mask bits 0, or 0 and 1: one or two of them).
  const unsigned carriedBits = Mask(carried);
  return {i + (carriedBits & 1) + (carriedBits >> 1), n};
}

}  // namespace

KernelProgress DecodeOrdinaryBlocksSse2(const std::uint8_t* src, std::size_t length, Utf16Unit* dst,
                                        std::size_t capacity) {
  return dst == nullptr ? DecodeBlocks<false, false>(src, length, dst, capacity)
                        : DecodeBlocks<true, false>(src, length, dst, capacity);
}

KernelProgress DecodeStandardBlocksSse2(const std::uint8_t* src, std::size_t length, Utf16Unit* dst,
                                        std::size_t capacity) {
  return DecodeBlocks<true, true>(src, length, dst, capacity);
}

}  // namespace corvane

#endif
