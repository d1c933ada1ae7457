// The double-byte lookups over the six generated tables, on published samples and the rows the
// tables are defined by (tests/conversion_test.cpp takes every key both ways through the exports,
// and tests/table_road_differential_test.cpp compares the direct indexes with the bisection).
#include "codepages/dbcs_lookup.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

namespace corvane {
namespace {

// The record as a lookup sees it: the reverse arrays of 51932 and 2022 open with a size word
// that their registry records point at.
CodePageRecord RecordOf(std::uint32_t id) {
  CodePageRecord r = *FindCodePageRecord(id);
  const int sizeWord = (id == 51932 || id == 2022) ? 1 : 0;
  r.reverseRanges += sizeWord;
  r.reverseValues += sizeWord;
  return r;
}

Utf16Unit Decode(std::uint16_t key, const CodePageRecord& r) {
  Utf16Unit unit = 0xEEEE;
  EXPECT_EQ(DbcsCodeToWide(&unit, key, r), 1u);
  return unit;
}

// What the reverse lookup wrote, read back as a code: lead byte first, a lone byte as itself.
std::uint16_t Encode(Utf16Unit unit, const CodePageRecord& r) {
  std::uint8_t out[2] = {0xEE, 0xEE};
  const std::uint32_t n = WideToDbcsCode(out, unit, r);
  EXPECT_TRUE(n == 1 || (n == 2 && out[0] != 0)) << "two bytes only for a code above 0xFF";
  return static_cast<std::uint16_t>(n == 2 ? out[0] << 8 | out[1] : out[0]);
}

// The code gives the unit, and the unit gives the code back ("back").
TEST(DbcsLookups, ListedKeysAndUnits) {
  // clang-format off
  const std::tuple<std::uint32_t, std::uint16_t, Utf16Unit, std::uint16_t, const char*> rows[] = {
      {932, 0x82A0, 0x3042, 0x82A0, "hiragana a, two bytes"},
      {932, 0x0000, 0x003F, 0x003F, "key 0 is the only key that becomes '?'"},
      {932, 0x301C, 0x301C, 0x001C, "wave dash: no entry either way, it leaves as its low byte"},
      {949, 0xA2E6, 0xA2E6, 0x00E6, "absent euro sign passes through"},
      {950, 0xA1CC, 0x0023, 0xA1CC, "number sign leaves as two bytes"},
      {950, 0xF9D6, 0xF9D6, 0x00D6, "everything from 0xF9D6 on is absent"},
      {51932, 0xA1C1, 0x301C, 0xA1C1, "wave dash, unlike 932"},
      {51932, 0xA1C0, 0x005C, 0xA1C0, "backslash has a two-byte code here"},
      {2022, 0x215D, 0x2212, 0x215D, "minus sign, unlike 51932"},
  };
  // clang-format on
  for (const auto& [id, code, unit, back, why] : rows) {
    const CodePageRecord r = RecordOf(id);
    EXPECT_EQ(Decode(code, r), unit) << id << ": " << why;
    EXPECT_EQ(Encode(unit, r), back) << id << ": " << why;
  }
  EXPECT_EQ(DbcsCodeToWide(nullptr, 0x82A0, RecordOf(932)), 1u) << "a null output only counts";
}

}  // namespace
}  // namespace corvane
