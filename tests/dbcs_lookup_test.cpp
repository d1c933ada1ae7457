// The double-byte lookups over the six generated tables (tests/table_road_differential_test.cpp
// compares their direct index with the bisection). Expected characters come from the published
// mappings (Python's shift_jis, gb2312, cp949 and big5 codecs) and the rows the tables are
// defined by, never from the arrays under test; the arrays are read only to enumerate which keys
// they cover.
#include "codepages/dbcs_lookup.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <tuple>
#include <vector>

#include "codepages/tables/one_way_mappings.h"

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

// Every key a table covers maps back to itself, or where the one-way list sends its character;
// every other key passes through and every other unit leaves as its low byte.
TEST(DbcsTables, EveryKeyAndUnitMapsBackOrPassesThrough) {
  const auto covered = [](const std::uint16_t* ranges, std::uint32_t count) {
    std::vector<bool> in(0x10000);
    for (std::uint32_t i = 0; i < count * kWordsPerDbcsRange; i += kWordsPerDbcsRange)
      std::fill(in.begin() + ranges[i], in.begin() + ranges[i + 1] + 1, true);
    return in;
  };
  for (std::uint32_t id : {932u, 936u, 949u, 950u, 51932u, 2022u}) {
    const CodePageRecord r = RecordOf(id);
    const std::vector<bool> isKey = covered(r.forwardRanges, r.forwardRangeCount);
    const std::vector<bool> isUnit = covered(r.reverseRanges, r.reverseRangeCount);
    for (std::uint32_t n = 0; n <= 0xFFFF; ++n) {
      const auto v = static_cast<std::uint16_t>(n);
      const Utf16Unit unit = Decode(v, r);
      const std::uint16_t code = Encode(v, r);
      // A covered key comes back as itself (or its one-way code); any other passes through.
      const auto oneWay = std::ranges::find_if(tables::kOneWayMappings, [&](const auto& m) {
        return m.codePage == id && m.unit == unit;
      });
      const std::uint16_t keyBack =
          oneWay != std::end(tables::kOneWayMappings) ? oneWay->encodesTo : v;
      const std::uint16_t passedThrough = n == 0 ? 0x3F : v;
      ASSERT_EQ(isKey[n] ? Encode(unit, r) : unit, isKey[n] ? keyBack : passedThrough)
          << id << " key " << n;
      // A covered unit comes back from its code; any other leaves as its low byte.
      ASSERT_EQ(isUnit[n] ? Decode(code, r) : code, isUnit[n] ? v : v & 0xFF)
          << id << " unit " << n;
    }
  }
}

}  // namespace
}  // namespace corvane
