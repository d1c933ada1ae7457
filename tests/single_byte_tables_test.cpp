// Facts of the single-byte tables that the round trips through the exports cannot see: what a
// byte stands for (a table can be wrong the same way in both directions), bytes with no
// character, entries of two units, and characters that have no byte or the byte of another
// character. Expected values come from the published mappings and this library's stated
// differences, never from the tables.
#include <gtest/gtest.h>

#include <array>

#include "codepages/registry.h"

namespace corvane {
namespace {

constexpr std::uint32_t kEvery = 0;
constexpr int kNone = -1;

using Entry = std::array<Utf16Unit, kUnitsPerByteEntry>;

TEST(SingleByteTables, EdgeCases) {
  const struct {
    std::uint32_t codePage;  // kEvery: every single-byte code page
    int byte;                // stands for units; kNone: the row is about units[0] only
    Entry units;             // all 0: no character
    int back;                // the byte units[0] gives, when it is one character; kNone: no byte
    const char* why;
  } rows[] = {
      {kEvery, 0x00, {}, 0, "byte 0x00 has no character"},
      {kEvery, kNone, {0x27FF}, kNone, "last slot of page 1 is empty"},
      {40852, 0x01, {0x263A}, 0x01, "DOS glyph row, not a control"},
      {40850, kNone, {0x000A}, kNone, "DOS code pages have no line feed"},
      {40866, 0xF9, {0x2022}, 0xF9, "bullet, not bullet operator"},
      {88592, 0x9F, {}, 0, "ISO C1 row is empty"},
      {10000, 0xC6, {0x2206}, 0xC6, "Unicode's ROMAN.TXT, not glibc's U+0394"},
      {10000, kNone, {0x03A9}, kNone, "omega lost its byte to the ohm sign"},
      {10000, 0xF0, {}, 0, "no Apple logo"},
      {10008, 0xD7, {0x05D9, 0x05C2}, 0, "yod with sin dot"},
      {88596, 0x39, {0x0669}, 0x39, "Arabic-Indic digits"},
      {1255, 0xCE, {}, 0, "1255 drops the point at 0xCE"},
      {1255, 0xA4, {0x00A4}, 0xA4, "currency sign, not sheqel"},
      {88598, 0x2D, {0x05BE}, 0x2D, "maqaf takes the hyphen's byte"},
      {88598, kNone, {0x002D}, kNone, "so hyphen-minus has none"},
      {1252, 0x80, {}, 0, "no euro in 1252"},
  };
  for (const auto& row : rows) {
    int tables = 0;
    for (const CodePageRecord* r = GetCodePageRegistry().records; r->id != kTerminatorId; ++r) {
      if (r->isMultiByte != 0 || (row.codePage != kEvery && r->id != row.codePage)) continue;
      ++tables;
      if (row.byte != kNone) {
        const Utf16Unit* e = r->byteToWide + kUnitsPerByteEntry * static_cast<unsigned>(row.byte);
        EXPECT_EQ((Entry{e[0], e[1], e[2]}), row.units) << r->id << ": " << row.why;
      }
      const unsigned c = row.units[0];
      if (c == 0 || row.units[1] != 0) continue;  // the back field does not apply
      const std::uint8_t b = c < kWideToBytePageSize            ? r->lowPage[c]
                             : c - 0x2000 < kWideToBytePageSize ? r->highPage[c - 0x2000]
                                                                : 0;
      EXPECT_EQ(b != 0 ? b : kNone, row.back) << r->id << ": " << row.why;
    }
    EXPECT_EQ(tables, row.codePage == kEvery ? 27 : 1) << row.why;
  }
}

}  // namespace
}  // namespace corvane
