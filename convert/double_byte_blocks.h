// Double-byte text decoded a block at a time, for 932, 936, 949, 950 and EUC-JP: the fast path
// of convert/double_byte.cpp and convert/japanese.cpp, above their per-character loops.
//
// Where a character starts is a chain (a byte is a trail when the one before it is a lead byte
// that is not itself a trail), and a loop that follows it byte by byte either waits on each
// lookup or branches on every change between single bytes and pairs, which mixed text makes
// every few characters. A block instead finds every start at once from the mask of its lead
// bytes, and with the starts known the characters are independent: one lookup and one store
// each, and no branch on their kind.
//
// Several kernels do this, all with the one contract below and all storing the same units
// (convert/double_byte_block_kernels.h): in portable C++; with SSE2 wherever the build targets
// it (the x86-64 baseline, and the 32-bit DLL, built with -msse2); and with AVX2 and BMI1 where
// the processor has them, which is asked once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "base/text.h"
#include "codepages/dbcs_lookup.h"
#include "japanese/byte_classes.h"

namespace corvane {

// One bit per byte of a block: a machine word, so that the 32-bit DLL does no 64-bit arithmetic
// on its masks.
using BlockMask = std::uintptr_t;
inline constexpr std::size_t kBlockBytes = sizeof(BlockMask) * 8;

// Whether a block can be decoded: one whole, with the byte after it, and room for its units.
constexpr bool BlockFits(std::size_t length, std::size_t capacity) {
  return length > kBlockBytes && capacity >= kBlockBytes;
}

enum class PairRule : std::uint8_t {
  kAny,            // a lead byte takes whatever byte follows it (932, 936, 949, 950)
  kBothLeadBytes,  // EUC-JP: the trail must be a lead byte too, and a high byte must lead
};

struct BlockProgress {
  std::size_t read;     // bytes taken, whole characters only
  std::size_t written;  // units stored
};

// Decodes src[0, length) a block at a time into dst[0, capacity) while a whole block, the byte
// after it and a block's worth of room remain; stops early, on a character boundary, before the
// first character the rule does not take. Stores one unit per character, what the index gives
// for it, and nothing past `written`. src must start on a character boundary.
BlockProgress DecodeDoubleByteBlocks(const DbcsDecodeIndex& index, PairRule rule,
                                     const std::uint8_t* src, std::size_t length, Utf16Unit* dst,
                                     std::size_t capacity);

// ISO-2022-JP the same way, through an EUC-JP index (jis0208), with the shift mode followed through
// each block: ASCII and line ends in single-byte mode, JIS X 0208 pairs (0x21-0x7E, both bytes) in
// two-byte mode, and between them ESC $ x and ESC ( x with x in 0x21-0x7E. Stops before anything
// else (another escape sequence, one that a block cuts off, a byte above 0x7F, a byte outside
// 0x21-0x7E in two-byte mode, a pair that a change of mode cuts in half), leaving it to the
// caller's per-character loop.
//   mode  in/out  the mode at src; on return, the mode where the blocks stopped
BlockProgress DecodeIso2022JpBlocks(const DbcsDecodeIndex& jis0208, const std::uint8_t* src,
                                    std::size_t length, Utf16Unit* dst, std::size_t capacity,
                                    JisShiftState& mode);

// One implementation of both.
struct DoubleByteBlockKernel {
  const char* name;  // "avx2", "sse2", "words": names the implementation in tests
  BlockProgress (*decode)(const DbcsDecodeIndex& index, PairRule rule, const std::uint8_t* src,
                          std::size_t length, Utf16Unit* dst, std::size_t capacity);
  BlockProgress (*decodeIso2022Jp)(const DbcsDecodeIndex& jis0208, const std::uint8_t* src,
                                   std::size_t length, Utf16Unit* dst, std::size_t capacity,
                                   JisShiftState& mode);
};

// Every implementation this build has and this processor runs, the fastest first; the first is
// the one DecodeDoubleByteBlocks takes.
std::span<const DoubleByteBlockKernel> AvailableDoubleByteBlockKernels();

}  // namespace corvane
