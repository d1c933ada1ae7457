// The kernels behind DecodeDoubleByteBlocks (convert/double_byte_blocks.h): one block loop, and
// the sorters that tell it what each byte of a block is. Index format: codepages/dbcs_lookup.h.
//
// A block is kBlockBytes bytes that start on a character boundary, plus the byte after them as
// the trail of a last lead byte. The sorter gives every byte's class and the position in the
// index's units of the character that would start there; the loop works out which bytes do
// start one (TrailsOf) and stores their units in order.
//
// The SSE2 sorter is compiled wherever the build targets SSE2: GCC and Clang say so with
// __SSE2__; MSVC defines no __SSE2__ but _M_X64, or _M_IX86_FP 2 under /arch:SSE2 (asked of MSVC
// only: MinGW's <windows.h> defines _M_X64 as well). The AVX2 kernel is compiled by GCC and
// Clang for any x86 target, with the instructions enabled for its functions alone, and runs
// only where the processor reports AVX2 and BMI1.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#include "convert/double_byte_blocks.h"

#if defined(__SSE2__) || \
    (defined(_MSC_VER) && (defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)))
#define CORVANE_DBCS_BLOCKS_SSE2 1
#endif
#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define CORVANE_DBCS_BLOCKS_AVX2 1
#endif

namespace corvane {

// What a block's bytes are, each taken as if a character started there.
struct BlockBytes {
  BlockMask leads;  // bit i: byte i is a lead byte of the index
  BlockMask high;   // bit i: byte i is 0x80 or above
  // The position in the index's units of the character that would start at byte i: its own
  // byte in block 0, or for a lead byte its rank's block at the trail, byte i + 1.
  std::uint16_t position[kBlockBytes];
};

// The lead byte test and rank of the vector sorters, as bytes to compare with: b is a lead byte
// when b - low <= span (wrapping) for either range, and its rank is b - offset of its range. A
// missing second range repeats the first, ranks and all.
struct LeadTests {
  std::uint8_t low1, span1, offset1, low2, span2, offset2;
};
constexpr LeadTests LeadTestsOf(const DbcsLeadRanges& r) {
  const auto byte = [](std::uint32_t v) { return static_cast<std::uint8_t>(v); };
  LeadTests t{r.firstLow, byte(r.firstHigh - r.firstLow), byte(r.firstLow - 1u), 0, 0, 0};
  if (r.secondLow > r.secondHigh) {
    t.low2 = t.low1, t.span2 = t.span1, t.offset2 = t.offset1;
  } else {
    // The second range's first byte ranks after the first range's last.
    const std::uint32_t firstCount = std::uint32_t{r.firstHigh} - r.firstLow + 1;
    t.low2 = r.secondLow, t.span2 = byte(r.secondHigh - r.secondLow);
    t.offset2 = byte(r.secondLow - firstCount - 1u);
  }
  return t;
}

// Each sorts the kBlockBytes bytes at src, reading the one after them as the last one's trail.
void SortBlockWords(const DbcsDecodeIndex& index, const std::uint8_t* src, BlockBytes& out);
#if defined(CORVANE_DBCS_BLOCKS_SSE2)
void SortBlockSse2(const DbcsDecodeIndex& index, const std::uint8_t* src, BlockBytes& out);
#endif

// ISO-2022-JP's blocks take two passes: the first sorts the bytes, the second, once the modes
// are known, gives each byte the position of the character that starts there (as a pair in
// two-byte mode, `pairs`, else as itself).
struct JisBlockBytes {
  BlockMask escape;                     // 0x1B
  BlockMask lineEnd;                    // 0x0A, 0x0D
  BlockMask jis;                        // 0x21-0x7E
  BlockMask high;                       // 0x80 and above
  BlockMask dollar;                     // '$'
  BlockMask paren;                      // '('
  std::uint16_t position[kBlockBytes];  // in EUC-JP's index
};
void SortJisBlockWords(const std::uint8_t* src, JisBlockBytes& out);
void PlaceJisBlockWords(const std::uint8_t* src, BlockMask pairs, JisBlockBytes& out);
#if defined(CORVANE_DBCS_BLOCKS_SSE2)
void SortJisBlockSse2(const std::uint8_t* src, JisBlockBytes& out);
void PlaceJisBlockSse2(const std::uint8_t* src, BlockMask pairs, JisBlockBytes& out);
#endif

BlockProgress DecodeBlocksWords(const DbcsDecodeIndex& index, PairRule rule,
                                const std::uint8_t* src, std::size_t length, Utf16Unit* dst,
                                std::size_t capacity);
BlockProgress DecodeJisBlocksWords(const DbcsDecodeIndex& jis0208, const std::uint8_t* src,
                                   std::size_t length, Utf16Unit* dst, std::size_t capacity,
                                   JisShiftState& mode);
#if defined(CORVANE_DBCS_BLOCKS_SSE2)
BlockProgress DecodeJisBlocksSse2(const DbcsDecodeIndex& jis0208, const std::uint8_t* src,
                                  std::size_t length, Utf16Unit* dst, std::size_t capacity,
                                  JisShiftState& mode);
BlockProgress DecodeBlocksSse2(const DbcsDecodeIndex& index, PairRule rule, const std::uint8_t* src,
                               std::size_t length, Utf16Unit* dst, std::size_t capacity);
#endif
#if defined(CORVANE_DBCS_BLOCKS_AVX2)
BlockProgress DecodeBlocksAvx2(const DbcsDecodeIndex& index, PairRule rule, const std::uint8_t* src,
                               std::size_t length, Utf16Unit* dst, std::size_t capacity);
BlockProgress DecodeJisBlocksAvx2(const DbcsDecodeIndex& jis0208, const std::uint8_t* src,
                                  std::size_t length, Utf16Unit* dst, std::size_t capacity,
                                  JisShiftState& mode);
#endif

inline constexpr BlockMask kEvenBits = static_cast<BlockMask>(0x5555555555555555ull);
inline constexpr BlockMask kOddBits = ~kEvenBits;

// The trail bytes of a block, given its lead bytes. Within each run of lead bytes that starts at
// s, the bytes at an odd distance from s are trails, up to and including the byte just past the
// run. Adding the run's first bit to the mask carries through the run and stops just past it, so
// (leads + first) ^ leads marks exactly s up to that byte; runs that start on even and on odd
// bytes are marked apart, so that one parity mask picks each one's trails. A carry out of the
// top bit is a trail in the next block, which the loop reads from the last start instead.
inline BlockMask TrailsOf(BlockMask leads) {
  const BlockMask runStarts = leads & ~(leads << 1);
  const BlockMask fromEven = (leads + (runStarts & kEvenBits)) ^ leads;
  const BlockMask fromOdd = (leads + (runStarts & kOddBits)) ^ leads;
  return (fromEven & kOddBits) | (fromOdd & kEvenBits);
}

// The block loop, with the sorter a kernel gives it; each kernel compiles its own copy, so that
// the AVX2 one's takes BMI1's bit instructions for the loop over the starts.
template <void (*Sort)(const DbcsDecodeIndex&, const std::uint8_t*, BlockBytes&)>
[[gnu::always_inline]] inline BlockProgress DecodeBlocksWith(const DbcsDecodeIndex& index,
                                                             PairRule rule, const std::uint8_t* src,
                                                             std::size_t length, Utf16Unit* dst,
                                                             std::size_t capacity) {
  // Copied into locals: stores through dst would otherwise make the compiler reload them.
  const std::uint16_t* const units = index.units;
  BlockBytes block;
  std::size_t read = 0;
  std::size_t written = 0;
  // A block has at most kBlockBytes characters, and its last lead byte may take the byte after it.
  while (BlockFits(length - read, capacity - written)) {
    const std::uint8_t* const at = src + read;
    Sort(index, at, block);
    if (block.high == 0) {
      // No lead byte is below 0x80: all single bytes, each its own unit (0 aside), as block 0
      // holds. Whole blocks of ASCII are common enough in real text to pay for the test.
      for (std::size_t i = 0; i < kBlockBytes; ++i) {
        const Utf16Unit b = block.position[i];
        dst[written + i] = b != 0 ? b : units[0];
      }
      written += kBlockBytes;
      read += kBlockBytes;
      continue;
    }
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
      // position[] holds a byte (block 0) or a lead's rank * 256 + trail: inside units.
      dst[written++] = units[block.position[static_cast<unsigned>(std::countr_zero(starts))]];
    }
    read += taken;
    if (stop) break;
  }
  return {read, written};
}

// What one ISO-2022-JP block holds, worked out from its sorted bytes.
struct JisBlockPlan {
  BlockMask pairs;    // bytes of pairs, in two-byte mode
  BlockMask starts;   // bytes that start a character, before `taken`
  std::size_t taken;  // bytes taken: up to the first refused one, or the block and a last trail
  bool stop;          // a byte was refused at `taken`
  bool twoByteAfter;  // the mode at `taken`
};

// The modes follow from where each escape sequence and line end sets them: a byte is in two-byte
// mode when the last setter before it is ESC $ x. Adding the bit after each such setter to the
// mask of everything that is not the bit after a single-byte setter carries from there up to
// the next single-byte setter, as TrailsOf's runs do; an xor marks what the carry crossed.
// Within each run of two-byte mode, pairs then start on the run's first byte, as lead bytes do.
inline JisBlockPlan PlanJisBlock(const JisBlockBytes& m, bool twoByteIn, std::uint8_t after) {
  constexpr BlockMask kAll = ~BlockMask{0};
  // Well-formed sequences only, and none that a block cuts off: ESC $ x or ESC ( x at p, so
  // that p + 2 is still inside the block.
  const BlockMask escape = m.escape & ((m.dollar | m.paren) >> 1) & (m.jis >> 2) & (kAll >> 2);
  const BlockMask sequence = escape | escape << 1 | escape << 2;
  const BlockMask toTwo = (escape & m.dollar >> 1) << 2;  // the sequence's last byte
  const BlockMask toOne = (escape & m.paren >> 1) << 2 | m.lineEnd;
  const BlockMask twoFrom = toTwo << 1 | BlockMask{twoByteIn};
  const BlockMask notOneFrom = ~(toOne << 1);
  const BlockMask twoByte = (((notOneFrom + twoFrom) ^ notOneFrom) | twoFrom) & notOneFrom;
  const BlockMask data = ~sequence & ~m.lineEnd;
  // A byte outside 0x21-0x7E ends a run of pairs, and is refused itself.
  const BlockMask pairs = twoByte & data & m.jis;
  const BlockMask trails = TrailsOf(pairs);
  const BlockMask leads = pairs & ~trails;
  // A pair whose second byte is no pair byte (a run of odd length) is refused at its first.
  const BlockMask cutPairs =
      (trails & ~pairs) >> 1 |
      (InRange(after, 0x21, 0x7E) ? 0 : leads & BlockMask{1} << (kBlockBytes - 1));
  const BlockMask refused =
      (m.escape & ~escape) | (twoByte & data & ~m.jis) | (~twoByte & data & m.high) | cutPairs;
  JisBlockPlan plan;
  plan.pairs = pairs;
  plan.starts = (~twoByte & data) | m.lineEnd | leads;
  if (refused != 0) {
    plan.starts &= (refused & (0 - refused)) - 1;
    plan.taken = static_cast<std::size_t>(std::countr_zero(refused));
    plan.stop = true;
    plan.twoByteAfter = ((twoByte >> plan.taken) & 1) != 0;
  } else {
    plan.taken = kBlockBytes + static_cast<std::size_t>(leads >> (kBlockBytes - 1));
    plan.stop = false;
    // A setter on the last byte decides; else the mode of the last byte goes on.
    const BlockMask top = BlockMask{1} << (kBlockBytes - 1);
    plan.twoByteAfter = (toTwo & top) != 0 || ((toOne & top) == 0 && (twoByte & top) != 0);
  }
  return plan;
}

template <void (*Sort)(const std::uint8_t*, JisBlockBytes&),
          void (*Place)(const std::uint8_t*, BlockMask, JisBlockBytes&)>
[[gnu::always_inline]] inline BlockProgress DecodeJisBlocksWith(const DbcsDecodeIndex& jis0208,
                                                                const std::uint8_t* src,
                                                                std::size_t length, Utf16Unit* dst,
                                                                std::size_t capacity,
                                                                JisShiftState& mode) {
  const std::uint16_t* const units = jis0208.units;
  JisBlockBytes block;
  bool twoByte = mode == kJisTwoByte;
  std::size_t read = 0;
  std::size_t written = 0;
  while (BlockFits(length - read, capacity - written)) {
    const std::uint8_t* const at = src + read;
    Sort(at, block);
    const JisBlockPlan plan = PlanJisBlock(block, twoByte, at[kBlockBytes]);
    Place(at, plan.pairs, block);
    for (BlockMask starts = plan.starts; starts != 0; starts &= starts - 1) {
      // position[] holds a byte below 0x80 (block 0) or a row's rank * 256 + a cell | 0x80.
      dst[written++] = units[block.position[static_cast<unsigned>(std::countr_zero(starts))]];
    }
    read += plan.taken;
    twoByte = plan.twoByteAfter;
    if (plan.stop) break;
  }
  mode = twoByte ? kJisTwoByte : kJisSingleByte;
  return {read, written};
}

}  // namespace corvane
