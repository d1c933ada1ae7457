// The encoder's bulk kernel with SSE2: eight units per step. Eight ASCII units are narrowed to
// eight bytes; any other mix is encoded with no branch that depends on the kinds of unit, which
// matters for Japanese text, where ASCII and three-byte units alternate every few characters and
// a mispredicted branch at each switch cost more than the encoding itself.
//
// A mixed step builds, in the vector registers, every unit's form as a four-byte word (the form
// in its first one to three bytes) and its offset in the output (the sum of the lengths before
// it), then stores the words one by one, each at its offset, so each store's surplus bytes are
// covered by the next form. Only the last word's surplus bytes (one to three) would stay behind;
// the step puts back the four bytes it found behind the forms.
#include "utf8/utf8_encode_blocks.h"
#include "utf8/utf8_kernels.h"

#if defined(CORVANE_UTF8_KERNELS_SSE2)

#include <emmintrin.h>

#include <cstring>

namespace corvane {
namespace {

constexpr std::size_t kBlock = 8;
// Output a mixed step may touch: three bytes per unit and four behind them.
constexpr std::size_t kMixedRoom = 3 * kBlock + 4;

__m128i Units(int u) {
  return _mm_set1_epi16(static_cast<short>(u));
}

// 0xFFFF in each lane of u whose bits under `mask` are all clear.
__m128i Clear(__m128i u, int mask) {
  return _mm_cmpeq_epi16(_mm_and_si128(u, Units(mask)), _mm_setzero_si128());
}

__m128i Load(const Utf16Unit* src) {
  __m128i u;
  std::memcpy(&u, src, sizeof u);
  return u;
}

bool IsAscii(const Utf16Unit* src) {
  return _mm_movemask_epi8(Clear(Load(src), 0xFF80)) == 0xFFFF;
}

void Narrow(const Utf16Unit* src, std::uint8_t* out) {
  const __m128i u = Load(src);
  const __m128i bytes = _mm_packus_epi16(u, u);
  std::memcpy(out, &bytes, kBlock);
}

// Encodes the eight units at src into out, which has room for kMixedRoom bytes, and returns the
// number of bytes of their forms; kRefusedBlock, with nothing stored, for a surrogate when
// kRefuseSurrogates.
template <bool kRefuseSurrogates>
std::size_t EncodeMixed(const Utf16Unit* src, std::uint8_t* out) {
  const __m128i u = Load(src);
  const __m128i top = _mm_and_si128(u, Units(0xF800));
  if constexpr (kRefuseSurrogates) {
    if (_mm_movemask_epi8(_mm_cmpeq_epi16(top, Units(0xD800))) != 0) return kRefusedBlock;
  }
  const __m128i low6 = Units(0x3F);
  const __m128i last = _mm_or_si128(_mm_and_si128(u, low6), Units(0x80));
  const __m128i middle = _mm_or_si128(_mm_and_si128(_mm_srli_epi16(u, 6), low6), Units(0x80));
  // The first two bytes of each form, first byte low, in 16-bit lanes.
  const __m128i head3 =
      _mm_or_si128(_mm_or_si128(_mm_srli_epi16(u, 12), Units(0xE0)), _mm_slli_epi16(middle, 8));
  // u < 0x800 wherever this is used, so u >> 6 fits the lead's five bits.
  const __m128i head2 =
      _mm_or_si128(_mm_or_si128(_mm_srli_epi16(u, 6), Units(0xC0)), _mm_slli_epi16(last, 8));
  const __m128i isAscii = Clear(u, 0xFF80);
  const __m128i belowThree = _mm_cmpeq_epi16(top, _mm_setzero_si128());
  const __m128i multi =
      _mm_xor_si128(head3, _mm_and_si128(_mm_xor_si128(head3, head2), belowThree));
  const __m128i head = _mm_xor_si128(multi, _mm_and_si128(_mm_xor_si128(multi, u), isAscii));
  const __m128i words[2] = {_mm_unpacklo_epi16(head, last), _mm_unpackhi_epi16(head, last)};

  // Lengths 3 - [u < 0x80] - [u < 0x800] (the masks are -1 where true), then their running sum.
  const __m128i length = _mm_add_epi16(_mm_add_epi16(Units(3), isAscii), belowThree);
  __m128i end = _mm_add_epi16(length, _mm_slli_si128(length, 2));
  end = _mm_add_epi16(end, _mm_slli_si128(end, 4));
  end = _mm_add_epi16(end, _mm_slli_si128(end, 8));
  const __m128i start = _mm_sub_epi16(end, length);

  std::uint32_t form[kBlock];
  std::uint16_t at[kBlock];
  std::memcpy(form, words, sizeof form);
  std::memcpy(at, &start, sizeof at);
  const auto total = static_cast<std::size_t>(_mm_extract_epi16(end, kBlock - 1));
  // total <= 24, and each word ends by at[k] + 4 <= total + 3 < kMixedRoom.
  std::uint8_t behind[4];
  std::memcpy(behind, out + total, sizeof behind);
  for (std::size_t k = 0; k < kBlock; ++k) {
    std::memcpy(out + at[k], &form[k], sizeof form[k]);
  }
  std::memcpy(out + total, behind, sizeof behind);
  return total;
}

}  // namespace

KernelProgress EncodeOrdinaryBlocksSse2(const Utf16Unit* src, std::size_t length, std::uint8_t* dst,
                                        std::size_t capacity) {
  return EncodeBlocksWith<kBlock, kMixedRoom, IsAscii, Narrow, EncodeMixed<false>>(src, length, dst,
                                                                                   capacity);
}

KernelProgress EncodeStandardBlocksSse2(const Utf16Unit* src, std::size_t length, std::uint8_t* dst,
                                        std::size_t capacity) {
  return EncodeBlocksWith<kBlock, kMixedRoom, IsAscii, Narrow, EncodeMixed<true>>(src, length, dst,
                                                                                  capacity);
}

}  // namespace corvane

#endif
