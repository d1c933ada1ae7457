// The single-byte code pages on our own tables, both directions: one decoder and one encoder for
// all 27 of them, driven only by what a record points at.
//
// Every function here:
//   record  in   a single-byte record (byteToWide, lowPage, highPage)
//   text    in   caller-owned, every element converted (a 0 too); a terminated text gets its
//                terminator converted after it when room is left
//   dst     out  caller-owned; elements past the returned count are not touched
//   returns      elements written, the terminator included when written
// Room is tested once per character, before it. text and dst must not overlap. Nothing is
// allocated.
#pragma once

#include <cstddef>
#include <span>

#include "codepages/registry.h"

namespace corvane {

// A byte without a character decodes to U+003F; a byte that stands for two or three units when
// fewer places are left is not converted, and the conversion ends there as if the destination
// were full (no terminator), so a caller never receives half of a character.
std::size_t DecodeSingleByte(const CodePageRecord& record, const ByteText& text,
                             std::span<Utf16Unit> dst);
std::size_t DecodeSingleByteScalar(const CodePageRecord& record, const ByteText& text,
                                   std::span<Utf16Unit> dst);

// A unit without a byte is dropped; U+0000 writes the byte 0x00.
std::size_t EncodeSingleByte(const CodePageRecord& record, const WideText& text,
                             std::span<std::uint8_t> dst);
std::size_t EncodeSingleByteScalar(const CodePageRecord& record, const WideText& text,
                                   std::span<std::uint8_t> dst);

// Writes the bytes of one UTF-16 unit with a record's tables; returns how many (0, 1 or 2).
// Single-byte (multiByte 0): a unit without a byte writes nothing (0); U+0000 writes the byte
// 0x00. Double-byte: WideToDbcsCode, a unit outside the reverse table writing its low byte.
// dst has room for 2 bytes.
std::uint32_t WideUnitToBytes(std::uint8_t* dst, Utf16Unit unit, std::uint32_t multiByte,
                              const CodePageRecord& record);

}  // namespace corvane
