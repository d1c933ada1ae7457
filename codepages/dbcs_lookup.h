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
// The conversions read direct indexes instead (codepages/tables/double_byte_index.h, written by
// tools/gen_double_byte_index.py from the same range tables and checked against the bisection
// for every key and unit when generated and again by the tests); the bisection (DbcsCodeToWide,
// WideToDbcsCode) stays as the definition. An index has no misses: the miss rules are written
// into it, so a lookup gives what to store.
//   decoding  a flat table of 256-unit blocks: block 0 holds what each byte that is no lead byte
//             decodes to; the lead byte of rank r (its place among the code page's lead bytes,
//             counted from 1 through at most two ranges) has block r, by trail byte
//   encoding  one value per unit: the bytes to write in the order written, one byte as itself,
//             two as lead | trail << 8 (no trail byte is 0, so above 0xFF)
// Besides 932, 936, 949 and 950, EUC-JP has a decoding index through 932: its row byte ranks as
// a lead byte, its cell byte is the trail, and a pair gives what the pair transcoded to Shift_JIS
// decodes to as 932 (trails outside 0xA1-0xFE hold 0; only well-formed pairs are looked up).
#pragma once

#include <cstddef>
#include <cstdint>

#include "codepages/registry.h"

namespace corvane {

// The lead bytes of a decoding index, as two ranges (the second may be empty: low > high), and
// the rank of each: b - firstLow + 1 in the first range, then on through the second.
struct DbcsLeadRanges {
  std::uint8_t firstLow, firstHigh, secondLow, secondHigh;
};

struct DbcsDecodeIndex {
  const std::uint16_t* units;  // (rank + 1) * 256 entries; block 0 by byte, block r by trail
  DbcsLeadRanges leads;
};

struct DbcsEncodeIndex {
  const std::uint16_t* bytes;  // 65536 entries, by unit
};

// The indexes of one code page; null where it has none.
struct DbcsIndexes {
  const DbcsDecodeIndex* forward = nullptr;  // code -> UTF-16 unit
  const DbcsEncodeIndex* reverse = nullptr;  // UTF-16 unit -> code
};

// The indexes generated for a code page's tables; both null for any code page without them.
DbcsIndexes FindDbcsIndexes(std::uint32_t codePage);

// EUC-JP's decoding index, through 932's tables.
const DbcsDecodeIndex& EucJpDecodeIndex();

// Whether b is one of the lead bytes.
constexpr bool IsLeadByteOf(const DbcsLeadRanges& leads, std::uint32_t b) {
  return InRange(b, leads.firstLow, leads.firstHigh) ||
         (leads.secondLow <= leads.secondHigh && InRange(b, leads.secondLow, leads.secondHigh));
}

// The rank of a lead byte of the index (not checked): 1 up to the number of lead bytes.
constexpr std::uint32_t LeadRank(const DbcsLeadRanges& leads, std::uint32_t lead) {
  const std::uint32_t firstCount = std::uint32_t{leads.firstHigh} - leads.firstLow + 1;
  return lead <= leads.firstHigh ? lead - leads.firstLow + 1
                                 : lead - leads.secondLow + firstCount + 1;
}

// The unit a lead byte and its trail decode to, the miss rule applied. Lead must be a lead byte
// of the index: its rank is then at most the block count - 1, and trail < 256.
inline Utf16Unit DecodePair(const DbcsDecodeIndex& index, std::uint32_t lead, std::uint32_t trail) {
  return index.units[std::size_t{LeadRank(index.leads, lead)} * 256 + trail];
}

// The unit a byte that is no lead byte decodes to, 0 giving U+003F; block 0 has all 256.
inline Utf16Unit DecodeOneByte(const DbcsDecodeIndex& index, std::uint8_t b) {
  return index.units[b];
}

// The bytes one unit encodes to, in the order written (above 0xFF: two bytes, lead byte in the
// low half).
inline std::uint16_t EncodeUnitBytes(const DbcsEncodeIndex& index, Utf16Unit unit) {
  return index.bytes[unit];
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

// Stores what EncodeUnitBytes gave, lead byte first, and returns how many bytes it is (1 or 2).
//   out  out  bytes, caller-owned, at least 2 writable
inline std::uint32_t WriteDbcsCode(std::uint8_t* out, std::uint16_t bytes) {
  out[0] = static_cast<std::uint8_t>(bytes);
  out[1] = static_cast<std::uint8_t>(bytes >> 8);
  return bytes > 0xFF ? 2 : 1;
}

}  // namespace corvane
