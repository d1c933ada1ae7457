// The library's own decoding roads, driven only by what a code page record points at: one
// generic single-byte road and one generic double-byte road.
#pragma once

#include <cstdint>

#include "codepages/registry.h"

namespace corvane {

// Decodes text with the record's tables.
//   record    in   a registered code page; isMultiByte picks the road
//   codePage  in   the code page the lead-byte test is asked about (double-byte road)
//   text      in   bytes, caller-owned
//   textLen   in   byte count, every byte converted (a 0 byte too, as U+003F); -1 = ends at the
//                  first 0 byte
//   terminate in   append a 0 unit after the text when there is room (nul-terminated text)
//   dst       out  UTF-16 units; dstCap > 0
//   returns        units written, the 0 unit included when written
// Room is tested once per character, before its first byte. A lead byte at the very end is
// dropped. A single byte that stands for two units when only one place is left is not
// converted: the conversion ends there as if the destination were full (no terminator), so a
// caller never receives half of a character. Units of dst past the returned count are not
// touched. text and dst must not overlap.
std::int32_t DecodeWithTables(const CodePageRecord& record, std::uint32_t codePage,
                              const std::uint8_t* text, std::int32_t textLen, bool terminate,
                              Utf16Unit* dst, std::int32_t dstCap);

// The same conversion one character at a time, every double-byte key searched by bisection:
// the definition DecodeWithTables is measured and tested against.
std::int32_t DecodeWithTablesScalar(const CodePageRecord& record, std::uint32_t codePage,
                                    const std::uint8_t* text, std::int32_t textLen, bool terminate,
                                    Utf16Unit* dst, std::int32_t dstCap);

}  // namespace corvane
