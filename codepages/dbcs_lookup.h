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
//
// The tables that conversions read (932, 936, 949, 950) also have a direct index, generated from
// the same range tables (codepages/tables/double_byte_index.h): a key's high byte selects a block
// of 256 values through a 256-entry array, and a 0 value is a miss. The index is checked against
// the bisection for every key when it is generated and again by the tests, so the two give the
// same answer everywhere; the bisection (DbcsCodeToWide, WideToDbcsCode) stays as the definition.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codepages/registry.h"

namespace corvane {

// A direct index over one range table.
struct DbcsDirectIndex {
  const std::uint8_t* blockOf;  // 256 entries: high byte of a key -> block number
  const std::uint16_t* values;  // 256 per block, by low byte; block 0 is all zeros
};

// The two indexes of one code page; null where it has none.
struct DbcsIndexes {
  const DbcsDirectIndex* forward = nullptr;  // code -> UTF-16 unit
  const DbcsDirectIndex* reverse = nullptr;  // UTF-16 unit -> code
};

// The indexes generated for a code page's tables; both null for any code page without them.
DbcsIndexes FindDbcsIndexes(std::uint32_t codePage);

// The value of key in the indexed table, or 0 when the table does not hold it. Loops pass a
// copy of the index kept in locals, so that their stores cannot make the compiler reload it.
inline std::uint16_t LookUpDbcsIndex(DbcsDirectIndex index, std::uint16_t key) {
  // key >> 8 < 256, blockOf's length; every block number in blockOf is below the block count
  // and key & 0xFF < 256, so the position lies inside values.
  return index.values[std::size_t{index.blockOf[key >> 8]} * 256 + (key & 0xFFu)];
}

// Stores one decoded unit, or only counts it. The question mark stands in for 0, which no
// table value can be, so it marks the one key (0) that yields no character.
//   out      out  one UTF-16 unit, caller-owned; null = store nothing (count only)
//   unit     in   the unit to store
//   returns       1, the number of UTF-16 units produced
std::uint32_t StoreWideUnit(Utf16Unit* out, Utf16Unit unit);

// Decodes one key of a double-byte code page by bisection of its forward table: a lead/trail
// pair as lead * 256 + trail, or a single byte as itself. Keys outside the table come out as the
// unit of the same number.
//   out      out  one UTF-16 unit, caller-owned; null = store nothing (count only)
//   key      in   the code to decode
//   record   in   a double-byte record whose forwardRangeCount is at least 1; not checked
//   returns       1, the number of UTF-16 units produced
std::uint32_t DbcsCodeToWide(Utf16Unit* out, std::uint16_t key, const CodePageRecord& record);

// Encodes one UTF-16 unit (a surrogate like any other) in a double-byte code page by bisection
// of its reverse table. Units outside the table are written as their low byte.
//   out      out  bytes, caller-owned, at least 2 writable; never null
//   unit     in   the unit to encode
//   record   in   a double-byte record whose reverseRangeCount is at least 1; not checked
//   returns       1 or 2, the number of bytes written (lead byte first)
std::uint32_t WideToDbcsCode(std::uint8_t* out, Utf16Unit unit, const CodePageRecord& record);

// How WideToDbcsCode writes what a lookup found for unit (0 = a miss): a code above 0xFF as two
// bytes, lead byte first; any other code as its one byte; a miss as the unit's low byte.
// Returns the bytes written.
inline std::uint32_t WriteDbcsCode(std::uint8_t* out, Utf16Unit unit, std::uint16_t found) {
  if (found > 0xFF) {
    out[0] = static_cast<std::uint8_t>(found >> 8);
    out[1] = static_cast<std::uint8_t>(found & 0xFF);
    return 2;
  }
  out[0] = static_cast<std::uint8_t>((found != 0 ? found : unit) & 0xFF);
  return 1;
}

}  // namespace corvane
