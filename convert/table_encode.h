// The library's own encoding roads, driven only by what a code page record points at: the two
// reverse pages of a single-byte code page, or the reverse table of a double-byte one.
#pragma once

#include <cstdint>

#include "codepages/registry.h"

namespace corvane {

// Encodes UTF-16 text with the record's tables.
//   record   in   a registered code page; isMultiByte picks the road
//   src      in   UTF-16 units, caller-owned, borrowed for this call
//   srcLen   in   unit count, every unit converted (U+0000 too); -1 = ends at the first 0 unit,
//                 and a 0 byte is appended when there is room
//   dst      out  bytes, caller-owned; dstCap of them writable
//   dstCap   in   capacity in bytes; 0 or less writes nothing and returns 0
//   returns       bytes written, the 0 byte included when written
// Room is tested once per unit, before it. A single-byte code page drops a unit it has no byte
// for; a double-byte code page writes the low byte of a unit outside its reverse table. A
// double-byte code that finds only one byte of room is left out and ends the conversion like a
// full destination (no terminator): a caller never receives half of a character. Bytes of dst
// past the returned count are not touched. src and dst must not overlap.
std::int32_t EncodeWithTables(const CodePageRecord& record, const Utf16Unit* src,
                              std::int32_t srcLen, std::uint8_t* dst, std::int32_t dstCap);

// The same conversion, one WideUnitToBytes call per unit: the definition EncodeWithTables is
// measured and tested against.
std::int32_t EncodeWithTablesScalar(const CodePageRecord& record, const Utf16Unit* src,
                                    std::int32_t srcLen, std::uint8_t* dst, std::int32_t dstCap);

// Writes the bytes of one UTF-16 unit with the record's tables; returns how many (0, 1 or 2).
// Single-byte: a unit without a byte writes nothing (0); U+0000 writes the byte 0x00.
// Double-byte: a unit outside the reverse table writes its low byte. dst has room for 2 bytes.
std::uint32_t WideUnitToBytes(std::uint8_t* dst, Utf16Unit unit, std::uint32_t multiByte,
                              const CodePageRecord& record);

}  // namespace corvane
