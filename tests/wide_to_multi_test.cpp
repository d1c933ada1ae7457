// CV_WideCharToMultiByte on every road, through the platform double.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "corvane.h"
#include "tests/support/conversion_fixture.h"

namespace corvane {
namespace {

struct Row {
  std::uint32_t codePage;
  const char* src;  // hex units; nul-terminated rows carry their terminator
  std::int32_t srcLen;
  std::int32_t dstCap;
  const char* out;  // hex: what the destination must hold; unused when measuring
  std::int32_t result;
  const char* why;
};

class WideToMulti : public ConversionTest {
 protected:
  void Check(const Row& r) {
    const Units src = U(r.src);
    Bytes dst(static_cast<std::size_t>(std::max(r.dstCap, 0)) + 1, 0xEE);
    std::int32_t defaultUsed = 77;
    const std::int32_t n = CV_WideCharToMultiByte(r.codePage, 0, src.data(), r.srcLen,
                                                  r.dstCap == 0 ? nullptr : dst.data(), r.dstCap,
                                                  nullptr, &defaultUsed);
    EXPECT_EQ(n, r.result) << r.why;
    if (r.dstCap > 0) {
      EXPECT_EQ(Hex(Bytes(dst.begin(), dst.begin() + std::max(0, std::min(n, r.dstCap)))),
                Hex(B(r.out)))
          << r.why;
    }
    EXPECT_EQ(dst.back(), 0xEE) << "wrote past the capacity: " << r.why;
    EXPECT_EQ(defaultUsed, 77) << "our own roads never write default-used: " << r.why;
  }
};

TEST_F(WideToMulti, OwnRoadsRows) {
  // clang-format off
  const Row rows[] = {
      {65001, "0041 0000", -1, 0, "", 2, "measure UTF-8 with its terminator"},
      {65001, "0041 0000", -1, 1, "41", 1, "the copy is cut at the capacity"},
      {65001, "00E9", 1, 10, "C3 A9", 2, "counted: no terminator"},
      {65001, "D83D DE00", 2, 10, "ED A0 BD ED B8 80", 6, "surrogates one by one"},
      {65001, "0041", 1, -5, "", 1, "negative capacity: the length, nothing written"},
      {2022, "0041 3042 0042 0000", -1, 0, "", 11, "escapes in and out, terminator"},
      {2022, "0041 3042 0042 0000", -1, 20, "41 1B 24 42 24 22 1B 28 42 42 00", 11, "the bytes"},
      {2022, "3042", 1, 0, "", 5, "ends in two-byte mode"},
      {2022, "3042", 1, 10, "1B 24 42 24 22", 5, "no escape back at the end"},
      {51932, "3042 0000", -1, 0, "", 3, "EUC-JP with terminator"},
      {51932, "3042 0000", -1, 3, "A4 A2", 2, "the transcoder keeps its last byte free"},
      {51932, "3042 005C FF71", 3, 10, "A4 A2 5C 71", 4, "single bytes pass"},
      {88591, "00E9 20AC", 2, 10, "E9 80", 2, "Latin-1 with euro"},
      {88591, "0061 4E00 0062", 3, 10, "61 62", 2, "unmapped units are dropped"},
      {88591, "0061 4E00 0062 0000", -1, 10, "61 62 00", 3, "and the terminator follows"},
      {88591, "0100 0080", 2, 10, "", 0, "no byte for C1 controls in ISO 8859"},
      {1252, "0041 0042 0000", -1, 1, "41", 1, "full: no terminator"},
      {1252, "0041 0042", 0, 10, "", 0, "empty count"},
      {1252, "0041 0000 0042", 3, 10, "41 00 42", 3, "U+0000 in a count is the byte 0"},
      {1252, "D83D DE00 0041", 3, 10, "41", 1, "single-byte drops surrogates"},
      {10000, "2126 03A9 FB01", 3, 10, "BD", 1, "Ohm sign, not omega; no ligature"},
      {40866, "25D9 000A", 2, 10, "0A", 1, "DOS glyphs own the control bytes"},
      {88598, "05BE 002D", 2, 10, "2D", 1, "maqaf takes the hyphen's byte"},
      {932, "3042 FF71", 2, 10, "82 A0 71", 3, "half-width kana leave as low bytes"},
      {932, "D83D DE00", 2, 10, "3D 00", 2, "double-byte writes low bytes"},
      {932, "0141 301C", 2, 10, "41 1C", 2, "misses write their low byte"},
      {932, "0041 3042", 2, 2, "41", 1, "a pair never half-written"},
      {932, "0041 3042 0000", -1, 2, "41", 1, "and no terminator after it"},
      {932, "3042 0000", -1, 3, "82 A0 00", 3, "exact fit with terminator"},
      {950, "0023 0041", 2, 10, "A1 CC 41", 3, "Big5 has its own number sign"},
      {949, "AC00 AC02", 2, 10, "B0 A1 81 41", 4, "Hangul"},
      {1252, "0041", 1, -3, "", 0, "negative capacity on the table road"},
      {2022, "0041", 1, -3, "", 0, "and through Shift_JIS"},
  };
  // clang-format on
  for (const Row& r : rows)
    Check(r);
}

TEST_F(WideToMulti, SystemRoadGetsEverythingUnchanged) {
  UseSystemFor({1252, 932});
  const std::uint16_t src[] = {0x41, 0x3042, 0x42, 0};
  std::uint8_t dst[16] = {};
  const char def = '*';
  std::int32_t used = 5;
  platform_double::TakeSystemCalls();
  EXPECT_EQ(CV_WideCharToMultiByte(1252, 0x400, src, -1, dst, 16, &def, &used), 4);
  auto calls = platform_double::TakeSystemCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].flags, 0x400u);
  EXPECT_EQ(calls[0].codePage, 1252u);

  // Measuring converts into a scratch buffer of 3 x units + 60 bytes.
  CV_WideCharToMultiByte(1252, 0, src, 3, nullptr, 0, nullptr, nullptr);
  const std::uint16_t ten[11] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 0};
  CV_WideCharToMultiByte(1252, 0, ten, 10, nullptr, 0, nullptr, nullptr);
  CV_WideCharToMultiByte(1252, 0, ten, -1, nullptr, 0, nullptr, nullptr);
  calls = platform_double::TakeSystemCalls();
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].dstCap, 3 * 3 + 60);
  EXPECT_EQ(calls[1].dstCap, 90);
  EXPECT_EQ(calls[2].dstCap, 93) << "w_strlen 10 + 1 units";

  // 2022 converts as 932 on the system road, then transcodes what the system wrote.
  EXPECT_EQ(CV_WideCharToMultiByte(2022, 0, src, 1, dst, 16, nullptr, nullptr), 1);
  calls = platform_double::TakeSystemCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].codePage, 932u);
  EXPECT_EQ(CV_WideCharToMultiByte(874, 0, src, 1, dst, 16, nullptr, nullptr), 0)
      << "no record and no system support";
}

TEST_F(WideToMulti, PseudoCodePages) {
  const std::uint16_t src[] = {0x3042};
  std::uint8_t dst[16] = {};
  // 2023 with nothing to look at measures as ISO-2022-JP.
  EXPECT_EQ(CV_WideCharToMultiByte(2023, 0, src, 1, nullptr, 0, nullptr, nullptr), 5);
  // 2023 looks at what the destination holds when the call begins.
  dst[0] = 0x82;
  dst[1] = 0xA0;
  EXPECT_EQ(CV_WideCharToMultiByte(2023, 0, src, 1, dst, 2, nullptr, nullptr), 2);
  EXPECT_EQ(dst[0], 0x82);
  dst[0] = 0xA4;
  dst[1] = 0xA2;
  EXPECT_EQ(CV_WideCharToMultiByte(2023, 0, src, 1, dst, 3, nullptr, nullptr), 2);
  EXPECT_EQ(dst[0], 0xA4) << "EUC-JP detected";
  platform_double::SetThreadLanguage(0x0411);
  EXPECT_EQ(CV_WideCharToMultiByte(3, 0, src, 1, dst, 16, nullptr, nullptr), 2);
  EXPECT_EQ(dst[0], 0x82) << "3 -> 932 for a Japanese thread";
}

// Measuring must give exactly what a conversion with room enough writes, on every road.
TEST_F(WideToMulti, MeasureEqualsConversion) {
  const Units texts[] = {{0x41, 0x3042, 0x42, 0x0A, 0x3044}, {0xE9, 0x20AC, 0x4E00}, {0}};
  for (const CodePageRecord* r = GetCodePageRegistry().records; r->id != kTerminatorId; ++r) {
    for (std::uint32_t cp : {r->id, 65001u}) {
      for (const Units& text : texts) {
        for (std::int32_t len : {-1, static_cast<std::int32_t>(text.size())}) {
          Units src = text;
          src.push_back(0);
          const std::int32_t measured =
              CV_WideCharToMultiByte(cp, 0, src.data(), len, nullptr, 0, nullptr, nullptr);
          Bytes dst(static_cast<std::size_t>(measured) + 8);
          EXPECT_EQ(CV_WideCharToMultiByte(cp, 0, src.data(), len, dst.data(),
                                           static_cast<std::int32_t>(dst.size()), nullptr, nullptr),
                    measured)
              << cp;
        }
      }
    }
  }
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

// EUC-JP with room for two bytes per unit goes straight from UTF-16; with less room it goes
// through Shift_JIS text and the transcoder. Both must write the same bytes.
TEST_F(WideToMulti, DirectEucJpRoadAgreesWithTheTranscoder) {
  std::mt19937 rng(51932);
  for (int trial = 0; trial < 500; ++trial) {
    Units text(1 + rng() % 20);
    for (std::uint16_t& u : text) {
      const std::uint16_t kinds[] = {static_cast<std::uint16_t>(0x20 + rng() % 0x60),
                                     static_cast<std::uint16_t>(0x3041 + rng() % 0x50),
                                     static_cast<std::uint16_t>(0x4E00 + rng() % 0x5000),
                                     static_cast<std::uint16_t>(rng() % 0x10000),
                                     0x0181,
                                     0xFF71};
      u = kinds[rng() % std::size(kinds)];
    }
    const auto n = static_cast<std::int32_t>(text.size());
    for (std::int32_t len : {n, -1}) {
      Units src = text;
      src.push_back(0);
      Bytes roomy(2 * text.size() + 8);
      const std::int32_t r1 =
          CV_WideCharToMultiByte(51932, 0, src.data(), len, roomy.data(),
                                 static_cast<std::int32_t>(roomy.size()), nullptr, nullptr);
      Bytes tight(static_cast<std::size_t>(r1) + 1);
      const std::int32_t r2 =
          CV_WideCharToMultiByte(51932, 0, src.data(), len, tight.data(), r1 + 1, nullptr, nullptr);
      roomy.resize(static_cast<std::size_t>(r1));
      tight.resize(static_cast<std::size_t>(std::max(r2, 0)));
      ASSERT_EQ(Hex(roomy), Hex(tight)) << Hex(text) << " length " << len;
    }
  }
}

}  // namespace
}  // namespace corvane
