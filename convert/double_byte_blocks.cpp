// The portable block sorter, the kernels built on the build's baseline, and the choice among all
// of them: the one place that names every implementation.
#include "convert/double_byte_blocks.h"

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

BlockProgress DecodeBlocksWords(const DbcsDecodeIndex& index, PairRule rule,
                                const std::uint8_t* src, std::size_t length, Utf16Unit* dst,
                                std::size_t capacity) {
  return DecodeBlocksWith<SortBlockWords>(index, rule, src, length, dst, capacity);
}

#if defined(CORVANE_DBCS_BLOCKS_SSE2)
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
    if (ProcessorHasAvx2()) kernels[count++] = {"avx2", DecodeBlocksAvx2};
#endif
#if defined(CORVANE_DBCS_BLOCKS_SSE2)
    kernels[count++] = {"sse2", DecodeBlocksSse2};
#endif
    kernels[count++] = {"words", DecodeBlocksWords};
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
  if (length <= kBlockBytes) return {0, 0};  // not one block: no kernel to ask for
  return Kernels().kernels[0].decode(index, rule, src, length, dst, capacity);
}

}  // namespace corvane
