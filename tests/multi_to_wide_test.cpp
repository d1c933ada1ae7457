// CV_MultiByteToWideChar on every road, through the platform double.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "codepages/tables/one_way_mappings.h"
#include "corvane.h"
#include "japanese/byte_classes.h"
#include "tests/support/conversion_fixture.h"

namespace corvane {
namespace {

constexpr std::int32_t kNoConsumed = -99;  // the row passes no consumed pointer
constexpr std::uint32_t kNoState = 0;      // the row passes no shift state pointer

struct Row {
  std::uint32_t codePage;
  const char* src;  // hex bytes; nul-terminated rows carry their terminator
  std::int32_t srcLen;
  std::int32_t dstCap;
  const char* out;  // hex units
  std::int32_t result;
  std::int32_t consumed;  // expected; kNoConsumed: no pointer passed
  std::uint32_t stateIn;  // kNoState: no pointer passed
  std::uint32_t stateOut;
  const char* why;
};

class MultiToWide : public ConversionTest {
 protected:
  void Check(const Row& r) {
    const Bytes src = B(r.src);
    Units dst(static_cast<std::size_t>(std::max(r.dstCap, 0)) + 1, 0xEEEE);
    std::int32_t consumed = 12345;
    std::uint32_t state = r.stateIn;
    const std::int32_t n = CV_MultiByteToWideChar(
        r.codePage, 0, src.data(), r.srcLen, r.dstCap == 0 ? nullptr : dst.data(), r.dstCap,
        r.consumed == kNoConsumed ? nullptr : &consumed, r.stateIn == kNoState ? nullptr : &state);
    EXPECT_EQ(n, r.result) << r.why;
    if (r.dstCap > 0) {
      EXPECT_EQ(Hex(Units(dst.begin(), dst.begin() + std::max(0, std::min(n, r.dstCap)))),
                Hex(U(r.out)))
          << r.why;
    }
    EXPECT_EQ(dst.back(), 0xEEEE) << "wrote past the capacity: " << r.why;
    if (r.consumed != kNoConsumed) {
      EXPECT_EQ(consumed, r.consumed) << r.why;
    }
    if (r.stateIn != kNoState) {
      EXPECT_EQ(state, r.stateOut) << r.why;
    }
  }
};

TEST_F(MultiToWide, TableRoadRows) {
  // clang-format off
  const Row rows[] = {
      {1252, "61 62 63 00", -1, 0, "", 4, kNoConsumed, kNoState, 0, "measure: terminator counts"},
      {1252, "61 62 63", 3, 0, "", 3, 3, kNoState, 0, "measure, counted"},
      {932, "82 A0 41", 3, 0, "", 2, 3, kNoState, 0, "measure a pair"},
      {88591, "41 E9 00", -1, 10, "0041 00E9 0000", 3, kNoConsumed, kNoState, 0, "terminated"},
      {88591, "41 00", 2, 10, "0041 003F", 2, kNoConsumed, kNoState, 0, "a 0 byte in a count has no character"},
      {88591, "80 81", 2, 10, "20AC 003F", 2, kNoConsumed, kNoState, 0, "euro; 0x81 has none"},
      {10000, "DE", 1, 10, "0066 0069", 2, kNoConsumed, kNoState, 0, "one byte, two units"},
      {10000, "41 DE 00", -1, 2, "0041", 1, kNoConsumed, kNoState, 0, "two units never split: byte left, no terminator"},
      {10000, "41 DE 00", -1, 3, "0041 0066 0069", 3, kNoConsumed, kNoState, 0, "fits exactly: no room for the terminator"},
      {1252, "61 62 63 00", -1, 2, "0061 0062", 2, kNoConsumed, kNoState, 0, "full: no terminator"},
      {20866, "0A 0D C1", 3, 10, "00AB 003F 0430", 3, kNoConsumed, kNoState, 0, "KOI8-R's own control row"},
      {932, "82 A0 82", 3, 10, "3042", 1, kNoConsumed, kNoState, 0, "trailing lead dropped"},
      {932, "82 A0 82 00", -1, 10, "3042 0000", 2, kNoConsumed, kNoState, 0, "trailing lead before the terminator dropped"},
      {932, "82 A0 82", 3, 10, "3042", 1, 2, kNoState, 0, "consumed stops before the cut pair"},
      {932, "B1 85 40 00", 4, 10, "00B1 8540 003F", 3, kNoConsumed, kNoState, 0, "misses pass through, key 0 is '?'"},
      {936, "B0 A1 81 41", 4, 10, "554A 0081 0041", 3, kNoConsumed, kNoState, 0, "0x81 is no lead for 936"},
      {949, "B0 A1 A2 E6", 4, 10, "AC00 A2E6", 2, kNoConsumed, kNoState, 0, "absent euro passes through"},
      {950, "A4 40 78", 3, 10, "4E00 0078", 2, kNoConsumed, kNoState, 0, "Big5"},
      {932, "82 A0 82 A2", 4, 1, "3042", 1, kNoConsumed, kNoState, 0, "one unit of room"},
      {51932, "A4 A2 41", 3, 10, "3042 0041", 2, kNoConsumed, kNoState, 0, "EUC-JP through Shift_JIS"},
      {51932, "41 00 A4 A2 8E B1", 6, 10, "0041 003F 3042 00B1", 4, kNoConsumed, kNoState, 0, "a 0 byte in a count has no character"},
      {51932, "A4 A2 8E B1 00", -1, 10, "3042 00B1 0000", 3, kNoConsumed, kNoState, 0, "nul-terminated EUC-JP ends with U+0000"},
      {51932, "A4 A2 00", -1, 1, "3042", 1, kNoConsumed, kNoState, 0, "no room for its terminator"},
      {2022, "1B 24 42 24 22", 5, 10, "3042", 1, kNoConsumed, 1, 2, "enters two-byte mode"},
      {2022, "24 24", 2, 10, "3044", 1, kNoConsumed, 2, 2, "carries two-byte mode in"},
      {2022, "24 22", 2, 0, "", 2, kNoConsumed, 2, 2, "measuring starts single-byte and leaves the state"},
      {2022, "24 22", 2, 10, "0024 0022", 2, kNoConsumed, kNoState, 0, "no state: single-byte"},
      {2022, "1B 24 42 24 22 1B 28 42 41 00", -1, 10, "3042 0041 0000", 3, kNoConsumed, 1, 1, "round trip of modes"},
      {2022, "41 1B 24", 3, 10, "0041", 1, 1, 1, 2, "a cut escape still switches the mode"},
      {65001, "41 00", -1, 10, "0041 0000", 2, kNoConsumed, kNoState, 0, "UTF-8 terminated"},
      {65001, "41", 1, 10, "0041 0000", 2, kNoConsumed, kNoState, 0, "the decoder terminates counted input too"},
      {65001, "41 00", -1, 1, "0041", 1, kNoConsumed, kNoState, 0, "UTF-8 copy is cut at the capacity"},
      {65001, "C3 A9 E2 82", 4, 10, "00E9 0000", 2, 2, kNoState, 0, "stops at the cut sequence"},
      {65001, "C3 A9 00", -1, 0, "", 2, 2, kNoState, 0, "measuring counts units + 1"},
      {2023, "A4 A2 00", -1, 10, "3042 0000", 2, kNoConsumed, kNoState, 0, "auto-detected EUC-JP"},
      {2023, "82 A0", 2, 10, "3042", 1, kNoConsumed, kNoState, 0, "auto-detected Shift_JIS"},
      {1252, "61", -4, 10, "", 0, kNoConsumed, kNoState, 0, "a negative count is empty"},
  };
  // clang-format on
  for (const Row& r : rows)
    Check(r);
}

TEST_F(MultiToWide, SystemRoad) {
  UseSystemFor({1252, 932, 874});
  // clang-format off
  const Row rows[] = {
      {1252, "61 E9 00", -1, 10, "0061 00E9 0000", 3, kNoConsumed, kNoState, 0, "the double converts bytes as units"},
      {874, "A1", 1, 10, "00A1", 1, kNoConsumed, kNoState, 0, "no record: the system"},
      {932, "82 A0 82", 3, 10, "0082 00A0", 2, 2, kNoState, 0, "consumed keeps the cut lead from the system"},
      {51932, "A4 A2", 2, 10, "0082 00A0", 2, kNoConsumed, kNoState, 0, "EUC-JP reaches the system as Shift_JIS"},
      {12345, "61", 1, 10, "", 0, kNoConsumed, kNoState, 0, "unknown everywhere"},
  };
  // clang-format on
  for (const Row& r : rows)
    Check(r);
  platform_double::TakeSystemCalls();
  Units dst(4);
  const std::uint8_t src[] = {'a', 'b', 0};
  CV_MultiByteToWideChar(1252, 0xFFFF, src, -1, dst.data(), 4, nullptr, nullptr);
  const auto calls = platform_double::TakeSystemCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].flags, 0u) << "the caller's flags never reach the system";
  EXPECT_EQ(calls[0].srcLen, -1);
  EXPECT_EQ(calls[0].dstCap, 4);
}

TEST_F(MultiToWide, PseudoCodePagesResolveFirst) {
  UseSystemFor({});
  platform_double::SetThreadLanguage(0x0419);
  platform_double::SetAnsiCodePage(88597);
  const std::uint8_t koi[] = {0xC1};
  Units dst(2);
  EXPECT_EQ(CV_MultiByteToWideChar(3, 0, koi, 1, dst.data(), 2, nullptr, nullptr), 1);
  EXPECT_EQ(dst[0], 0x0411) << "3 -> 1251 (Russian): 0xC1 is Be";
  EXPECT_EQ(CV_MultiByteToWideChar(0, 0, koi, 1, dst.data(), 2, nullptr, nullptr), 1);
  EXPECT_EQ(dst[0], 0x0391) << "0 -> the ANSI code page 88597: 0xC1 is Alpha";
  // A thread language without a code page resolves 3 to 0, which converts as the ANSI code page
  // does: on our tables when they take it, through the system as 0 when the system does.
  platform_double::SetThreadLanguage(0x0409);
  platform_double::TakeSystemCalls();
  EXPECT_EQ(CV_MultiByteToWideChar(3, 0, koi, 1, dst.data(), 2, nullptr, nullptr), 1);
  EXPECT_EQ(dst[0], 0x0391) << "3 -> 0 -> the tables of the ANSI code page 88597";
  EXPECT_TRUE(platform_double::TakeSystemCalls().empty());
  const std::uint16_t alpha[] = {0x0391};
  std::uint8_t byte = 0;
  EXPECT_EQ(CV_WideCharToMultiByte(3, 0, alpha, 1, &byte, 1, nullptr, nullptr), 1);
  EXPECT_EQ(byte, 0xC1) << "and back";
  UseSystemFor({1252});
  platform_double::SetThreadLanguage(0x0409);
  EXPECT_EQ(CV_MultiByteToWideChar(3, 0, koi, 1, dst.data(), 2, nullptr, nullptr), 1);
  const auto calls = platform_double::TakeSystemCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].codePage, 0u) << "the system takes 0 as its own ANSI code page";
}

TEST_F(MultiToWide, OnlyIso2022JpTouchesTheShiftState) {
  const std::uint8_t src[] = {'a', 0};
  Units dst(4);
  std::uint32_t state = 2;  // two-byte mode, which 932 must leave as it is
  CV_MultiByteToWideChar(932, 0, src, -1, dst.data(), 4, nullptr, &state);
  EXPECT_EQ(state, 2u);
}

// What one character encodes to, read as a code: lead byte first, a lone byte as itself. (The
// EUC-JP transcoder keeps the last byte of the destination free.)
std::uint16_t EncodeOne(std::uint32_t cp, std::uint16_t unit) {
  std::uint8_t out[3] = {};
  const std::int32_t n = CV_WideCharToMultiByte(cp, 0, &unit, 1, out, 3, nullptr, nullptr);
  return static_cast<std::uint16_t>(n == 2 ? out[0] << 8 | out[1] : out[0]);
}

// The code a character decoded from `code` goes back to: its own, unless it is one-way.
std::uint16_t CodeBack(std::uint32_t cp, std::uint16_t unit, std::uint16_t code) {
  for (const tables::OneWayMapping& m : tables::kOneWayMappings)
    if (m.codePage == cp && m.unit == unit) return m.encodesTo;
  return code;
}

TEST_F(MultiToWide, OneWayCharactersGoToTheirListedCode) {
  for (const tables::OneWayMapping& m : tables::kOneWayMappings)
    EXPECT_EQ(EncodeOne(m.codePage, m.unit), m.encodesTo) << m.codePage << " " << m.unit;
}

// Every byte of every single-byte page that stands for one character decodes to it and encodes
// back to itself, or where the one-way list says.
TEST_F(MultiToWide, SingleBytePagesRoundTripEveryByte) {
  int checked = 0;
  for (const CodePageRecord* r = GetCodePageRegistry().records; r->id != kTerminatorId; ++r) {
    if (r->isMultiByte != 0) continue;
    for (int b = 1; b <= 0xFF; ++b) {
      const auto byte = static_cast<std::uint8_t>(b);
      Units wide(3, 0);
      const std::int32_t n =
          CV_MultiByteToWideChar(r->id, 0, &byte, 1, wide.data(), 3, nullptr, nullptr);
      if (n != 1 || (wide[0] == 0x3F && b != 0x3F)) continue;  // no character, or two units
      EXPECT_EQ(EncodeOne(r->id, wide[0]), CodeBack(r->id, wide[0], byte))
          << r->id << " byte " << b << " U+" << Hex(Units{wide[0]});
      ++checked;
    }
  }
  EXPECT_GT(checked, 27 * 200);
}

// Every mapped key of every double-byte page decodes and encodes back to itself, or where the
// one-way list says.
TEST_F(MultiToWide, DoubleBytePagesRoundTripEveryKey) {
  for (std::uint32_t cp : {932u, 936u, 949u, 950u}) {
    int mapped = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      if (!IsDbcsLeadByte(static_cast<std::uint8_t>(lead), cp)) continue;
      for (int trail = 0x40; trail <= 0xFE; ++trail) {
        const std::uint8_t key[2] = {static_cast<std::uint8_t>(lead),
                                     static_cast<std::uint8_t>(trail)};
        const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
        std::uint16_t unit = 0;
        ASSERT_EQ(CV_MultiByteToWideChar(cp, 0, key, 2, &unit, 1, nullptr, nullptr), 1);
        if (unit == code) continue;  // outside the table: passed through
        ++mapped;
        ASSERT_EQ(EncodeOne(cp, unit), CodeBack(cp, unit, code)) << cp << " " << code;
      }
    }
    // 949's 5696 codes with leads 0x81-0xA0 cannot be reached: those bytes are single bytes to
    // the lead-byte test.
    const int expected = cp == 932 ? 6879 : cp == 936 ? 7445 : cp == 949 ? 17046 - 5696 : 13703;
    EXPECT_EQ(mapped, expected) << cp;
  }
}

// Random text that cp can carry both ways: ASCII mixed with characters decoded from random keys
// that the code page maps (UTF-8: any unit, surrogate pairs included).
Units RandomText(std::uint32_t cp, std::mt19937& rng) {
  Units wide;
  while (wide.size() < 4000) {
    if (rng() % 3 == 0) {
      wide.push_back(static_cast<std::uint16_t>(rng() % 8 == 0 ? '\n' : 'a' + rng() % 26));
      continue;
    }
    if (cp == 65001) {
      const std::uint16_t kinds[] = {static_cast<std::uint16_t>(0xA0 + rng() % 0x760),
                                     static_cast<std::uint16_t>(0x800 + rng() % 0xD000),
                                     static_cast<std::uint16_t>(0xD800 + rng() % 0x400)};
      const std::uint16_t u = kinds[rng() % 3];
      wide.push_back(u);
      if (u >= 0xD800) wide.push_back(static_cast<std::uint16_t>(0xDC00 + rng() % 0x400));
      continue;
    }
    const std::uint8_t key[2] = {
        static_cast<std::uint8_t>(cp == 932 ? 0x88 + rng() % 0x18 : 0xB0 + rng() % 0x18),
        static_cast<std::uint8_t>(cp == 932 ? 0x40 + rng() % 0xBD : 0xA1 + rng() % 0x5E)};
    std::uint16_t u = 0;
    CV_MultiByteToWideChar(cp, 0, key, 2, &u, 1, nullptr, nullptr);
    if (u != (key[0] << 8 | key[1])) wide.push_back(u);  // mapped, not passed through
  }
  return wide;
}

// A long text decoded in pieces cut anywhere, each piece's unconsumed tail carried into the next,
// gives the same UTF-16 as one call.
TEST_F(MultiToWide, PiecesCutAnywhereCarryTheirTail) {
  std::mt19937 rng(42);
  for (std::uint32_t cp : {932u, 936u, 949u, 950u, 65001u}) {
    const Units wide = RandomText(cp, rng);
    Bytes text(wide.size() * 3 + 8);
    const std::int32_t len = CV_WideCharToMultiByte(
        cp, 0, wide.data(), static_cast<std::int32_t>(wide.size()), text.data(),
        static_cast<std::int32_t>(text.size()), nullptr, nullptr);
    text.resize(static_cast<std::size_t>(len));
    Units whole(text.size() + 1);
    std::int32_t n =
        CV_MultiByteToWideChar(cp, 0, text.data(), len, whole.data(),
                               static_cast<std::int32_t>(whole.size()), nullptr, nullptr);
    // The UTF-8 decoder ends every result with its terminator unit.
    const bool terminated = cp == 65001;
    whole.resize(static_cast<std::size_t>(n - (terminated ? 1 : 0)));
    ASSERT_EQ(Hex(whole), Hex(wide)) << cp;

    Units joined;
    Bytes carry;
    std::size_t at = 0;
    while (at < text.size()) {
      const std::size_t take = std::min(text.size() - at, std::size_t{1} + rng() % 9);
      Bytes piece = carry;
      piece.insert(piece.end(), text.begin() + static_cast<std::ptrdiff_t>(at),
                   text.begin() + static_cast<std::ptrdiff_t>(at + take));
      at += take;
      Units out(piece.size() + 1);
      std::int32_t consumed = 0;
      n = CV_MultiByteToWideChar(cp, 0, piece.data(), static_cast<std::int32_t>(piece.size()),
                                 out.data(), static_cast<std::int32_t>(out.size()), &consumed,
                                 nullptr);
      joined.insert(joined.end(), out.begin(), out.begin() + n - (terminated ? 1 : 0));
      carry.assign(piece.begin() + consumed, piece.end());
    }
    EXPECT_TRUE(carry.empty()) << cp;
    EXPECT_EQ(Hex(joined), Hex(wide)) << cp;
  }
}

}  // namespace
}  // namespace corvane

namespace corvane {
namespace {

// Counted EUC-JP and ISO-2022-JP on our tables take a direct road past the Shift_JIS text;
// nul-terminated input never does. On bytes without a 0 both must store the same units and end in
// the same shift state, at every capacity.
TEST_F(MultiToWide, DirectJapaneseRoadsAgreeWithTheTranscoders) {
  std::mt19937 rng(51932);
  const std::uint8_t interesting[] = {0x8E, 0x8F, 0xA0, 0xA1, 0xB0, 0xFE, 0xFF, 0x80, 0x41,
                                      0x0A, 0x0D, 0x1B, 0x24, 0x28, 0x42, 0x4B, 0x21, 0x7E};
  for (std::uint32_t cp : {51932u, 2022u}) {
    for (int trial = 0; trial < 400; ++trial) {
      Bytes text(1 + rng() % 24);
      for (std::uint8_t& b : text) {
        const auto pairByte =
            static_cast<std::uint8_t>(cp == 2022 ? 0x21 + rng() % 94 : 0xA1 + rng() % 94);
        b = rng() % 3 ? pairByte : interesting[rng() % std::size(interesting)];
      }
      Bytes nul = text;
      nul.push_back(0);
      const std::uint32_t stateIn = 1 + rng() % 2;
      for (std::int32_t cap = 1; cap <= static_cast<std::int32_t>(text.size()) + 1; ++cap) {
        Units counted(static_cast<std::size_t>(cap)), terminated(static_cast<std::size_t>(cap));
        std::uint32_t s1 = stateIn, s2 = stateIn;
        const std::int32_t n =
            CV_MultiByteToWideChar(cp, 0, text.data(), static_cast<std::int32_t>(text.size()),
                                   counted.data(), cap, nullptr, &s1);
        const std::int32_t m =
            CV_MultiByteToWideChar(cp, 0, nul.data(), -1, terminated.data(), cap, nullptr, &s2);
        ASSERT_TRUE(m == n || (m == n + 1 && terminated[static_cast<std::size_t>(n)] == 0))
            << cp << ": " << Hex(text) << " cap " << cap;
        counted.resize(static_cast<std::size_t>(n));
        terminated.resize(static_cast<std::size_t>(n));
        ASSERT_EQ(Hex(counted), Hex(terminated)) << cp << ": " << Hex(text) << " cap " << cap;
        ASSERT_EQ(s1, s2) << cp << ": " << Hex(text) << " cap " << cap;
      }
    }
  }
}

}  // namespace
}  // namespace corvane
