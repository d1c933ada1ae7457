// The block sorter with SSE2: sixteen bytes per step, each tested against both lead byte ranges
// and given the position of the character that would start there, with no branch at all.
#include "convert/double_byte_block_kernels.h"

#if defined(CORVANE_DBCS_BLOCKS_SSE2)

#include <emmintrin.h>

#include <cstring>

namespace corvane {
namespace {

__m128i Load16(const std::uint8_t* p) {
  __m128i v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

__m128i Bytes(std::uint32_t b) {
  return _mm_set1_epi8(static_cast<char>(b));
}

// 0xFF for the bytes of v in [low, low + span], by one wrapping subtraction and one unsigned
// saturating one: v - low is at most span exactly when nothing is left after taking span away.
__m128i InRange16(__m128i v, __m128i low, __m128i span) {
  return _mm_cmpeq_epi8(_mm_subs_epu8(_mm_sub_epi8(v, low), span), _mm_setzero_si128());
}

__m128i Select(__m128i mask, __m128i ifSet, __m128i ifClear) {
  return _mm_or_si128(_mm_and_si128(mask, ifSet), _mm_andnot_si128(mask, ifClear));
}

// Stores 16 positions, each rank * 256 + low: byte i of both vectors makes position i.
void StorePositions(std::uint16_t* out, __m128i low, __m128i rank) {
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(low, rank));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(low, rank));
}

BlockMask Bits(__m128i v, std::size_t at) {
  return static_cast<BlockMask>(static_cast<unsigned>(_mm_movemask_epi8(v))) << at;
}

}  // namespace

void SortBlockSse2(const DbcsDecodeIndex& index, const std::uint8_t* src, BlockBytes& out) {
  const LeadTests t = LeadTestsOf(index.leads);
  const __m128i low1 = Bytes(t.low1);
  const __m128i span1 = Bytes(t.span1);
  const __m128i offset1 = Bytes(t.offset1);
  const __m128i low2 = Bytes(t.low2);
  const __m128i span2 = Bytes(t.span2);
  const __m128i offset2 = Bytes(t.offset2);
  BlockMask leads = 0;
  BlockMask high = 0;
  for (std::size_t i = 0; i < kBlockBytes; i += 16) {
    const __m128i v = Load16(src + i);
    const __m128i next = Load16(src + i + 1);  // the caller has the byte after the block
    const __m128i inSecond = InRange16(v, low2, span2);
    const __m128i lead = _mm_or_si128(InRange16(v, low1, span1), inSecond);
    const __m128i rank = _mm_and_si128(lead, _mm_sub_epi8(v, Select(inSecond, offset2, offset1)));
    // Position: rank * 256 + trail for a lead byte, the byte itself (rank 0) for any other.
    StorePositions(out.position + i, Select(lead, next, v), rank);
    leads |= Bits(lead, i);
    high |= Bits(v, i);
  }
  out.leads = leads;
  out.high = high;
}

void SortJisBlockSse2(const std::uint8_t* src, JisBlockBytes& out) {
  out.escape = out.lineEnd = out.jis = out.high = out.dollar = out.paren = 0;
  for (std::size_t i = 0; i < kBlockBytes; i += 16) {
    const __m128i v = Load16(src + i);
    out.escape |= Bits(_mm_cmpeq_epi8(v, Bytes(0x1B)), i);
    out.lineEnd |=
        Bits(_mm_or_si128(_mm_cmpeq_epi8(v, Bytes(0x0A)), _mm_cmpeq_epi8(v, Bytes(0x0D))), i);
    out.jis |= Bits(InRange16(v, Bytes(0x21), Bytes(0x7E - 0x21)), i);
    out.high |= Bits(v, i);
    out.dollar |= Bits(_mm_cmpeq_epi8(v, Bytes('$')), i);
    out.paren |= Bits(_mm_cmpeq_epi8(v, Bytes('(')), i);
  }
}

void PlaceJisBlockSse2(const std::uint8_t* src, BlockMask pairs, JisBlockBytes& out) {
  // Each byte's bit of `pairs`, spread to the whole byte: the bits of two bytes of the mask
  // repeated over eight lanes each, one distinct bit picked per lane.
  const __m128i laneBit = _mm_set_epi8(-128, 64, 32, 16, 8, 4, 2, 1, -128, 64, 32, 16, 8, 4, 2, 1);
  for (std::size_t i = 0; i < kBlockBytes; i += 16) {
    const auto bits = static_cast<std::uint32_t>(pairs >> i);
    const __m128i spread = _mm_unpacklo_epi64(Bytes(bits & 0xFF), Bytes(bits >> 8 & 0xFF));
    const __m128i pair = _mm_cmpeq_epi8(_mm_and_si128(spread, laneBit), laneBit);
    const __m128i v = Load16(src + i);
    const __m128i next = Load16(src + i + 1);  // the caller has the byte after the block
    // A pair's row 0x21-0x7E is EUC-JP's row byte 0xA1-0xFE, whose rank is the row - 0x20.
    const __m128i rank = _mm_and_si128(pair, _mm_sub_epi8(v, Bytes(0x20)));
    StorePositions(out.position + i, Select(pair, _mm_or_si128(next, Bytes(0x80)), v), rank);
  }
}

}  // namespace corvane

#endif  // CORVANE_DBCS_BLOCKS_SSE2
