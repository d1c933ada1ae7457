// Lookups over the range-compressed double-byte tables of 932, 936, 949, 950, 51932 and 2022.
//
// Table format (codepages/table_types.h): a range array of packed u16 triples (first, last,
// offset), sorted, each row a maximal run of keys that have a value, and a u16 value array in
// which the value of key k in row r is values[r.offset + k - r.first]. Forward tables are keyed
// by lead * 256 + trail and hold UTF-16 units; reverse tables are keyed by UTF-16 unit and hold
// codes, a code below 0x100 standing for one byte. No value is 0, so a miss is the only "no
// mapping", and a miss is not an error: it is how the single-byte part of each code page (ASCII
// and the like) travels through the same lookups. A forward miss passes the key through as the
// UTF-16 unit of the same number; a reverse miss writes the unit's low byte.
#pragma once

#include <cstdint>

#include "codepages/registry.h"

namespace corvane {

// Stores one decoded unit, or only counts it. The question mark stands in for 0, which no
// table value can be, so it marks the one key (0) that yields no character.
//   out      out  one UTF-16 unit, caller-owned; null = store nothing (count only)
//   unit     in   the unit to store
//   returns       1, the number of UTF-16 units produced
std::uint32_t StoreWideUnit(Utf16Unit* out, Utf16Unit unit);

// Decodes one key of a double-byte code page: a lead/trail pair as lead * 256 + trail, or a
// single byte as itself. Keys outside the forward table come out as the unit of the same number.
//   out      out  one UTF-16 unit, caller-owned; null = store nothing (count only)
//   key      in   the code to decode
//   record   in   a double-byte record whose forwardRangeCount is at least 1; not checked
//   returns       1, the number of UTF-16 units produced
std::uint32_t DbcsCodeToWide(Utf16Unit* out, std::uint16_t key, const CodePageRecord& record);

// Encodes one UTF-16 unit (a surrogate like any other) in a double-byte code page. Units outside
// the reverse table are written as their low byte.
//   out      out  bytes, caller-owned, at least 2 writable; never null
//   unit     in   the unit to encode
//   record   in   a double-byte record whose reverseRangeCount is at least 1; not checked
//   returns       1 or 2, the number of bytes written (lead byte first)
std::uint32_t WideToDbcsCode(std::uint8_t* out, Utf16Unit unit, const CodePageRecord& record);

}  // namespace corvane
