// The encodings of the C++ interface and the mappings their names mean to people who type them:
// the tables of Python's codecs and the names IANA, glibc iconv and Windows give them. The
// C interface's registered tables (codepages/) stay as they are, with their own quirks; these
// are separate, so that "ISO-8859-5" is ISO 8859-5 and "windows-1252" has its euro sign.
//
// The definitions are written by tools/gen_standard_tables.py (cxx/tables/standard_*.cpp); this
// header is the format they follow. Every table is constant data: nothing is built at run time.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codepages/dbcs_lookup.h"

namespace corvane::standard {

// How an encoding's bytes are read; each family has its own decoder and encoder.
enum class Family : std::uint8_t {
  kUtf8,
  kUtf16Le,
  kUtf16Be,
  kUtf16,  // by its byte order mark; big-endian without one, and written big-endian with one
  kUtf32Le,
  kUtf32Be,
  kUtf32,  // as kUtf16
  kSingleByte,
  kDoubleByte,  // one or two bytes per character: Shift_JIS (CP932), Big5 (CP950), UHC (CP949)
  kEucJp,       // kDoubleByte with 0x8E kana pairs and 0x8F JIS X 0212 triples
  kGb18030,     // kDoubleByte with four-byte sequences
  kGbk,         // GB18030's one- and two-byte forms only (encoding never writes four bytes)
  kIso2022Jp,   // ASCII, JIS X 0201 Roman and JIS X 0208 between escape sequences
};

// Decoding: one unit per byte, kNoUnit where the byte has no character. Encoding: a unit's high
// byte picks a page through encodePageOf (0: the empty page, every entry 0), and the page gives
// the byte by the unit's low byte; 0 means none, except for U+0000, which every table maps to
// byte 0 and back.
struct SingleByteTable {
  const std::uint16_t* decode;        // 256 entries
  const std::uint8_t* encodePageOf;   // 256 entries
  const std::uint8_t* encodePages;    // 256 bytes per page, page 0 all zero
  bool keepsAscii;                    // 0x01-0x7F and U+0001-U+007F stand for one another
  bool complete;                      // every byte has a character: decoding has no fault
};

// A unit no byte sequence decodes to, which marks "no character" in every decoding table.
inline constexpr std::uint16_t kNoUnit = 0xFFFD;

// Encoding values of DoubleByteTable::encode: below 0x100 one byte (0 only for U+0000),
// kElsewhere neither one nor two bytes: a form the family finds in its extra table (a GB18030
// four-byte sequence, a JIS X 0212 triple) or none at all; anything else lead | trail << 8.
// One value for both lets the encoder's fast loop write every value as it stands and look for
// a 0xFF byte afterwards.
inline constexpr std::uint16_t kElsewhere = 0xFFFF;

// Every double-byte table keeps ASCII: 0x01-0x7F and U+0001-U+007F stand for one another (the
// generator checks it).
//
// Decoding as the C interface's direct indexes read it (codepages/dbcs_lookup.h), so that the
// same block kernels run over it: block 0 by byte for bytes that are no lead byte (kNoUnit for a
// byte that is no character by itself), then one block of 256 per lead byte by trail byte
// (kNoUnit for a pair with no character). Encoding: 65536 entries by unit.
struct DoubleByteTable {
  DbcsDecodeIndex decode;
  const std::uint16_t* encode;
};

// EUC-JP's JIS X 0212 triples (0x8F, row, cell; row and cell in 0xA1-0xFE): decoding by
// (row - 0xA1) * 94 + (cell - 0xA1), kNoUnit where none; encoding the units whose
// DoubleByteTable::encode entry is kElsewhere, sorted by unit, with row << 8 | cell.
struct Jis0212Table {
  const std::uint16_t* decode;  // 94 * 94 entries
  const std::uint16_t* encodeUnits;
  const std::uint16_t* encodeCodes;
  std::size_t encodeCount;
};

// GB18030's four-byte forms of BMP units: ranges sorted by unit, each starting at firstUnit with
// the four-byte linear index firstLinear, where linear = (b1 - 0x81) * 12600 + (b2 - 0x30) * 1260
// + (b3 - 0x81) * 10 + (b4 - 0x30), and running on one to one until the next range's start; a
// unit with a one- or two-byte form inside a range breaks it into two. Supplementary code points
// have linear 189000 + (code point - 0x10000).
struct Gb18030Ranges {
  const std::uint16_t* firstUnit;
  const std::uint32_t* firstLinear;
  std::size_t count;
  std::uint32_t bmpLinearEnd;  // linear indexes from here up to 189000 decode to nothing
};

struct EncodingRecord {
  const char* name;          // the preferred name: "Shift_JIS", "windows-1252", "UTF-8"
  std::uint32_t codePage;    // the Windows code page number
  Family family;
  const SingleByteTable* singleByte;  // kSingleByte
  const DoubleByteTable* doubleByte;  // kDoubleByte, kEucJp, kGb18030, kGbk, kIso2022Jp (JIS X 0208
                                      // through EUC-JP's table)
  const Jis0212Table* jis0212;        // kEucJp
  const Gb18030Ranges* gb18030;       // kGb18030, kGbk
  const char* const* aliases;         // every other name it is found by, null-terminated
};

// Every encoding, in the order `corvane list` shows them.
extern const EncodingRecord kEncodings[];
extern const std::size_t kEncodingCount;

// Every name and alias folded (ASCII letters and digits only, letters small: "ISO_8859-1:1987"
// becomes "iso885911987"), sorted by the folded text, with the index of its encoding in
// kEncodings; no folded name appears twice.
struct FoldedName {
  const char* folded;
  std::uint16_t encoding;
};
extern const FoldedName kFoldedNames[];
extern const std::size_t kFoldedNameCount;

// Code page numbers that find an encoding besides each record's own codePage (20932 for
// EUC-JP, the C interface's 2022 for ISO-2022-JP, ...), sorted by number.
struct CodePageAlias {
  std::uint32_t codePage;
  std::uint16_t encoding;
};
extern const CodePageAlias kCodePageAliases[];
extern const std::size_t kCodePageAliasCount;

}  // namespace corvane::standard
