// The code page registry: order, terminator, table pointers and the provider pass.
#include "codepages/registry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <tuple>

#include "codepages/dbcs_lookup.h"
#include "corvane.h"
#include "tests/support/platform_double.h"

namespace corvane {
namespace {

constexpr std::uint32_t kOrder[] = {
    40866, 40869, 88591, 88592, 88593, 88594, 88595, 88596, 88597, 88598, 88599,
    51932, 2022,  20866, 949,   10008, 10000, 932,   1256,  1251,  1250,  1253,
    1255,  1254,  1252,  950,   936,   40850, 40852, 40861, 40862, 28605, 1257,
};
class Registry : public ::testing::Test {
 protected:
  void TearDown() override {
    platform_double::Reset();
    BuildCodePageRegistry();
  }
  static void BuildWithSystem(std::initializer_list<std::uint32_t> codePages) {
    platform_double::SetSystemCodePages(codePages);
    EXPECT_EQ(BuildCodePageRegistry(), 1u);
  }
};

TEST_F(Registry, OrderCountAndTerminator) {
  BuildWithSystem({});
  const CodePageRegistry& reg = GetCodePageRegistry();
  ASSERT_EQ(reg.count, 33u);
  for (std::size_t i = 0; i < std::size(kOrder); ++i) {
    EXPECT_EQ(reg.records[i].id, kOrder[i]) << "slot " << i;
  }
  CodePageRecord terminator{};
  terminator.id = kTerminatorId;
  EXPECT_EQ(std::memcmp(&reg.records[33], &terminator, sizeof terminator), 0);
  CodePageRecord empty{};
  for (std::uint32_t slot = 34; slot < RegistryCapacity; ++slot) {
    EXPECT_EQ(std::memcmp(&reg.records[slot], &empty, sizeof empty), 0) << "slot " << slot;
  }
}

// Each record points at tables of its own kind: the single-byte ones at pages of the published
// shape, the double-byte ones with the published row counts and byte sizes (forward rows, forward
// values, reverse rows, reverse values; the reverse arrays of 51932 and 2022 open with a size word
// that their sizes count and their row counts do not).
TEST_F(Registry, RecordsPointAtTablesOfThePublishedShape) {
  BuildWithSystem({});
  // clang-format off
  const std::uint32_t dbcs[][9] = {
      // id    fwd rows, size  fwd values size  rev rows, size  rev values size
      {932,    88, 528,    13758,           4122, 24732,    13754},
      {936,    86, 516,    14890,           3631, 21786,    14888},
      {949,    270, 1620,  34092,           3386, 20316,    34092},
      {950,    181, 1086,  27406,           3820, 22920,    27406},
      {51932,  86, 516,    13758,           4123, 24740,    13758},
      {2022,   86, 516,    13758,           4124, 24746,    13760},
  };
  // clang-format on
  std::size_t doubleByte = 0;
  for (std::uint32_t id : kOrder) {
    const CodePageRecord& r = *FindCodePageRecord(id);
    const auto* row =
        std::find_if(std::begin(dbcs), std::end(dbcs), [id](const auto& d) { return d[0] == id; });
    if (row == std::end(dbcs)) {
      EXPECT_EQ(std::tuple(r.isMultiByte, r.byteToWideSize, r.lowPageLast, r.highPageLast),
                std::tuple(0u, 1536u, 2047u, 2047u))
          << id;
      EXPECT_TRUE(r.byteToWide != nullptr && r.lowPage != nullptr && r.highPage != nullptr) << id;
      EXPECT_EQ(r.forwardValues, nullptr) << id;
      continue;
    }
    ++doubleByte;
    const auto& d = *row;
    EXPECT_EQ(r.isMultiByte, 1u) << id;
    EXPECT_EQ(std::tuple(r.forwardRangeCount, r.forwardRangesSize, r.forwardValuesSize,
                         r.reverseRangeCount, r.reverseRangesSize, r.reverseValuesSize),
              std::tuple(d[1], d[2], d[3], d[4], d[5], d[6]))
        << id;
    EXPECT_EQ(r.byteToWide, nullptr) << id;
  }
  EXPECT_EQ(doubleByte, std::size(dbcs));
  // The forward tables of 51932 and 2022, which no conversion reads, on published samples.
  Utf16Unit unit = 0;
  DbcsCodeToWide(&unit, 0xA1C1, *FindCodePageRecord(51932));
  EXPECT_EQ(unit, 0x301C) << "wave dash, unlike 932";
  DbcsCodeToWide(&unit, 0x215D, *FindCodePageRecord(2022));
  EXPECT_EQ(unit, 0x2212) << "minus sign, unlike 51932";
}

TEST_F(Registry, ProvidersFollowTheSystemExceptOurOwnCodecs) {
  struct Case {
    std::initializer_list<std::uint32_t> system;
    std::uint32_t id;
    std::uint32_t provider;
    const char* why;
  };
  const Case cases[] = {
      {{}, 932, ProviderTables, "a system without 932 leaves Shift_JIS to the tables"},
      {{932}, 932, ProviderSystem, "a system with 932 converts it"},
      {{40850}, 40850, ProviderSystem, "even our own numbers go to a system that claims them"},
      {{2022, 51932}, 2022, ProviderTables, "ISO-2022-JP is always ours"},
      {{2022, 51932}, 51932, ProviderTables, "EUC-JP is always ours"},
      {{1252}, 1251, ProviderTables, "only the code pages the system names"},
  };
  for (const Case& c : cases) {
    BuildWithSystem(c.system);
    const CodePageRecord* r = FindCodePageRecord(c.id);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->provider, c.provider) << c.why;
  }
}

}  // namespace
}  // namespace corvane
