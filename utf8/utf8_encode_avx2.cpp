// The encoder's bulk kernel with AVX2, for the processors that have it (utf8_kernel_choice.cpp
// asks before it lists this kernel; the functions here are compiled for AVX2 one by one, so the
// rest of the library stays within the build's baseline). Sixteen units per step: sixteen ASCII
// units are narrowed to sixteen bytes; any other mix is encoded with no branch that depends on
// the kinds of unit, as Japanese text, which switches between ASCII and three-byte units every
// few characters, needs.
//
// A mixed step builds every unit's form as a four-byte word (the form in its first one to three
// bytes), four words to a 128-bit lane, and packs each lane's forms together with a byte shuffle
// from a table indexed by the four forms' lengths. The four packed lanes are stored one after
// the other, each over the surplus bytes of the one before; only the last one's surplus stays
// behind the forms, where the step puts back what it found.
#include "utf8/utf8_encode_blocks.h"
#include "utf8/utf8_kernels.h"

#if defined(CORVANE_UTF8_KERNELS_AVX2)

#include <immintrin.h>

#include <array>
#include <bit>

namespace corvane {
namespace {

constexpr std::size_t kBlock = 16;
// Bytes a mixed step may touch: three per unit, and the sixteen behind its forms that the packed
// stores spill into and that it puts back.
constexpr std::size_t kMixedRoom = 3 * kBlock + 16;

// A lane's four forms are described by two bits each, unit k's at bits 2k and 2k + 1: the low
// bit set for an ASCII unit, the high bit for a unit below 0x800. So 3 is one byte, 2 two bytes,
// 0 three bytes, and every set bit is one byte less. For each description, the byte shuffle that
// packs the four forms, in order, at the front of the lane.
constexpr auto kPackForms = [] {
  std::array<std::array<std::uint8_t, 16>, 256> table{};
  for (std::size_t lengths = 0; lengths < 256; ++lengths) {
    std::size_t to = 0;
    for (std::size_t unit = 0; unit < 4; ++unit) {
      const std::size_t form =
          3 - ((lengths >> (2 * unit)) & 1) - ((lengths >> (2 * unit + 1)) & 1);
      for (std::size_t b = 0; b < form; ++b)
        table[lengths][to++] = static_cast<std::uint8_t>(4 * unit + b);
    }
    for (; to < 16; ++to)
      table[lengths][to] = 0x80;
  }
  return table;
}();

CORVANE_TARGET_AVX2 __m256i Units(int u) {
  return _mm256_set1_epi16(static_cast<short>(u));
}

// 0xFFFF in each lane of u whose bits under `mask` are all clear.
CORVANE_TARGET_AVX2 __m256i Clear(__m256i u, int mask) {
  return _mm256_cmpeq_epi16(_mm256_and_si256(u, Units(mask)), _mm256_setzero_si256());
}

CORVANE_TARGET_AVX2 __m128i Load16(const void* p) {
  return _mm_loadu_si128(static_cast<const __m128i*>(p));
}

CORVANE_TARGET_AVX2 void Store16(std::uint8_t* p, __m128i v) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}

CORVANE_TARGET_AVX2 __m256i PackPattern(std::uint32_t lowLane, std::uint32_t highLane) {
  return _mm256_inserti128_si256(_mm256_castsi128_si256(Load16(kPackForms[lowLane].data())),
                                 Load16(kPackForms[highLane].data()), 1);
}

CORVANE_TARGET_AVX2 __m256i Load(const Utf16Unit* src) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src));
}

CORVANE_TARGET_AVX2 bool IsAscii(const Utf16Unit* src) {
  return _mm256_testz_si256(Load(src), Units(0xFF80));
}

CORVANE_TARGET_AVX2 void Narrow(const Utf16Unit* src, std::uint8_t* out) {
  const __m256i u = Load(src);
  // packus narrows within each 128-bit lane; the permute joins the two lanes' eight bytes.
  const __m256i bytes = _mm256_permute4x64_epi64(_mm256_packus_epi16(u, u), 0x08);
  Store16(out, _mm256_castsi256_si128(bytes));
}

// Encodes the sixteen units at src into out, which has room for kMixedRoom bytes, and returns the
// number of bytes of their forms; kRefusedBlock, with nothing stored, for a surrogate when
// kRefuseSurrogates.
template <bool kRefuseSurrogates>
CORVANE_TARGET_AVX2 std::size_t EncodeMixed(const Utf16Unit* src, std::uint8_t* out) {
  const __m256i u = Load(src);
  const __m256i top = _mm256_and_si256(u, Units(0xF800));
  if constexpr (kRefuseSurrogates) {
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi16(top, Units(0xD800))) != 0) return kRefusedBlock;
  }
  const __m256i low6 = Units(0x3F);
  const __m256i last = _mm256_or_si256(_mm256_and_si256(u, low6), Units(0x80));
  const __m256i middle =
      _mm256_or_si256(_mm256_and_si256(_mm256_srli_epi16(u, 6), low6), Units(0x80));
  // The first two bytes of each form, first byte low, in 16-bit lanes.
  const __m256i head3 = _mm256_or_si256(_mm256_or_si256(_mm256_srli_epi16(u, 12), Units(0xE0)),
                                        _mm256_slli_epi16(middle, 8));
  // u < 0x800 wherever this is used, so u >> 6 fits the lead's five bits.
  const __m256i head2 = _mm256_or_si256(_mm256_or_si256(_mm256_srli_epi16(u, 6), Units(0xC0)),
                                        _mm256_slli_epi16(last, 8));
  const __m256i isAscii = Clear(u, 0xFF80);
  const __m256i belowThree = _mm256_cmpeq_epi16(top, _mm256_setzero_si256());
  const __m256i head = _mm256_blendv_epi8(_mm256_blendv_epi8(head3, head2, belowThree), u, isAscii);
  // Each 128-bit lane interleaves on its own: units 0-3 and 8-11 in the first, 4-7 and 12-15 in
  // the second.
  const __m256i first = _mm256_unpacklo_epi16(head, last);
  const __m256i second = _mm256_unpackhi_epi16(head, last);

  // Two bits per unit, as kPackForms wants them (each mask has both bits of its unit set).
  const std::uint32_t lengths =
      (static_cast<std::uint32_t>(_mm256_movemask_epi8(isAscii)) & 0x55555555u) |
      (static_cast<std::uint32_t>(_mm256_movemask_epi8(belowThree)) & 0xAAAAAAAAu);
  const __m256i packedFirst =
      _mm256_shuffle_epi8(first, PackPattern(lengths & 0xFF, (lengths >> 16) & 0xFF));
  const __m256i packedSecond =
      _mm256_shuffle_epi8(second, PackPattern((lengths >> 8) & 0xFF, lengths >> 24));
  const auto upTo4 = 12 - static_cast<std::size_t>(std::popcount(lengths & 0xFFu));
  const auto upTo8 = 24 - static_cast<std::size_t>(std::popcount(lengths & 0xFFFFu));
  const auto upTo12 = 36 - static_cast<std::size_t>(std::popcount(lengths & 0xFFFFFFu));
  const auto total = 48 - static_cast<std::size_t>(std::popcount(lengths));
  // The last lane's forms take four bytes or more, so its store spills at most twelve behind.
  const __m128i behind = Load16(out + total);
  Store16(out, _mm256_castsi256_si128(packedFirst));
  Store16(out + upTo4, _mm256_castsi256_si128(packedSecond));
  Store16(out + upTo8, _mm256_extracti128_si256(packedFirst, 1));
  Store16(out + upTo12, _mm256_extracti128_si256(packedSecond, 1));
  Store16(out + total, behind);
  return total;
}

}  // namespace

CORVANE_TARGET_AVX2 KernelProgress EncodeOrdinaryBlocksAvx2(const Utf16Unit* src,
                                                            std::size_t length, std::uint8_t* dst,
                                                            std::size_t capacity) {
  return EncodeBlocksWith<kBlock, kMixedRoom, IsAscii, Narrow, EncodeMixed<false>>(src, length, dst,
                                                                                   capacity);
}

CORVANE_TARGET_AVX2 KernelProgress EncodeStandardBlocksAvx2(const Utf16Unit* src,
                                                            std::size_t length, std::uint8_t* dst,
                                                            std::size_t capacity) {
  return EncodeBlocksWith<kBlock, kMixedRoom, IsAscii, Narrow, EncodeMixed<true>>(src, length, dst,
                                                                                  capacity);
}

}  // namespace corvane

#endif
