// Block decoding of double-byte text: the starts of a block's characters from its lead bytes, and
// one lookup per start. Index format: codepages/dbcs_lookup.h.
#include "convert/double_byte_blocks.h"

#include <bit>

namespace corvane {
namespace {

constexpr BlockMask kEvenBits = static_cast<BlockMask>(0x5555555555555555ull);
constexpr BlockMask kOddBits = ~kEvenBits;

// The trail bytes of a block that starts on a character boundary, given its lead bytes. Within
// each run of lead bytes that starts at s, the bytes at an odd distance from s are trails, up to
// and including the byte just past the run. Adding the run's first bit to the mask carries
// through the run and stops just past it, so (leads + first) ^ leads marks exactly s up to that
// byte; runs that start on even and on odd bytes are marked apart, so that one parity mask picks
// each one's trails. A carry out of the top bit is a trail in the next block, which the caller
// reads from the last start instead.
BlockMask TrailsOf(BlockMask leads) {
  const BlockMask runStarts = leads & ~(leads << 1);
  const BlockMask fromEven = (leads + (runStarts & kEvenBits)) ^ leads;
  const BlockMask fromOdd = (leads + (runStarts & kOddBits)) ^ leads;
  return (fromEven & kOddBits) | (fromOdd & kEvenBits);
}

void SortBlock(const DbcsDecodeIndex& index, const std::uint8_t* src, BlockBytes& out) {
#if defined(CORVANE_DBCS_BLOCKS_SSE2)
  SortBlockSse2(index, src, out);
#else
  SortBlockWords(index, src, out);
#endif
}

}  // namespace

void SortBlockWords(const DbcsDecodeIndex& index, const std::uint8_t* src, BlockBytes& out) {
  BlockMask leads = 0;
  BlockMask high = 0;
  for (std::size_t i = 0; i < kBlockBytes; ++i) {
    const std::uint32_t b = src[i];
    const bool lead = IsLeadByteOf(index.leads, b);
    // A rank is below 256, so the position is below 256 * 256.
    out.position[i] =
        static_cast<std::uint16_t>(lead ? LeadRank(index.leads, b) << 8 | src[i + 1] : b);
    leads |= BlockMask{lead} << i;
    high |= BlockMask{b >> 7} << i;
  }
  out.leads = leads;
  out.high = high;
}

BlockProgress DecodeDoubleByteBlocks(const DbcsDecodeIndex& index, PairRule rule,
                                     const std::uint8_t* src, std::size_t length, Utf16Unit* dst,
                                     std::size_t capacity) {
  // Copied into locals: stores through dst would otherwise make the compiler reload them.
  const std::uint16_t* const units = index.units;
  BlockBytes block;
  std::size_t read = 0;
  std::size_t written = 0;
  // A block has at most kBlockBytes characters, and its last lead byte may take the byte after it.
  while (length - read > kBlockBytes && capacity - written >= kBlockBytes) {
    const std::uint8_t* const at = src + read;
    SortBlock(index, at, block);
    BlockMask starts = ~TrailsOf(block.leads);
    const BlockMask leadStarts = block.leads & starts;
    // The last byte's trail, when it leads, is the next block's first byte.
    std::size_t taken = kBlockBytes + static_cast<std::size_t>(leadStarts >> (kBlockBytes - 1));
    bool stop = false;
    if (rule == PairRule::kBothLeadBytes) {
      const BlockMask nextIsLead =
          (block.leads >> 1) | BlockMask{IsLeadByteOf(index.leads, at[kBlockBytes])}
                                   << (kBlockBytes - 1);
      const BlockMask refused = (starts & block.high & ~block.leads) | (leadStarts & ~nextIsLead);
      if (refused != 0) {
        // Only the characters before the first refused one: its start is a boundary.
        starts &= (refused & (0 - refused)) - 1;
        taken = static_cast<std::size_t>(std::countr_zero(refused));
        stop = true;
      }
    }
    for (; starts != 0; starts &= starts - 1) {
      // position[] holds a rank's block at a trail, or a byte in block 0: inside units.
      dst[written++] = units[block.position[std::countr_zero(starts)]];
    }
    read += taken;
    if (stop) break;
  }
  return {read, written};
}

}  // namespace corvane
