// The double-byte code pages on our own tables (932, 936, 949, 950), both directions: one decoder
// and one encoder, driven by a road's record, its direct indexes and its lead bytes.
//
// Every function here:
//   road    in   a kDoubleByte road (or a Japanese road's Shift_JIS tables)
//   text    in   caller-owned, every element converted (a 0 too); a terminated text gets its
//                terminator converted after it when room is left
//   dst     out  caller-owned; elements past the returned count are not touched
//   returns      elements written, the terminator included when written
// Room is tested once per character, before it. text and dst must not overlap. Nothing is
// allocated.
#pragma once

#include <cstddef>
#include <span>

#include "convert/road.h"

namespace corvane {

// A lead byte takes the byte after it as its trail, whatever that is; a lead byte at the very end
// is dropped. A key the table lacks passes through as the unit of the same number; only the key
// 0 (a 0 byte) becomes U+003F.
std::size_t DecodeDoubleByte(const Road& road, ByteText text, std::span<Utf16Unit> dst);
std::size_t DecodeDoubleByteScalar(const Road& road, ByteText text, std::span<Utf16Unit> dst);

// A unit the table lacks is written as its low byte. A two-byte code that finds one byte of room
// is left out and ends the conversion like a full destination (no terminator), so a caller never
// receives half of a character.
std::size_t EncodeDoubleByte(const Road& road, WideText text, std::span<std::uint8_t> dst);
std::size_t EncodeDoubleByteScalar(const Road& road, WideText text, std::span<std::uint8_t> dst);

}  // namespace corvane
