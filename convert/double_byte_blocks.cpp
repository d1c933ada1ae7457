// The portable block sorter, the kernels built on the build's baseline, and the choice among all
// of them: the one place that names every implementation.
#include "convert/double_byte_blocks.h"

#include "base/processor.h"
#include "convert/double_byte_block_kernels.h"

namespace corvane {

void SortBlockWords(const DbcsDecodeIndex& index, const std::uint8_t* src, BlockBytes& out) {
  BlockMask leads = 0;
  BlockMask high = 0;
  for (std::size_t i = 0; i < kBlockBytes; ++i) {
    const std::uint32_t b = src[i];
    const bool lead = IsLeadByteOf(index.leads, b);
    // A rank is below 256, so the position fits in 16 bits.
    out.position[i] =
        static_cast<std::uint16_t>(lead ? LeadRank(index.leads, b) << 8 | src[i + 1] : b);
    leads |= BlockMask{lead} << i;
    high |= BlockMask{b >> 7} << i;
  }
  out.leads = leads;
  out.high = high;
}

void SortJisBlockWords(const std::uint8_t* src, JisBlockBytes& out) {
  out = {};
  for (std::size_t i = 0; i < kBlockBytes; ++i) {
    const std::uint32_t b = src[i];
    const BlockMask bit = BlockMask{1} << i;
    out.escape |= b == 0x1B ? bit : 0;
    out.lineEnd |= b == 0x0A || b == 0x0D ? bit : 0;
    out.jis |= InRange(b, 0x21, 0x7E) ? bit : 0;
    out.high |= b >= 0x80 ? bit : 0;
    out.dollar |= b == '$' ? bit : 0;
    out.paren |= b == '(' ? bit : 0;
  }
}

void PlaceJisBlockWords(const std::uint8_t* src, BlockMask pairs, JisBlockBytes& out) {
  for (std::size_t i = 0; i < kBlockBytes; ++i) {
    // A pair's row 0x21-0x7E is EUC-JP's row byte 0xA1-0xFE, whose rank is the row - 0x20.
    const std::uint32_t b = src[i];
    out.position[i] =
        static_cast<std::uint16_t>((pairs >> i & 1) != 0 ? (b - 0x20) << 8 | src[i + 1] | 0x80 : b);
  }
}

BlockProgress DecodeBlocksWords(const DbcsDecodeIndex& index, PairRule rule,
                                const std::uint8_t* src, std::size_t length, Utf16Unit* dst,
                                std::size_t capacity) {
  return DecodeBlocksWith<SortBlockWords>(index, rule, src, length, dst, capacity);
}

BlockProgress DecodeJisBlocksWords(const DbcsDecodeIndex& jis0208, const std::uint8_t* src,
                                   std::size_t length, Utf16Unit* dst, std::size_t capacity,
                                   JisShiftState& mode) {
  return DecodeJisBlocksWith<SortJisBlockWords, PlaceJisBlockWords>(jis0208, src, length, dst,
                                                                    capacity, mode);
}

#if defined(CORVANE_DBCS_BLOCKS_SSE2)
BlockProgress DecodeJisBlocksSse2(const DbcsDecodeIndex& jis0208, const std::uint8_t* src,
                                  std::size_t length, Utf16Unit* dst, std::size_t capacity,
                                  JisShiftState& mode) {
  return DecodeJisBlocksWith<SortJisBlockSse2, PlaceJisBlockSse2>(jis0208, src, length, dst,
                                                                  capacity, mode);
}

BlockProgress DecodeBlocksSse2(const DbcsDecodeIndex& index, PairRule rule, const std::uint8_t* src,
                               std::size_t length, Utf16Unit* dst, std::size_t capacity) {
  return DecodeBlocksWith<SortBlockSse2>(index, rule, src, length, dst, capacity);
}
#endif

namespace {

// What this build compiled and this processor runs, fastest first; worked out once.
struct KernelList {
  DoubleByteBlockKernel kernels[3];
  std::size_t count = 0;
  KernelList() {
#if defined(CORVANE_DBCS_BLOCKS_AVX2)
    if (ProcessorHasAvx2()) kernels[count++] = {"avx2", DecodeBlocksAvx2, DecodeJisBlocksAvx2};
#endif
#if defined(CORVANE_DBCS_BLOCKS_SSE2)
    kernels[count++] = {"sse2", DecodeBlocksSse2, DecodeJisBlocksSse2};
#endif
    kernels[count++] = {"words", DecodeBlocksWords, DecodeJisBlocksWords};
  }
};

const KernelList& Kernels() {
  static const KernelList list;
  return list;
}

}  // namespace

std::span<const DoubleByteBlockKernel> AvailableDoubleByteBlockKernels() {
  const KernelList& list = Kernels();
  return {list.kernels, list.count};
}

BlockProgress DecodeDoubleByteBlocks(const DbcsDecodeIndex& index, PairRule rule,
                                     const std::uint8_t* src, std::size_t length, Utf16Unit* dst,
                                     std::size_t capacity) {
  if (!BlockFits(length, capacity)) return {0, 0};  // not one block: no kernel to ask for
  return Kernels().kernels[0].decode(index, rule, src, length, dst, capacity);
}

BlockProgress DecodeIso2022JpBlocks(const DbcsDecodeIndex& jis0208, const std::uint8_t* src,
                                    std::size_t length, Utf16Unit* dst, std::size_t capacity,
                                    JisShiftState& mode) {
  if (!BlockFits(length, capacity)) return {0, 0};
  return Kernels().kernels[0].decodeIso2022Jp(jis0208, src, length, dst, capacity, mode);
}

}  // namespace corvane
