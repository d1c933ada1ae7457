// The double-byte lookups over the six generated tables, both the direct index and the bisection
// that defines it. Expected characters come from the published mappings (Python's shift_jis,
// gb2312, cp949 and big5 codecs) and the rows the tables are defined by, never from the arrays
// under test; the arrays are read only to enumerate which keys they cover.
#include "codepages/dbcs_lookup.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

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

// The lookups under test, or the bisection that defines them.
Utf16Unit Decode(std::uint16_t key, const CodePageRecord& r,
                 decltype(&DbcsCodeToWide) lookUp = DbcsCodeToWide) {
  Utf16Unit unit = 0xEEEE;
  EXPECT_EQ(lookUp(&unit, key, r), 1u);
  return unit;
}

// What the reverse lookup wrote, read back as a code: lead byte first, a lone byte as itself.
std::uint16_t Encode(Utf16Unit unit, const CodePageRecord& r,
                     decltype(&WideToDbcsCode) lookUp = WideToDbcsCode) {
  std::uint8_t out[2] = {0xEE, 0xEE};
  const std::uint32_t n = lookUp(out, unit, r);
  EXPECT_TRUE(n == 1 || (n == 2 && out[0] != 0)) << "two bytes only for a code above 0xFF";
  return static_cast<std::uint16_t>(n == 2 ? out[0] << 8 | out[1] : out[0]);
}

enum Direction { kForward = 1, kReverse = 2, kBoth = 3 };

TEST(DbcsLookups, ListedKeysAndUnits) {
  const struct {
    std::uint32_t id;
    std::uint16_t code;  // forward: code gives unit; reverse: unit gives code
    Utf16Unit unit;
    Direction direction;
    const char* why;
  } rows[] = {
      {932, 0x82A0, 0x3042, kBoth, "hiragana a, two bytes"},
      {932, 0x8540, 0x8540, kForward, "unassigned code passes through as the same number"},
      {932, 0x0000, 0x003F, kForward, "key 0 is the only key that becomes '?'"},
      {932, 0x005C, 0x005C, kReverse, "backslash leaves as one byte, not 0x815F"},
      {932, 0x815B, 0x30FC, kBoth, "long vowel mark leaves by the first of its three codes"},
      {932, 0x001C, 0x301C, kReverse, "wave dash has no entry: low byte"},
      {936, 0xA1AC, 0x2225, kBoth, "parallel to, the changed row, which the reverse keeps"},
      {949, 0xA2E6, 0xA2E6, kForward, "absent euro sign passes through"},
      {950, 0xA1CC, 0x0023, kBoth, "number sign leaves as two bytes"},
      {950, 0xF9D6, 0xF9D6, kForward, "everything from 0xF9D6 on is absent"},
      {51932, 0xA1C1, 0x301C, kBoth, "wave dash, unlike 932"},
      {51932, 0xA1C0, 0x005C, kBoth, "backslash has a two-byte code here"},
      {2022, 0x215D, 0x2212, kBoth, "minus sign, unlike 51932"},
  };
  for (const auto& row : rows) {
    const CodePageRecord r = RecordOf(row.id);
    if (row.direction & kForward) {
      EXPECT_EQ(Decode(row.code, r), row.unit) << row.id << ": " << row.why;
      EXPECT_EQ(DbcsCodeToWide(nullptr, row.code, r), 1u) << "a null output only counts";
    }
    if (row.direction & kReverse) {
      EXPECT_EQ(Encode(row.unit, r), row.code) << row.id << ": " << row.why;
    }
  }
}

// Every key a table covers maps back to itself, except the codes whose character leaves by
// another code; every other key passes through and every other unit leaves as its low byte; and
// the direct index answers as the bisection does, everywhere.
TEST(DbcsTables, EveryKeyAndUnitMapsBackOrPassesThrough) {
  const std::map<std::pair<std::uint32_t, std::uint16_t>, std::uint16_t> oneWay = {
      {{932, 0x815F}, 0x005C}, {{932, 0x8160}, 0x815B},   {{932, 0x817C}, 0x815B},
      {{936, 0xA1CE}, 0xA1AC}, {{51932, 0xA1DD}, 0xA1BC},
  };
  const auto covered = [](const std::uint16_t* ranges, std::uint32_t count) {
    std::vector<bool> in(0x10000);
    for (std::uint32_t i = 0; i < count * kWordsPerDbcsRange; i += kWordsPerDbcsRange) {
      for (std::uint32_t k = ranges[i]; k <= ranges[i + 1]; ++k)
        in[k] = true;
    }
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
      ASSERT_EQ(unit, Decode(v, r, DbcsCodeToWideScalar)) << id << " key " << n;
      ASSERT_EQ(code, Encode(v, r, WideToDbcsCodeScalar)) << id << " unit " << n;
      // A covered key comes back as itself (or its one-way code); any other passes through.
      const std::uint16_t keyBack = oneWay.contains({id, v}) ? oneWay.at({id, v}) : v;
      const std::uint16_t passedThrough = n == 0 ? 0x3F : v;
      ASSERT_EQ(isKey[n] ? Encode(unit, r) : unit, isKey[n] ? keyBack : passedThrough)
          << id << " key " << n;
      // A covered unit comes back from its code; any other leaves as its low byte.
      ASSERT_EQ(isUnit[n] ? Decode(code, r) : code, isUnit[n] ? v : v & 0xFF)
          << id << " unit " << n;
    }
  }
}

// Rows out of order make the early exit observable: row 1 holds both keys, and the bisection
// would find them at its first probe, but 0x15 lies below row 0's first and 0x1E above the last
// row's last, so the lookup stops before searching.
TEST(DbcsLookups, KeysOutsideFirstAndLastRowSkipTheSearch) {
  const std::uint16_t ranges[] = {0x18, 0x19, 0, 0x10, 0x20, 2, 0x14, 0x1A, 0x13};
  const std::vector<std::uint16_t> values(0x20, 0x1234);
  CodePageRecord r{};
  r.forwardRanges = r.reverseRanges = ranges;
  r.forwardValues = r.reverseValues = values.data();
  r.forwardRangeCount = r.reverseRangeCount = 3;
  EXPECT_EQ(Decode(0x18, r), 0x1234) << "a key inside every bound is searched and found";
  for (const std::uint16_t key : {std::uint16_t{0x15}, std::uint16_t{0x1E}}) {
    EXPECT_EQ(Decode(key, r), key);
    EXPECT_EQ(Encode(key, r), key);
  }
}

}  // namespace
}  // namespace corvane
