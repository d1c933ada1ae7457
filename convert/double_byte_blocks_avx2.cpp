// The block kernels with AVX2 and BMI1: the sorters take thirty-two bytes per step, and the loop
// over a block's starts finds and clears each with one instruction (TZCNT, BLSR) where the
// baseline needs a test and two. Compiled for any x86 target with the instructions enabled for
// these functions alone; DecodeDoubleByteBlocks calls it only where ProcessorHasAvx2().
#include "convert/double_byte_block_kernels.h"

#if defined(CORVANE_DBCS_BLOCKS_AVX2)

#include <immintrin.h>

namespace corvane {
namespace {

#define CORVANE_AVX2 __attribute__((target("avx2,bmi")))

CORVANE_AVX2 __m256i Bytes(std::uint32_t b) {
  return _mm256_set1_epi8(static_cast<char>(b));
}

// 0xFF for the bytes of v in [low, low + span]: v - low is at most span exactly when nothing is
// left after taking span away, unsigned and saturating.
CORVANE_AVX2 __m256i InRange32(__m256i v, __m256i low, __m256i span) {
  return _mm256_cmpeq_epi8(_mm256_subs_epu8(_mm256_sub_epi8(v, low), span), _mm256_setzero_si256());
}

CORVANE_AVX2 BlockMask Bits(__m256i v, std::size_t at) {
  return static_cast<BlockMask>(static_cast<std::uint32_t>(_mm256_movemask_epi8(v))) << at;
}

// Stores 32 positions, each rank * 256 + low: byte i of both vectors makes position i.
CORVANE_AVX2 void StorePositions(std::uint16_t* out, __m256i low, __m256i rank) {
  // Unpacking interleaves within each 128-bit half, so the quarters are put in the order
  // 0, 2, 1, 3 first: the low halves then hold bytes 0-15 and the high halves 16-31.
  const __m256i lowOrdered = _mm256_permute4x64_epi64(low, 0xD8);
  const __m256i rankOrdered = _mm256_permute4x64_epi64(rank, 0xD8);
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                      _mm256_unpacklo_epi8(lowOrdered, rankOrdered));
  _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 16),
                      _mm256_unpackhi_epi8(lowOrdered, rankOrdered));
}

// As SortBlockSse2, thirty-two bytes at a time.
CORVANE_AVX2 void SortBlockAvx2(const DbcsDecodeIndex& index, const std::uint8_t* src,
                                BlockBytes& out) {
  const LeadTests t = LeadTestsOf(index.leads);
  const __m256i low1 = Bytes(t.low1);
  const __m256i span1 = Bytes(t.span1);
  const __m256i offset1 = Bytes(t.offset1);
  const __m256i low2 = Bytes(t.low2);
  const __m256i span2 = Bytes(t.span2);
  const __m256i offset2 = Bytes(t.offset2);
  BlockMask leads = 0;
  BlockMask high = 0;
  for (std::size_t i = 0; i < kBlockBytes; i += 32) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i + 1));
    const __m256i inSecond = InRange32(v, low2, span2);
    const __m256i lead = _mm256_or_si256(InRange32(v, low1, span1), inSecond);
    const __m256i rank =
        _mm256_and_si256(lead, _mm256_sub_epi8(v, _mm256_blendv_epi8(offset1, offset2, inSecond)));
    StorePositions(out.position + i, _mm256_blendv_epi8(v, next, lead), rank);
    leads |= Bits(lead, i);
    high |= Bits(v, i);
  }
  out.leads = leads;
  out.high = high;
}

CORVANE_AVX2 void SortJisBlockAvx2(const std::uint8_t* src, JisBlockBytes& out) {
  out.escape = out.lineEnd = out.jis = out.high = out.dollar = out.paren = 0;
  for (std::size_t i = 0; i < kBlockBytes; i += 32) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    out.escape |= Bits(_mm256_cmpeq_epi8(v, Bytes(0x1B)), i);
    out.lineEnd |= Bits(
        _mm256_or_si256(_mm256_cmpeq_epi8(v, Bytes(0x0A)), _mm256_cmpeq_epi8(v, Bytes(0x0D))), i);
    out.jis |= Bits(InRange32(v, Bytes(0x21), Bytes(0x7E - 0x21)), i);
    out.high |= Bits(v, i);
    out.dollar |= Bits(_mm256_cmpeq_epi8(v, Bytes('$')), i);
    out.paren |= Bits(_mm256_cmpeq_epi8(v, Bytes('(')), i);
  }
}

CORVANE_AVX2 void PlaceJisBlockAvx2(const std::uint8_t* src, BlockMask pairs, JisBlockBytes& out) {
  // Each byte's bit of `pairs`, spread to the whole byte: byte j of the 32 takes byte j / 8 of
  // the mask, and keeps its own bit of it.
  const __m256i whichByte = _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 2, 2,
                                             2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3);
  const __m256i laneBit = _mm256_set1_epi64x(static_cast<long long>(0x8040201008040201ull));
  for (std::size_t i = 0; i < kBlockBytes; i += 32) {
    const __m256i bits =
        _mm256_set1_epi32(static_cast<int>(static_cast<std::uint32_t>(pairs >> i)));
    // vpshufb picks within each 128-bit half, and both halves hold all four mask bytes.
    const __m256i spread = _mm256_shuffle_epi8(bits, whichByte);
    const __m256i pair = _mm256_cmpeq_epi8(_mm256_and_si256(spread, laneBit), laneBit);
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const __m256i next = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i + 1));
    const __m256i rank = _mm256_and_si256(pair, _mm256_sub_epi8(v, Bytes(0x20)));
    StorePositions(out.position + i,
                   _mm256_blendv_epi8(v, _mm256_or_si256(next, Bytes(0x80)), pair), rank);
  }
}

}  // namespace

CORVANE_AVX2 BlockProgress DecodeBlocksAvx2(const DbcsDecodeIndex& index, PairRule rule,
                                            const std::uint8_t* src, std::size_t length,
                                            Utf16Unit* dst, std::size_t capacity) {
  return DecodeBlocksWith<SortBlockAvx2>(index, rule, src, length, dst, capacity);
}

CORVANE_AVX2 BlockProgress DecodeJisBlocksAvx2(const DbcsDecodeIndex& jis0208,
                                               const std::uint8_t* src, std::size_t length,
                                               Utf16Unit* dst, std::size_t capacity,
                                               JisShiftState& mode) {
  return DecodeJisBlocksWith<SortJisBlockAvx2, PlaceJisBlockAvx2>(jis0208, src, length, dst,
                                                                  capacity, mode);
}

}  // namespace corvane

#endif  // CORVANE_DBCS_BLOCKS_AVX2
