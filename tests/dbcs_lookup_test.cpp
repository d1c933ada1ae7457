// The double-byte lookups over the six generated tables. Expected characters come from the
// published mappings (Python's shift_jis, gb2312, cp949 and big5 codecs) and the rows and rules
// that the tables are defined by, never from the arrays under test; the arrays are read only to
// enumerate which keys they cover.
#include "codepages/dbcs_lookup.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <map>
#include <set>
#include <vector>

#include "codepages/tables/double_byte_tables.h"

namespace corvane {
namespace {

struct TableUnderTest {
  std::uint32_t id;
  CodePageRecord record;
  std::uint32_t forwardKeys;  // characters of the code page, from its definition
  std::uint32_t reverseUnits;
};

CodePageRecord MakeRecord(const std::uint16_t* forwardRanges, std::uint32_t forwardCount,
                          const std::uint16_t* forwardValues, const std::uint16_t* reverseRanges,
                          std::uint32_t reverseCount, const std::uint16_t* reverseValues) {
  CodePageRecord record{};
  record.isMultiByte = 1;
  record.forwardRanges = forwardRanges;
  record.forwardRangeCount = forwardCount;
  record.forwardValues = forwardValues;
  record.reverseRanges = reverseRanges;
  record.reverseRangeCount = reverseCount;
  record.reverseValues = reverseValues;
  return record;
}

// The reverse arrays of 51932 and 2022 open with a size word; searching them starts past it.
const std::vector<TableUnderTest>& Tables() {
  using namespace tables;
  static const std::vector<TableUnderTest> all = {
      {932,
       MakeRecord(kForwardRanges932, kForwardRangeCount932, kForwardValues932, kReverseRanges932,
                  kReverseRangeCount932, kReverseValues932),
       6879, 6877},
      {936,
       MakeRecord(kForwardRanges936, kForwardRangeCount936, kForwardValues936, kReverseRanges936,
                  kReverseRangeCount936, kReverseValues936),
       7445, 7444},
      {949,
       MakeRecord(kForwardRanges949, kForwardRangeCount949, kForwardValues949, kReverseRanges949,
                  kReverseRangeCount949, kReverseValues949),
       17046, 17046},
      {950,
       MakeRecord(kForwardRanges950, kForwardRangeCount950, kForwardValues950, kReverseRanges950,
                  kReverseRangeCount950, kReverseValues950),
       13703, 13703},
      {51932,
       MakeRecord(kForwardRanges51932, kForwardRangeCount51932, kForwardValues51932,
                  kReverseRanges51932 + 1, kReverseRangeCount51932, kReverseValues51932 + 1),
       6879, 6878},
      {2022,
       MakeRecord(kForwardRanges2022, kForwardRangeCount2022, kForwardValues2022,
                  kReverseRanges2022 + 1, kReverseRangeCount2022, kReverseValues2022 + 1),
       6879, 6879},
  };
  return all;
}

const CodePageRecord& RecordFor(std::uint32_t id) {
  for (const TableUnderTest& table : Tables()) {
    if (table.id == id) return table.record;
  }
  ADD_FAILURE() << "no table " << id;
  return Tables().front().record;
}

// Every key a range array covers, in order.
std::vector<std::uint16_t> KeysOf(const std::uint16_t* ranges, std::uint32_t count) {
  std::vector<std::uint16_t> keys;
  for (std::size_t row = 0; row < count; ++row) {
    const std::uint32_t first = ranges[row * kWordsPerDbcsRange];
    const std::uint32_t last = ranges[row * kWordsPerDbcsRange + 1];
    for (std::uint32_t key = first; key <= last; ++key)
      keys.push_back(static_cast<std::uint16_t>(key));
  }
  return keys;
}

std::vector<std::uint8_t> Encode(std::uint16_t unit, const CodePageRecord& record) {
  std::uint8_t out[2] = {0xEE, 0xEE};
  const std::uint32_t written = WideToDbcsCode(out, unit, record);
  return std::vector<std::uint8_t>(out, out + (written <= 2 ? written : 2));
}

Utf16Unit Decode(std::uint16_t key, const CodePageRecord& record) {
  Utf16Unit unit = 0xEEEE;
  EXPECT_EQ(DbcsCodeToWide(&unit, key, record), 1u);
  return unit;
}

// How a code leaves WideToDbcsCode: one byte below 0x100, else lead byte first.
std::vector<std::uint8_t> BytesOf(std::uint16_t code) {
  if (code < 0x100) return {static_cast<std::uint8_t>(code)};
  return {static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code & 0xFF)};
}

struct ForwardCase {
  std::uint32_t id;
  std::uint16_t key;
  Utf16Unit expected;
  const char* why;
};

const ForwardCase kForwardCases[] = {
    {932, 0x82A0, 0x3042, "hiragana a"},
    {932, 0x889F, 0x4E9C, "first kanji of level 1"},
    {932, 0x0041, 0x0041, "ASCII is outside the table and passes through"},
    {932, 0x00B1, 0x00B1, "half-width katakana bytes are not in the double-byte table"},
    {932, 0x8540, 0x8540, "unassigned code passes through as the unit of the same number"},
    {932, 0x0000, 0x003F, "key 0 is the only key that becomes a question mark"},
    {932, 0x815F, 0x005C, "the backslash row"},
    {932, 0x8160, 0x30FC, "the wave dash code gives the long vowel mark"},
    {932, 0x817C, 0x30FC, "the minus code gives the long vowel mark"},
    {932, 0x8150, 0xFFE3, "fullwidth macron"},
    {932, 0x8191, 0x00A2, "cent sign, not its fullwidth form"},
    {932, 0x8140, 0x3000, "first key of the first row"},
    {932, 0xEAA4, 0x7199, "last key of the last row"},
    {932, 0x813F, 0x813F, "just below the first row: early exit"},
    {932, 0xEAA5, 0xEAA5, "just above the last row: early exit"},
    {936, 0xB0A1, 0x554A, "first hanzi"},
    {936, 0xA1AC, 0x2225, "parallel to, row changed from the codec"},
    {936, 0xA1CE, 0x2225, "parallel to, the codec's own code"},
    {936, 0xA1AB, 0x301C, "wave dash"},
    {936, 0xA1A1, 0x3000, "first key of the first row"},
    {936, 0xF7FE, 0x9F44, "last key of the last row"},
    {936, 0xA1A0, 0xA1A0, "just below the first row"},
    {936, 0xF7FF, 0xF7FF, "just above the last row"},
    {936, 0x8140, 0x8140, "GBK extension codes are not in the table"},
    {949, 0xB0A1, 0xAC00, "first Hangul syllable of KS X 1001"},
    {949, 0x8141, 0xAC02, "first additional Hangul syllable, also the first key"},
    {949, 0xA2E6, 0xA2E6, "euro sign is absent and passes through"},
    {949, 0xA2E7, 0xA2E7, "registered sign is absent and passes through"},
    {949, 0xA1A4, 0x00B7, "middle dot"},
    {949, 0xFDFE, 0x8A70, "last key of the last row"},
    {949, 0x8140, 0x8140, "just below the first row"},
    {949, 0xFDFF, 0xFDFF, "just above the last row"},
    {950, 0xA440, 0x4E00, "first hanzi"},
    {950, 0xA1CC, 0x0023, "number sign has a double-byte code"},
    {950, 0xA15A, 0xA15A, "absent row passes through"},
    {950, 0xA3E1, 0xA3E1, "euro sign of later vendors is absent"},
    {950, 0xC94A, 0xFA0C, "compatibility ideograph"},
    {950, 0xA140, 0x3000, "first key of the first row"},
    {950, 0xF9D5, 0x9F98, "last key of the last row"},
    {950, 0xA13F, 0xA13F, "just below the first row"},
    {950, 0xF9D6, 0xF9D6, "everything from 0xF9D6 on is absent"},
    {51932, 0xA4A2, 0x3042, "hiragana a at its EUC-JP code"},
    {51932, 0xA1C1, 0x301C, "wave dash, unlike 932"},
    {51932, 0xA1C0, 0x005C, "the backslash row"},
    {51932, 0xA1BC, 0x30FC, "long vowel mark"},
    {51932, 0xA1DD, 0x30FC, "the minus code gives the long vowel mark"},
    {51932, 0x8EB1, 0x8EB1, "half-width katakana prefix is not a table key"},
    {51932, 0xA1A1, 0x3000, "first key"},
    {51932, 0xF4A6, 0x7199, "last key"},
    {51932, 0xF4A7, 0xF4A7, "just above the last row"},
    {2022, 0x2422, 0x3042, "hiragana a at its row/cell code"},
    {2022, 0x215D, 0x2212, "minus sign, unlike 51932"},
    {2022, 0x2140, 0x005C, "the backslash row"},
    {2022, 0x2141, 0x301C, "wave dash"},
    {2022, 0x2121, 0x3000, "first key"},
    {2022, 0x2120, 0x2120, "just below the first row"},
    {2022, 0x7426, 0x7199, "last key"},
    {2022, 0x7427, 0x7427, "just above the last row"},
};

TEST(DbcsCodeToWide, DecodesListedKeys) {
  for (const ForwardCase& c : kForwardCases) {
    EXPECT_EQ(Decode(c.key, RecordFor(c.id)), c.expected)
        << c.id << " key 0x" << std::hex << c.key << ": " << c.why;
  }
}

TEST(DbcsCodeToWide, NullOutputCountsWithoutStoring) {
  for (const TableUnderTest& table : Tables()) {
    EXPECT_EQ(DbcsCodeToWide(nullptr, 0x0041, table.record), 1u) << table.id;
    EXPECT_EQ(DbcsCodeToWide(nullptr, 0, table.record), 1u) << table.id;
  }
  EXPECT_EQ(DbcsCodeToWide(nullptr, 0x82A0, RecordFor(932)), 1u);
}

TEST(StoreWideUnit, StoresUnitOrQuestionMarkForZero) {
  const struct {
    Utf16Unit unit;
    Utf16Unit stored;
  } cases[] = {{0x0000, 0x003F}, {0x0041, 0x0041}, {0xFFFF, 0xFFFF}, {0xD800, 0xD800}};
  for (const auto& c : cases) {
    Utf16Unit out = 0xEEEE;
    EXPECT_EQ(StoreWideUnit(&out, c.unit), 1u);
    EXPECT_EQ(out, c.stored) << std::hex << c.unit;
    EXPECT_EQ(StoreWideUnit(nullptr, c.unit), 1u);
  }
}

struct ReverseCase {
  std::uint32_t id;
  Utf16Unit unit;
  std::vector<std::uint8_t> bytes;
  const char* why;
};

const std::vector<ReverseCase>& ReverseCases() {
  static const std::vector<ReverseCase> cases = {
      {932, 0x3042, {0x82, 0xA0}, "hiragana a, two bytes"},
      {932, 0x005C, {0x5C}, "backslash leaves as its single byte, not 0x815F"},
      {932, 0x30FC, {0x81, 0x5B}, "long vowel mark chooses 0x815B of its three codes"},
      {932, 0x301C, {0x1C}, "wave dash has no entry: low byte"},
      {932, 0x2212, {0x12}, "minus sign has no entry: low byte"},
      {932, 0xFF3C, {0x3C}, "fullwidth backslash has no entry: low byte"},
      {932, 0xFF71, {0x71}, "half-width katakana has no entry: low byte"},
      {932, 0x0000, {0x00}, "U+0000 is one byte 0x00"},
      {932, 0x0041, {0x41}, "ASCII: low byte"},
      {932, 0x0141, {0x41}, "a miss keeps only the low byte"},
      {932, 0xD800, {0x00}, "a surrogate is looked up like any unit"},
      {932, 0x005B, {0x5B}, "just below the first reverse row"},
      {932, 0xFFE5, {0x81, 0x8F}, "last reverse key"},
      {932, 0xFFE6, {0xE6}, "just above the last reverse row"},
      {936, 0x2225, {0xA1, 0xAC}, "parallel to chooses 0xA1AC"},
      {936, 0x554A, {0xB0, 0xA1}, "first hanzi"},
      {936, 0x2016, {0x16}, "double vertical line has no entry"},
      {936, 0x00A4, {0xA1, 0xE8}, "first reverse key"},
      {936, 0x00A3, {0xA3}, "just below the first reverse row"},
      {949, 0xAC00, {0xB0, 0xA1}, "first Hangul syllable"},
      {949, 0xAC02, {0x81, 0x41}, "additional Hangul syllable"},
      {949, 0xD7A3, {0xC6, 0x52}, "last Hangul syllable"},
      {949, 0x20AC, {0xAC}, "euro sign is absent"},
      {949, 0xFFE6, {0xA3, 0xDC}, "last reverse key"},
      {949, 0xFFE7, {0xE7}, "just above the last reverse row"},
      {950, 0x0023, {0xA1, 0xCC}, "number sign leaves as two bytes"},
      {950, 0x0040, {0xA2, 0x4E}, "commercial at leaves as two bytes"},
      {950, 0x0041, {0x41}, "other ASCII: low byte"},
      {950, 0x0022, {0x22}, "just below the first reverse row"},
      {950, 0x4E00, {0xA4, 0x40}, "first hanzi"},
      {950, 0xFF0F, {0xA2, 0x41}, "fullwidth solidus keeps its one remaining code"},
      {950, 0xFF5D, {0xA1, 0x62}, "last reverse key"},
      {950, 0xFF5E, {0x5E}, "just above the last reverse row"},
      {51932, 0x3042, {0xA4, 0xA2}, "hiragana a"},
      {51932, 0x30FC, {0xA1, 0xBC}, "long vowel mark chooses 0xA1BC"},
      {51932, 0x005C, {0xA1, 0xC0}, "backslash has a two-byte code here"},
      {51932, 0x301C, {0xA1, 0xC1}, "wave dash"},
      {2022, 0x005C, {0x21, 0x40}, "backslash"},
      {2022, 0x2212, {0x21, 0x5D}, "minus sign"},
      {2022, 0x30FC, {0x21, 0x3C}, "long vowel mark"},
      {2022, 0xFFE5, {0x21, 0x6F}, "last reverse key"},
  };
  return cases;
}

TEST(WideToDbcsCode, EncodesListedUnits) {
  for (const ReverseCase& c : ReverseCases()) {
    EXPECT_EQ(Encode(c.unit, RecordFor(c.id)), c.bytes)
        << c.id << " U+" << std::hex << c.unit << ": " << c.why;
  }
}

// Codes whose character leaves by another code: the characters with several codes, and 932's
// backslash, which leaves as the single byte 0x5C.
const std::map<std::uint32_t, std::map<std::uint16_t, std::uint16_t>> kOneWay = {
    {932, {{0x815F, 0x005C}, {0x8160, 0x815B}, {0x817C, 0x815B}}},
    {936, {{0xA1CE, 0xA1AC}}},
    {51932, {{0xA1DD, 0xA1BC}}},
};

TEST(DbcsTables, EveryForwardKeyMapsBackToItself) {
  for (const TableUnderTest& table : Tables()) {
    const CodePageRecord& record = table.record;
    const std::vector<std::uint16_t> keys = KeysOf(record.forwardRanges, record.forwardRangeCount);
    EXPECT_EQ(keys.size(), table.forwardKeys) << table.id;
    const auto oneWay = kOneWay.find(table.id);
    for (const std::uint16_t key : keys) {
      std::uint16_t back = key;
      if (oneWay != kOneWay.end() && oneWay->second.contains(key)) back = oneWay->second.at(key);
      ASSERT_EQ(Encode(Decode(key, record), record), BytesOf(back))
          << table.id << " key 0x" << std::hex << key;
    }
  }
}

TEST(DbcsTables, EveryReverseUnitDecodesBackToItself) {
  for (const TableUnderTest& table : Tables()) {
    const CodePageRecord& record = table.record;
    const std::vector<std::uint16_t> units = KeysOf(record.reverseRanges, record.reverseRangeCount);
    EXPECT_EQ(units.size(), table.reverseUnits) << table.id;
    for (const std::uint16_t unit : units) {
      const std::vector<std::uint8_t> bytes = Encode(unit, record);
      const std::uint16_t key =
          bytes.size() == 2 ? static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]) : bytes[0];
      ASSERT_EQ(Decode(key, record), unit) << table.id << " U+" << std::hex << unit;
    }
  }
}

// Outside the keys a table covers, including the gaps between its rows, every key passes
// through and every unit leaves as its low byte.
TEST(DbcsTables, EveryOtherKeyAndUnitPassesThrough) {
  for (const TableUnderTest& table : Tables()) {
    const CodePageRecord& record = table.record;
    const std::vector<std::uint16_t> keyList =
        KeysOf(record.forwardRanges, record.forwardRangeCount);
    const std::vector<std::uint16_t> unitList =
        KeysOf(record.reverseRanges, record.reverseRangeCount);
    const std::set<std::uint16_t> keys(keyList.begin(), keyList.end());
    const std::set<std::uint16_t> units(unitList.begin(), unitList.end());
    for (std::uint32_t n = 0; n <= 0xFFFF; ++n) {
      const auto value = static_cast<std::uint16_t>(n);
      if (!keys.contains(value)) {
        ASSERT_EQ(Decode(value, record), n == 0 ? 0x003F : n) << table.id << std::hex << " " << n;
      }
      if (!units.contains(value)) {
        ASSERT_EQ(Encode(value, record), BytesOf(value & 0xFF)) << table.id << std::hex << " " << n;
      }
    }
  }
}

// Shift_JIS lead/trail to JIS X 0208 row/cell by the arithmetic of the Japanese encodings.
std::uint16_t JisOf(std::uint16_t sjis) {
  const std::uint32_t lead = sjis >> 8;
  const std::uint32_t trail = sjis & 0xFF;
  const std::uint32_t a = trail < 0x9F ? 1 : 0;
  const std::uint32_t row = ((lead - (lead < 0xA0 ? 0x70u : 0xB0u)) << 1) - a;
  const std::uint32_t cell = trail - (a == 0 ? 0x7Eu : trail > 0x7F ? 0x20u : 0x1Fu);
  return static_cast<std::uint16_t>((row & 0xFF) << 8 | (cell & 0xFF));
}

// 51932 and 2022 are 932 moved to EUC-JP and row/cell codes, apart from the rows that differ.
TEST(DbcsTables, JapaneseTablesFollowFrom932) {
  const CodePageRecord& sjis = RecordFor(932);
  const std::map<std::uint16_t, Utf16Unit> differ51932 = {{0xA1C1, 0x301C}};
  const std::map<std::uint16_t, Utf16Unit> differ2022 = {{0x2141, 0x301C}, {0x215D, 0x2212}};
  for (const std::uint16_t key : KeysOf(sjis.forwardRanges, sjis.forwardRangeCount)) {
    const Utf16Unit unit = Decode(key, sjis);
    const auto euc = static_cast<std::uint16_t>(JisOf(key) + 0x8080);
    const std::uint16_t jis = JisOf(key);
    const Utf16Unit expectEuc = differ51932.contains(euc) ? differ51932.at(euc) : unit;
    const Utf16Unit expectJis = differ2022.contains(jis) ? differ2022.at(jis) : unit;
    ASSERT_EQ(Decode(euc, RecordFor(51932)), expectEuc) << std::hex << key;
    ASSERT_EQ(Decode(jis, RecordFor(2022)), expectJis) << std::hex << key;
  }
}

TEST(DbcsTables, ReverseSizeWordsHoldTheRestOfTheArray) {
  EXPECT_EQ(tables::kReverseRanges51932[0], 24738u);
  EXPECT_EQ(tables::kReverseValues51932[0], 13756u);
  EXPECT_EQ(tables::kReverseRanges2022[0], 24744u);
  EXPECT_EQ(tables::kReverseValues2022[0], 13758u);
}

// A table whose rows are out of order makes the early exit observable: the bisection alone
// would find both keys below, but each lies outside the first row's first or the last row's
// last, so the lookup must stop before probing.
TEST(DbcsCodeToWide, KeysOutsideFirstAndLastRowSkipTheSearch) {
  const std::uint16_t ranges[] = {0x0100, 0x0140, 0, 0x0010, 0x0020, 0x41, 0x0030, 0x0040, 0x52};
  std::uint16_t values[0x41 + 0x11 + 0x11];
  for (std::size_t i = 0; i < std::size(values); ++i)
    values[i] = static_cast<std::uint16_t>(0x1000 + i);
  const CodePageRecord record = MakeRecord(ranges, 3, values, ranges, 3, values);
  EXPECT_EQ(Decode(0x0015, record), 0x0015) << "below row 0's first, though row 1 holds it";
  EXPECT_EQ(Encode(0x0015, record), BytesOf(0x15));
  const std::uint16_t tail[] = {0x0010, 0x0040, 0, 0x0001, 0x0002, 0x31};
  const CodePageRecord shrunk = MakeRecord(tail, 2, values, tail, 2, values);
  EXPECT_EQ(Decode(0x0020, shrunk), 0x0020) << "above the last row's last, though row 0 holds it";
  EXPECT_EQ(Encode(0x0020, shrunk), BytesOf(0x20));
}

}  // namespace
}  // namespace corvane
