// Facts about the 27 single-byte tables, read straight from the generated arrays. Expected values
// come from the published mappings and this library's stated differences, never from the tables.
#include "codepages/tables/single_byte_tables.h"

#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <cstdint>
#include <set>
#include <tuple>

namespace corvane {
namespace {

using Units = std::array<Utf16Unit, kUnitsPerByteEntry>;

struct Tables {
  std::uint32_t id;
  const ByteToWideTable& byteToWide;
  const WideToBytePage& low;
  const WideToBytePage& high;
};

const Tables kAll[] = {
    {40866, tables::kByteToWide40866, tables::kLowPage40866, tables::kHighPage40866},
    {40869, tables::kByteToWide40869, tables::kLowPage40869, tables::kHighPage40869},
    {88591, tables::kByteToWide88591, tables::kLowPage88591, tables::kHighPage88591},
    {88592, tables::kByteToWide88592, tables::kLowPage88592, tables::kHighPage88592},
    {88593, tables::kByteToWide88593, tables::kLowPage88593, tables::kHighPage88593},
    {88594, tables::kByteToWide88594, tables::kLowPage88594, tables::kHighPage88594},
    {88595, tables::kByteToWide88595, tables::kLowPage88595, tables::kHighPage88595},
    {88596, tables::kByteToWide88596, tables::kLowPage88596, tables::kHighPage88596},
    {88597, tables::kByteToWide88597, tables::kLowPage88597, tables::kHighPage88597},
    {88598, tables::kByteToWide88598, tables::kLowPage88598, tables::kHighPage88598},
    {88599, tables::kByteToWide88599, tables::kLowPage88599, tables::kHighPage88599},
    {20866, tables::kByteToWide20866, tables::kLowPage20866, tables::kHighPage20866},
    {10008, tables::kByteToWide10008, tables::kLowPage10008, tables::kHighPage10008},
    {10000, tables::kByteToWide10000, tables::kLowPage10000, tables::kHighPage10000},
    {1256, tables::kByteToWide1256, tables::kLowPage1256, tables::kHighPage1256},
    {1251, tables::kByteToWide1251, tables::kLowPage1251, tables::kHighPage1251},
    {1250, tables::kByteToWide1250, tables::kLowPage1250, tables::kHighPage1250},
    {1253, tables::kByteToWide1253, tables::kLowPage1253, tables::kHighPage1253},
    {1255, tables::kByteToWide1255, tables::kLowPage1255, tables::kHighPage1255},
    {1254, tables::kByteToWide1254, tables::kLowPage1254, tables::kHighPage1254},
    {1252, tables::kByteToWide1252, tables::kLowPage1252, tables::kHighPage1252},
    {40850, tables::kByteToWide40850, tables::kLowPage40850, tables::kHighPage40850},
    {40852, tables::kByteToWide40852, tables::kLowPage40852, tables::kHighPage40852},
    {40861, tables::kByteToWide40861, tables::kLowPage40861, tables::kHighPage40861},
    {40862, tables::kByteToWide40862, tables::kLowPage40862, tables::kHighPage40862},
    {28605, tables::kByteToWide28605, tables::kLowPage28605, tables::kHighPage28605},
    {1257, tables::kByteToWide1257, tables::kLowPage1257, tables::kHighPage1257},
};

constexpr std::uint32_t kEvery = 0;  // a row that holds for all 27 tables
constexpr int kNoByte = -1;

const Tables& Find(std::uint32_t id) {
  for (const Tables& t : kAll) {
    if (t.id == id) return t;
  }
  ADD_FAILURE() << "no tables for " << id;
  return kAll[0];
}

Units Entry(const Tables& t, unsigned byte) {
  const Utf16Unit* e = &t.byteToWide[kUnitsPerByteEntry * byte];
  return {e[0], e[1], e[2]};
}

// The page byte for c where one of the two windows holds it; U+0000 alone owns byte 0x00.
int PageByte(const Tables& t, unsigned c) {
  std::uint8_t b = 0;
  if (c < kWideToBytePageSize) {
    b = t.low[c];
  } else if (c >= 0x2000 && c - 0x2000 < kWideToBytePageSize) {
    b = t.high[c - 0x2000];
  }
  return (c == 0 || b != 0) ? b : kNoByte;
}

// Characters that several bytes stand for, and the byte the reverse page keeps.
const std::set<std::tuple<std::uint32_t, unsigned, int>> kTieBreaks = {
    {28605, 0x20AC, 0xA4},
    {10008, 0x05B4, 0xCC},
};

// Reverse entries whose byte decodes to something else (or nothing).
bool IsFurtherEntry(std::uint32_t id, std::size_t c) {
  return (id == 88596 && c >= 0x0030 && c <= 0x0039) ||
         (id == 1256 && c >= 0x0660 && c <= 0x0669) || (id == 1255 && c == 0x05BE);
}

struct ForwardRow {
  std::uint32_t id;
  unsigned byte;
  Units units;
  const char* why;
};

TEST(SingleByteTables, BytesStandForTheirCharacters) {
  const ForwardRow rows[] = {
      {kEvery, 0x00, {}, "byte 0x00 has no character in any table"},
      {40852, 0x41, {0x0041}, "ASCII passes through"},
      {40852, 0x01, {0x263A}, "DOS glyph row replaces the controls"},
      {40852, 0xFE, {0x25A0}, "published cp852"},
      {40852, 0xFF, {}, "DOS byte 0xFF has no character"},
      {40852, 0xB1, {0x2582}, "lower blocks instead of shades"},
      {88591, 0x80, {0x20AC}, "euro at 0x80 in Latin-1"},
      {88591, 0x81, {}, "ISO C1 row is empty"},
      {88591, 0x9F, {}, "ISO C1 row is empty"},
      {28605, 0x80, {0x20AC}, "euro at 0x80 in Latin-9"},
      {28605, 0xA4, {0x20AC}, "Latin-9's own euro"},
      {10000, 0xDE, {0x0066, 0x0069}, "fi ligature decomposes"},
      {10000, 0xDF, {0x0066, 0x006C}, "fl ligature decomposes"},
      {10000, 0xBD, {0x2126}, "ohm sign, not omega"},
      {10000, 0xC6, {0x2206}, "Unicode's ROMAN.TXT, not glibc's U+0394"},
      {10000, 0xDB, {0x00A4}, "currency sign, not euro"},
      {10000, 0xF0, {}, "no Apple logo"},
      {10008, 0xCC, {0x05B4}, "hiriq"},
      {10008, 0xCE, {0x05B4}, "hiriq again"},
      {10008, 0xCF, {0x05B4}, "hiriq a third time"},
      {10008, 0xC0, {0x05DC, 0x05B9}, "lamed with holam"},
      {10008, 0xD7, {0x05D9, 0x05C2}, "yod with sin dot"},
      {10008, 0xF0, {0x05E0}, "alef..tav run from 0xE0"},
      {10008, 0xFA, {0x05EA}, "tav ends the run"},
      {10008, 0xDE, {0x0066, 0x0069}, "inherited from 10000"},
      {10008, 0x2D, {0x05BE}, "maqaf takes the hyphen's byte"},
      {40866, 0x0A, {0x25D9}, "DOS glyph, not line feed"},
      {40866, 0xF9, {0x2022}, "bullet, not bullet operator"},
      {40866, 0x14, {}, "gap in the DOS glyph row"},
      {40869, 0x8B, {0x0371}, "DOS Greek difference"},
      {40869, 0xF7, {0x03F5}, "DOS Greek difference"},
      {20866, 0x0A, {0x00AB}, "KOI8-R list"},
      {20866, 0x0D, {}, "no carriage return in 20866"},
      {20866, 0x7F, {0x0490}, "KOI8-R list"},
      {20866, 0x80, {0x0491}, "KOI8-R list, not box drawing"},
      {20866, 0x81, {0x0404}, "KOI8-R list"},
      {20866, 0x82, {}, "box drawing row removed"},
      {20866, 0xB8, {0x2116}, "numero sign"},
      {20866, 0xC1, {0x0430}, "published KOI8-R"},
      {88596, 0x30, {0x0660}, "Arabic-Indic digits"},
      {88596, 0x39, {0x0669}, "Arabic-Indic digits"},
      {88597, 0xA1, {0x0371}, "ISO Greek difference"},
      {88597, 0xA4, {}, "no euro in 88597"},
      {88597, 0xB5, {0x03F4}, "ISO Greek difference"},
      {88598, 0x2D, {0x05BE}, "maqaf"},
      {88598, 0xDF, {0x0333}, "double low line as combining mark"},
      {88598, 0xFD, {}, "no direction marks"},
      {1256, 0xF3, {0x064E}, "published cp1256"},
      {1256, 0x8A, {0x0160}, "older Latin letters in 1256"},
      {1256, 0x81, {}, "no peh at 0x81"},
      {1255, 0xCE, {}, "1255 drops these points"},
      {1255, 0xA4, {0x00A4}, "currency sign, not sheqel"},
      {1255, 0xCA, {}, "undefined in Unicode's CP1255.TXT"},
      {1251, 0x88, {}, "no euro in 1251"},
      {1252, 0x80, {}, "no euro in 1252"},
      {1252, 0x8E, {}, "1252 difference"},
      {1252, 0x8A, {0x0160}, "published cp1252"},
      {40850, 0xD5, {}, "no dotless i"},
      {40850, 0xDD, {0x258C}, "left half block"},
      {40861, 0xE1, {0x03B2}, "beta, not sharp s"},
      {40862, 0x2D, {0x05BE}, "maqaf"},
      {40862, 0xED, {0x2205}, "empty set"},
      {1257, 0xFF, {0x02D9}, "published cp1257"},
  };
  for (const ForwardRow& row : rows) {
    for (const Tables& t : kAll) {
      if (row.id != kEvery && row.id != t.id) continue;
      EXPECT_EQ(Entry(t, row.byte), row.units)
          << t.id << " byte 0x" << std::hex << row.byte << ": " << row.why;
    }
  }
}

struct ReverseRow {
  std::uint32_t id;
  unsigned unit;
  int byte;
  const char* why;
};

TEST(SingleByteTables, CharactersGiveTheirBytes) {
  const ReverseRow rows[] = {
      {kEvery, 0x0000, 0x00, "U+0000 owns byte 0x00"},
      {kEvery, 0x27FF, kNoByte, "last slot of page 1 is empty"},
      {40852, 0x0041, 0x41, "ASCII passes through"},
      {88591, 0x20AC, 0x80, "euro"},
      {88591, 0x0085, kNoByte, "ISO C1 characters have no byte"},
      {28605, 0x20AC, 0xA4, "tie-break keeps Latin-9's own euro"},
      {10000, 0xFB01, kNoByte, "ligatures have no byte"},
      {10000, 0x2126, 0xBD, "ohm sign"},
      {10000, 0x03A9, kNoByte, "omega lost its byte"},
      {10008, 0x05B4, 0xCC, "tie-break keeps the first hiriq"},
      {10008, 0x002D, kNoByte, "maqaf took the hyphen's byte"},
      {40866, 0x25D9, 0x0A, "DOS glyph"},
      {40866, 0x000A, kNoByte, "DOS code pages have no line feed"},
      {40850, 0x000D, kNoByte, "DOS code pages have no carriage return"},
      {20866, 0x00AB, 0x0A, "KOI8-R list"},
      {20866, 0x0009, 0x09, "20866 keeps the tab"},
      {20866, 0x000A, kNoByte, "20866 has no line feed"},
      {88596, 0x0030, 0x30, "ASCII digits still encode"},
      {88596, 0x0669, 0x39, "Arabic-Indic digits"},
      {1256, 0x064E, 0xF3, "fatha"},
      {1256, 0x0660, 0x30, "Arabic-Indic digits encode as ASCII digits"},
      {1256, 0x0039, 0x39, "ASCII digits"},
      {1255, 0x05BE, 0xCE, "maqaf encodes though 0xCE decodes to nothing"},
      {88598, 0x05BE, 0x2D, "maqaf"},
      {88598, 0x002D, kNoByte, "hyphen-minus lost its byte"},
      {40862, 0x002D, kNoByte, "hyphen-minus lost its byte"},
  };
  for (const ReverseRow& row : rows) {
    for (const Tables& t : kAll) {
      if (row.id != kEvery && row.id != t.id) continue;
      EXPECT_EQ(PageByte(t, row.unit), row.byte)
          << t.id << " U+" << std::hex << row.unit << ": " << row.why;
    }
  }
}

TEST(SingleByteTables, DosTablesShareTheGlyphRow) {
  const Utf16Unit glyphs[0x20] = {
      0,      0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x25CF, 0x25D8, 0x25CB, 0x25D9,
      0x2642, 0x2640, 0x266A, 0x266C, 0x263C, 0x25B8, 0x25C2, 0x2195, 0x203C, 0,      0,
      0x2594, 0x21A8, 0x2191, 0x2193, 0x2192, 0x2190, 0x2319, 0x2194, 0x25B2, 0x25BC,
  };
  for (std::uint32_t id : {40850u, 40852u, 40861u, 40862u, 40866u, 40869u}) {
    const Tables& t = Find(id);
    for (unsigned b = 0x01; b < 0x20; ++b) {
      EXPECT_EQ(Entry(t, b), (Units{glyphs[b]})) << id << " byte 0x" << std::hex << b;
      EXPECT_EQ(PageByte(t, b), kNoByte) << id << " control U+" << std::hex << b;
    }
    EXPECT_EQ(Entry(t, 0x7F), (Units{0x007F})) << id;
    EXPECT_EQ(Entry(t, 0xFF), Units{}) << id;
  }
}

TEST(SingleByteTables, IsoTablesLeaveTheC1RowEmpty) {
  for (std::uint32_t id :
       {88591u, 88592u, 88593u, 88594u, 88595u, 88596u, 88597u, 88598u, 88599u, 28605u}) {
    const Tables& t = Find(id);
    const bool euro = id == 88591 || id == 28605;
    EXPECT_EQ(Entry(t, 0x80), euro ? Units{0x20AC} : Units{}) << id;
    for (unsigned b = 0x81; b < 0xA0; ++b) {
      EXPECT_EQ(Entry(t, b), Units{}) << id << " byte 0x" << std::hex << b;
    }
  }
}

TEST(SingleByteTables, OnlyTheNineNamedEntriesHaveSeveralUnits) {
  const std::set<std::tuple<std::uint32_t, unsigned, Units>> expected = {
      {10000, 0xDE, {0x0066, 0x0069}}, {10000, 0xDF, {0x0066, 0x006C}},
      {10008, 0xC0, {0x05DC, 0x05B9}}, {10008, 0xC7, {0x05D5, 0x05B9}},
      {10008, 0xC8, {0x05D5, 0x05BC}}, {10008, 0xD6, {0x05D9, 0x05C1}},
      {10008, 0xD7, {0x05D9, 0x05C2}}, {10008, 0xDE, {0x0066, 0x0069}},
      {10008, 0xDF, {0x0066, 0x006C}},
  };
  std::set<std::tuple<std::uint32_t, unsigned, Units>> found;
  for (const Tables& t : kAll) {
    for (unsigned b = 0; b < kByteToWideEntries; ++b) {
      const Units e = Entry(t, b);
      if (e[1] != 0) found.insert({t.id, b, e});
      EXPECT_TRUE(e[0] != 0 || e[1] == 0) << t.id << " byte 0x" << std::hex << b;
    }
  }
  EXPECT_EQ(found, expected);
}

// Every one-unit byte comes back to itself through the pages, save the named tie-breaks.
TEST(SingleByteTables, EveryCharacterEncodesBackToItsByte) {
  for (const Tables& t : kAll) {
    for (unsigned b = 0x01; b < kByteToWideEntries; ++b) {
      const Units e = Entry(t, b);
      if (e[0] == 0 || e[1] != 0) continue;
      int want = static_cast<int>(b);
      for (const auto& [id, unit, kept] : kTieBreaks) {
        if (id == t.id && unit == e[0]) want = kept;
      }
      EXPECT_EQ(PageByte(t, e[0]), want) << t.id << " byte 0x" << std::hex << b;
    }
  }
}

// Every page entry decodes back to its character, save the named further entries.
TEST(SingleByteTables, EveryPageEntryDecodesToItsCharacter) {
  for (const Tables& t : kAll) {
    for (std::size_t slot = 0; slot < 2 * kWideToBytePageSize; ++slot) {
      const bool low = slot < kWideToBytePageSize;
      const std::size_t c = low ? slot : 0x2000 + slot - kWideToBytePageSize;
      const std::uint8_t b = low ? t.low[slot] : t.high[slot - kWideToBytePageSize];
      if (b == 0 || IsFurtherEntry(t.id, c)) continue;
      EXPECT_EQ(Entry(t, b), (Units{static_cast<Utf16Unit>(c)}))
          << t.id << " U+" << std::hex << c << " -> 0x" << unsigned{b};
    }
  }
}

TEST(SingleByteTables, WindowsBalticRoundTripsEveryDefinedByte) {
  // The bytes windows-1257 leaves undefined; every other byte must have a character.
  const std::set<unsigned> undefined = {0x81, 0x83, 0x88, 0x8A, 0x8C, 0x90,
                                        0x98, 0x9A, 0x9C, 0x9F, 0xA1, 0xA5};
  const Tables& t = Find(1257);
  for (unsigned b = 0x01; b < kByteToWideEntries; ++b) {
    const Units e = Entry(t, b);
    EXPECT_EQ(e[0] == 0, undefined.contains(b)) << "byte 0x" << std::hex << b;
    if (e[0] != 0) {
      EXPECT_EQ(PageByte(t, e[0]), static_cast<int>(b)) << std::hex << b;
    }
  }
}

}  // namespace
}  // namespace corvane
