// Byte classes and JIS / Shift_JIS arithmetic.
#include <gtest/gtest.h>

#include <utility>

#include "japanese/byte_classes.h"

namespace corvane {
namespace {

struct LeadRow {
  std::uint8_t byte;
  std::uint32_t codePage;
  int expected;
  const char* why;
};

TEST(IsDbcsLeadByte, RangesPerCodePage) {
  const LeadRow rows[] = {
      {0x81, 932, 1, "first Shift_JIS lead"},
      {0x9F, 932, 1, "last lead of the low block"},
      {0xE0, 932, 1, "first lead of the high block"},
      {0xEF, 932, 1, "the test stops at 0xEF"},
      {0x80, 932, 0, "below the leads"},
      {0xA0, 932, 0, "between the blocks"},
      {0xF0, 932, 0, "0xF0-0xFC are single bytes here"},
      {0xFC, 932, 0, "0xF0-0xFC are single bytes here"},
      {0xA1, 936, 1, "EUC-style pages start at 0xA1"},
      {0xA0, 936, 0, "not 0x81 as in GBK"},
      {0xFE, 949, 1, "last EUC-style lead"},
      {0xFF, 950, 0, "0xFF is never a lead"},
      {0xA1, 51932, 1, "EUC-JP"},
      {0x8E, 51932, 0, "the katakana prefix is no lead here"},
      {0xA1, 51936, 0, "51936 has no lead bytes"},
      {0xA1, 2022, 0, "ISO-2022-JP has no lead bytes"},
      {0x81, 1252, 0, "single-byte page"},
      {0xC3, 65001, 0, "UTF-8 has no lead bytes in this sense"},
  };
  for (const LeadRow& r : rows) {
    EXPECT_EQ(IsDbcsLeadByte(r.byte, r.codePage), r.expected)
        << std::hex << int{r.byte} << " in " << std::dec << r.codePage << ": " << r.why;
  }
}

TEST(JisArithmetic, KnownPairs) {
  struct Row {
    std::uint8_t row, cell, lead, trail;
  };
  const Row rows[] = {
      {0x21, 0x21, 0x81, 0x40}, {0x24, 0x22, 0x82, 0xA0}, {0x30, 0x21, 0x88, 0x9F},
      {0x21, 0x5F, 0x81, 0x7E}, {0x21, 0x60, 0x81, 0x80}, {0x5E, 0x7E, 0x9F, 0xFC},
      {0x5F, 0x21, 0xE0, 0x40}, {0x7E, 0x7E, 0xEF, 0xFC},
  };
  for (const Row& r : rows) {
    std::uint8_t lead = 0, trail = 0, row = 0, cell = 0;
    JisPairToSjis(r.row, r.cell, lead, trail);
    EXPECT_EQ(std::make_pair(lead, trail), std::make_pair(r.lead, r.trail));
    SjisPairToJis(r.lead, r.trail, row, cell);
    EXPECT_EQ(std::make_pair(row, cell), std::make_pair(r.row, r.cell));
  }
  std::uint8_t row = 0, cell = 0;
  SjisPairToJis(0x81, 0x7F, row, cell);  // 0x7F, produced by no position, reads as 0x80
  EXPECT_EQ(std::make_pair(row, cell), std::make_pair(std::uint8_t{0x21}, std::uint8_t{0x60}));
}

TEST(PairTests, SjisAndEucJp) {
  struct Row {
    std::uint8_t pair[2];
    int sjis;
    int euc;
  };
  const Row rows[] = {
      {{0x82, 0xA0}, 1, 0}, {{0xFC, 0xFC}, 1, 1}, {{0x81, 0x7F}, 0, 0}, {{0xA4, 0xA2}, 0, 1},
      {{0xE0, 0xA1}, 1, 1}, {{0xA4, 0x41}, 0, 0}, {{0x8E, 0xB1}, 1, 0}, {{0xFE, 0xFE}, 0, 1},
      {{0x80, 0x40}, 0, 0}, {{0xF0, 0x40}, 1, 0},  // wider than the lead-byte test
  };
  for (const Row& r : rows) {
    EXPECT_EQ(IsSjisPair(r.pair), r.sjis) << std::hex << int{r.pair[0]} << " " << int{r.pair[1]};
    EXPECT_EQ(IsEucJpPair(r.pair), r.euc) << std::hex << int{r.pair[0]} << " " << int{r.pair[1]};
  }
}

}  // namespace
}  // namespace corvane
