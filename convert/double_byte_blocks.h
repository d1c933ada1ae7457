// Double-byte text decoded a block at a time, for 932, 936, 949, 950 and EUC-JP: the fast path
// of convert/double_byte.cpp and convert/japanese.cpp, above their per-character loops.
//
// Where a character starts is a chain (a byte is a trail when the one before it is a lead byte
// that is not itself a trail), and a loop that follows it byte by byte either waits on each
// lookup or branches on every change between single bytes and pairs, which mixed text makes
// every few characters. A block instead finds every start at once from the mask of its lead
// bytes: within a run of lead bytes, the first is a lead, the next its trail, and so on, and a
// run of odd length gives the byte after it as the last trail. With the starts known, the
// characters are independent: one lookup and one store each, and no branch on their kind.
//
// The kernel that sorts a block's bytes is chosen at compile time: SSE2 wherever the build
// targets it (the x86-64 baseline, and the 32-bit DLL, built with -msse2), plain C++ elsewhere.
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/text.h"
#include "codepages/dbcs_lookup.h"

#if defined(__SSE2__) || \
    (defined(_MSC_VER) && (defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)))
#define CORVANE_DBCS_BLOCKS_SSE2 1
#endif

namespace corvane {

// One bit per byte of a block: a machine word, so that the 32-bit DLL never does 64-bit
// arithmetic on its masks.
using BlockMask = std::uintptr_t;
inline constexpr std::size_t kBlockBytes = sizeof(BlockMask) * 8;

// What one block's bytes are, each taken as if a character started there.
struct BlockBytes {
  BlockMask leads;  // bit i: byte i is a lead byte of the index
  BlockMask high;   // bit i: byte i is 0x80 or above
  // The position in the index's units of the character that would start at byte i: its own
  // byte in block 0, or for a lead byte its rank's block at the trail, byte i + 1.
  std::uint16_t position[kBlockBytes];
};

// Sorts the kBlockBytes bytes at src, and reads the one after them as the last one's trail.
void SortBlockWords(const DbcsDecodeIndex& index, const std::uint8_t* src, BlockBytes& out);
#if defined(CORVANE_DBCS_BLOCKS_SSE2)
void SortBlockSse2(const DbcsDecodeIndex& index, const std::uint8_t* src, BlockBytes& out);
#endif

enum class PairRule : std::uint8_t {
  kAny,            // a lead byte takes whatever byte follows it (932, 936, 949, 950)
  kBothLeadBytes,  // EUC-JP: the trail must be a lead byte too, and a high byte must lead
};

struct BlockProgress {
  std::size_t read;     // bytes taken, whole characters only
  std::size_t written;  // units stored
};

// Decodes src[0, length) block by block into dst[0, capacity) while a whole block and the byte
// after it remain and a block's worth of room is left; stops early, on a character boundary,
// before the first character the rule does not take. Stores exactly one unit per character,
// what the index gives for it, and nothing past `written`. src must start on a character
// boundary.
BlockProgress DecodeDoubleByteBlocks(const DbcsDecodeIndex& index, PairRule rule,
                                     const std::uint8_t* src, std::size_t length, Utf16Unit* dst,
                                     std::size_t capacity);

}  // namespace corvane
