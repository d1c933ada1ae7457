// Shapes of the constant conversion tables that the code page registry points at.
//
// Single-byte code pages carry three directly indexed tables:
//   ByteToWideTable  256 entries x 3 UTF-16 units, byte order; unit 1 == 0 means "no character",
//                    units 2 and 3 continue a multi-character entry and 0 ends it.
//   WideToBytePage   2048 bytes; page 0 covers U+0000-U+07FF, page 1 covers U+2000-U+27FF;
//                    0 means "no byte" (except U+0000, whose byte is 0x00).
//
// Double-byte code pages carry range-compressed tables searched by bisection. A range array is a
// run of little-endian u16 triples (first, last, offset) packed with no gap; it is stored as a
// plain u16 array so that the two reverse arrays carrying a leading size word (51932, 2022) need
// no type punning. A value array is u16; no value is 0, so a miss is the only "no mapping".
#pragma once

#include <cstddef>
#include <cstdint>

#include "base/text.h"

namespace corvane {

inline constexpr std::size_t kByteToWideEntries = 256;
inline constexpr std::size_t kUnitsPerByteEntry = 3;
inline constexpr std::size_t kWideToBytePageSize = 2048;

using ByteToWideTable = Utf16Unit[kByteToWideEntries * kUnitsPerByteEntry];
using WideToBytePage = std::uint8_t[kWideToBytePageSize];

// One row of a range array, unpacked from its three stored u16 words.
struct DbcsRange {
  std::uint16_t first;   // first key of the run
  std::uint16_t last;    // last key of the run, inclusive
  std::uint16_t offset;  // index in the value array of the value belonging to `first`
};

inline constexpr std::size_t kWordsPerDbcsRange = 3;

}  // namespace corvane
