// CV_MultiByteToWideChar and CV_WideCharToMultiByte on every road, through the platform double:
// rows of rules, every table entry both ways, measuring against converting, and a stream decoded
// in pieces.
#include <gtest/gtest.h>

#include <random>

#include "codepages/tables/one_way_mappings.h"
#include "corvane.h"
#include "japanese/byte_classes.h"
#include "tests/support/conversion_fixture.h"

namespace corvane {
namespace {

constexpr std::int32_t kNone = -99;  // the row passes no consumed pointer / shift state

struct Row {
  std::uint32_t codePage;
  const char* src;  // hex bytes (decoding) or units (encoding); -1 rows carry their terminator
  std::int32_t srcLen;
  std::int32_t dstCap;
  const char* out;  // hex units (decoding) or bytes (encoding)
  std::int32_t result;
  std::int32_t consumed = kNone;  // expected (decoding only)
  std::int32_t stateIn = kNone;   // decoding only
  std::int32_t stateOut = kNone;
  const char* why = "";
};

class Conversion : public ConversionTest {
 protected:
  // Converts a row, checks its result and output and that nothing past the capacity was written.
  template <bool kDecode>
  void Check(const Row& r) {
    using In = std::conditional_t<kDecode, std::uint8_t, std::uint16_t>;
    using Out = std::conditional_t<kDecode, std::uint16_t, std::uint8_t>;
    const std::vector<In> src = FromHex<In>(r.src);
    std::vector<Out> dst(static_cast<std::size_t>(std::max(r.dstCap, 0)) + 1, Out(0xEEEE));
    Out* to = r.dstCap == 0 ? nullptr : dst.data();
    std::int32_t consumed = 12345, used = 77;
    auto state = static_cast<std::uint32_t>(r.stateIn);
    std::int32_t n = 0;
    if constexpr (kDecode) {
      n = CV_MultiByteToWideChar(r.codePage, 0, src.data(), r.srcLen, to, r.dstCap,
                                 r.consumed == kNone ? nullptr : &consumed,
                                 r.stateIn == kNone ? nullptr : &state);
    } else {
      n = CV_WideCharToMultiByte(r.codePage, 0, src.data(), r.srcLen, to, r.dstCap, nullptr, &used);
      EXPECT_EQ(used, 77) << "our own roads never write default-used: " << r.why;
    }
    EXPECT_EQ(n, r.result) << r.why;
    if (r.dstCap > 0) {
      const auto written = static_cast<std::size_t>(std::clamp(n, 0, r.dstCap));
      EXPECT_EQ(Hex(std::vector<Out>(dst.begin(), dst.begin() + static_cast<long>(written))),
                Hex(FromHex<Out>(r.out)))
          << r.why;
    }
    EXPECT_EQ(dst.back(), Out(0xEEEE)) << "wrote past the capacity: " << r.why;
    if (r.consumed != kNone) {
      EXPECT_EQ(consumed, r.consumed) << r.why;
    }
    if (r.stateIn != kNone) {
      EXPECT_EQ(state, static_cast<std::uint32_t>(r.stateOut)) << r.why;
    }
  }
};

TEST_F(Conversion, DecodingOnOurOwnRoads) {
  // clang-format off
  const Row rows[] = {
      {932, "82 A0 41", 3, 0, "", 2, 3, kNone, kNone, "measure a pair, consumed all"},
      {88591, "41 E9 00", -1, 10, "0041 00E9 0000", 3, kNone, kNone, kNone, "terminated"},
      {10000, "DE", 1, 10, "0066 0069", 2, kNone, kNone, kNone, "one byte, two units"},
      {10000, "41 DE 00", -1, 2, "0041", 1, kNone, kNone, kNone, "two units never split: byte left, no terminator"},
      {20866, "0A 0D C1", 3, 10, "00AB 003F 0430", 3, kNone, kNone, kNone, "KOI8-R's own control row"},
      {932, "82 A0 82 00", -1, 10, "3042 0000", 2, kNone, kNone, kNone, "trailing lead before the terminator dropped"},
      {932, "82 A0 82", 3, 10, "3042", 1, 2, kNone, kNone, "consumed stops before the cut pair"},
      {932, "B1 85 40 00", 4, 10, "00B1 8540 003F", 3, kNone, kNone, kNone, "misses pass through, key 0 is '?'"},
      {936, "B0 A1 81 41", 4, 10, "554A 0081 0041", 3, kNone, kNone, kNone, "0x81 is no lead for 936"},
      {949, "B0 A1 A2 E6", 4, 10, "AC00 A2E6", 2, kNone, kNone, kNone, "absent euro passes through"},
      {51932, "41 00 A4 A2 8E B1", 6, 10, "0041 003F 3042 00B1", 4, kNone, kNone, kNone, "EUC-JP; a 0 in a count is '?'"},
      {51932, "41 A4 A2", 2, 10, "0041", 1, kNone, kNone, kNone, "nothing past the count is read"},
      {51932, "A4 A0 41", 3, 10, "00A4 00A0 0041", 3, kNone, kNone, kNone, "a lead before 0xA0 is no pair"},
      {2022, "24 22", 2, 0, "", 2, kNone, 2, 2, "measuring starts single-byte and leaves the state"},
      {2022, "1B 24 42 24 22 1B 28 42 41 00", -1, 10, "3042 0041 0000", 3, kNone, 1, 1, "round trip of modes"},
      {2022, "41 1B 24", 3, 10, "0041", 1, 1, 1, 2, "a cut escape still switches the mode"},
      {2022, "1B 24 42 24 22 24 24 0A", 8, 1, "3042", 1, kNone, 1, 1, "full: the state is the text's end"},
      {932, "61 00", -1, 4, "0061 0000", 2, kNone, 2, 2, "only ISO-2022-JP touches the state"},
      {65001, "41", 1, 10, "0041 0000", 2, kNone, kNone, kNone, "the decoder terminates counted input too"},
      {65001, "F0 9F 98 80 41", 5, 2, "D83D DE00", 2, kNone, kNone, kNone, "the copy is cut at the capacity"},
      {65001, "C3 A9 E2 82", 4, 10, "00E9 0000", 2, 2, kNone, kNone, "stops at the cut sequence"},
      {2023, "A4 A2 00", -1, 10, "3042 0000", 2, kNone, kNone, kNone, "auto-detected EUC-JP"},
  };
  // clang-format on
  for (const Row& r : rows)
    Check<true>(r);
}

TEST_F(Conversion, EncodingOnOurOwnRoads) {
  // clang-format off
  const Row rows[] = {
      {65001, "0041 0000", -1, 1, "41", 1, kNone, kNone, kNone, "the copy is cut at the capacity"},
      {65001, "0041", 1, -5, "", 1, kNone, kNone, kNone, "negative capacity: the length, nothing written"},
      {2022, "0041 3042 0042 0000", -1, 20, "41 1B 24 42 24 22 1B 28 42 42 00", 11, kNone, kNone, kNone, "escapes in and out"},
      {2022, "3042", 1, 10, "1B 24 42 24 22", 5, kNone, kNone, kNone, "no escape back at the end"},
      {51932, "3042 0000", -1, 3, "A4 A2", 2, kNone, kNone, kNone, "the transcoder keeps its last byte free"},
      {51932, "3042 005C FF71", 3, 10, "A4 A2 5C 71", 4, kNone, kNone, kNone, "single bytes pass"},
      {88591, "0061 4E00 0062 0000", -1, 10, "61 62 00", 3, kNone, kNone, kNone, "unmapped units are dropped"},
      {1252, "D83D DE00 0041", 3, 10, "41", 1, kNone, kNone, kNone, "single-byte drops surrogates"},
      {10000, "2126 03A9 FB01", 3, 10, "BD", 1, kNone, kNone, kNone, "Ohm sign, not omega; no ligature"},
      {40866, "25D9 000A", 2, 10, "0A", 1, kNone, kNone, kNone, "DOS glyphs own the control bytes"},
      {932, "3042 FF71 D83D", 3, 10, "82 A0 71 3D", 4, kNone, kNone, kNone, "misses leave as low bytes"},
      {932, "0041 3042 0000", -1, 2, "41", 1, kNone, kNone, kNone, "a pair never half-written, no terminator"},
      {932, "3042 0000", -1, 3, "82 A0 00", 3, kNone, kNone, kNone, "exact fit with terminator"},
      {950, "0023 0041", 2, 10, "A1 CC 41", 3, kNone, kNone, kNone, "Big5 has its own number sign"},
      {2023, "3042", 1, 0, "", 5, kNone, kNone, kNone, "2023 with nothing to look at: ISO-2022-JP"},
  };
  // clang-format on
  for (const Row& r : rows)
    Check<false>(r);
}

TEST_F(Conversion, TheSystemRoadIsHandedTheCallersArguments) {
  UseSystemFor({1252, 932, 874});
  // clang-format off
  const Row rows[] = {
      {1252, "61 E9 00", -1, 10, "0061 00E9 0000", 3, kNone, kNone, kNone, "the double converts bytes as units"},
      {874, "A1", 1, 10, "00A1", 1, kNone, kNone, kNone, "no record: the system"},
      {932, "82 A0 82", 3, 10, "0082 00A0", 2, 2, kNone, kNone, "consumed keeps the cut lead from the system"},
      {51932, "A4 A2", 2, 10, "0082 00A0", 2, kNone, kNone, kNone, "EUC-JP reaches the system as Shift_JIS"},
      {12345, "61", 1, 10, "", 0, kNone, kNone, kNone, "unknown everywhere"},
  };
  // clang-format on
  for (const Row& r : rows)
    Check<true>(r);
  platform_double::TakeSystemCalls();
  const std::uint8_t bytes[] = {'a', 'b', 0};
  const std::uint16_t units[] = {'a', 0x3042, 'b', 0};
  std::uint16_t wide[4];
  std::uint8_t narrow[16];
  const char def = '*';
  std::int32_t used = 5;
  CV_MultiByteToWideChar(1252, 0xFFFF, bytes, -1, wide, 4, nullptr, nullptr);
  CV_WideCharToMultiByte(1252, 0x400, units, -1, narrow, 16, &def, &used);
  CV_WideCharToMultiByte(1252, 0, units, 3, nullptr, 0, nullptr, nullptr);
  CV_WideCharToMultiByte(1252, 0, units, -1, nullptr, 0, nullptr, nullptr);
  EXPECT_EQ(CV_WideCharToMultiByte(2022, 0, units, 1, narrow, 16, nullptr, nullptr), 1);
  const auto calls = platform_double::TakeSystemCalls();
  ASSERT_EQ(calls.size(), 5u);
  using Call = platform_double::SystemCall;
  const auto shape = [](const Call& c) {
    return std::tuple{c.direction, c.codePage, c.flags, c.srcLen, c.dstCap};
  };
  EXPECT_EQ(shape(calls[0]), shape({Call::Direction::kToWide, 1252, 0, -1, 4}))
      << "the caller's flags never reach the system's decoding";
  EXPECT_EQ(shape(calls[1]), shape({Call::Direction::kToBytes, 1252, 0x400, -1, 16}));
  EXPECT_EQ(shape(calls[2]), shape({Call::Direction::kToBytes, 1252, 0, 3, 3 * 3 + 60}))
      << "measuring converts into a scratch buffer of 3 x units + 60 bytes";
  EXPECT_EQ(shape(calls[3]), shape({Call::Direction::kToBytes, 1252, 0, -1, 3 * 4 + 60}))
      << "the terminator counts as a unit";
  EXPECT_EQ(shape(calls[4]), shape({Call::Direction::kToBytes, 932, 0, 1, 16}))
      << "ISO-2022-JP converts as 932, then transcodes what the system wrote";
}

TEST_F(Conversion, PseudoCodePagesResolveFirst) {
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
  const std::uint16_t alpha[] = {0x0391};
  std::uint8_t bytes[4] = {0x82, 0xA0};
  EXPECT_EQ(CV_WideCharToMultiByte(3, 0, alpha, 1, bytes, 1, nullptr, nullptr), 1);
  EXPECT_EQ(bytes[0], 0xC1) << "and back";
  EXPECT_TRUE(platform_double::TakeSystemCalls().empty());
  const std::uint16_t a = 0x3042;
  bytes[0] = 0x82;
  EXPECT_EQ(CV_WideCharToMultiByte(2023, 0, &a, 1, bytes, 2, nullptr, nullptr), 2);
  EXPECT_EQ(bytes[0], 0x82) << "2023 looks at the destination: Shift_JIS";
  UseSystemFor({1252});
  platform_double::SetThreadLanguage(0x0409);
  EXPECT_EQ(CV_MultiByteToWideChar(3, 0, koi, 1, dst.data(), 2, nullptr, nullptr), 1);
  const auto calls = platform_double::TakeSystemCalls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].codePage, 0u) << "the system takes 0 as its own ANSI code page";
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

// Every byte of every single-byte page that stands for one character, and every key of every
// double-byte page, decodes to its character and encodes back to itself, or where the one-way
// list says; the double-byte pages map exactly their published numbers of keys.
TEST_F(Conversion, EveryTableEntryBothWays) {
  for (const tables::OneWayMapping& m : tables::kOneWayMappings)
    EXPECT_EQ(EncodeOne(m.codePage, m.unit), m.encodesTo) << m.codePage << " " << m.unit;
  int checked = 0;
  for (const CodePageRecord* r = GetCodePageRegistry().records; r->id != kTerminatorId; ++r) {
    if (r->isMultiByte != 0) continue;
    for (int b = 1; b <= 0xFF; ++b) {
      const auto byte = static_cast<std::uint8_t>(b);
      Units wide(3, 0);
      if (CV_MultiByteToWideChar(r->id, 0, &byte, 1, wide.data(), 3, nullptr, nullptr) != 1 ||
          (wide[0] == 0x3F && b != 0x3F)) {
        continue;  // no character, or two units
      }
      EXPECT_EQ(EncodeOne(r->id, wide[0]), CodeBack(r->id, wide[0], byte)) << r->id << " " << b;
      ++checked;
    }
  }
  EXPECT_GT(checked, 27 * 200);
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

// A long text decoded in pieces cut anywhere, each piece's unconsumed tail carried into the next,
// gives the same UTF-16 as one call: ASCII mixed with characters of random mapped keys (UTF-8:
// any unit, surrogate pairs included).
TEST_F(Conversion, PiecesCutAnywhereCarryTheirTail) {
  std::mt19937 rng(42);
  for (std::uint32_t cp : {932u, 936u, 949u, 950u, 65001u}) {
    Units wide;
    while (wide.size() < 4000) {
      if (rng() % 3 == 0) {
        wide.push_back(static_cast<std::uint16_t>(rng() % 8 == 0 ? '\n' : 'a' + rng() % 26));
      } else if (cp == 65001) {
        wide.push_back(static_cast<std::uint16_t>(0xA0 + rng() % 0xD000));
        if (rng() % 3 == 0) wide.insert(wide.end(), {0xD83D, 0xDE00});
      } else {
        const std::uint8_t key[2] = {
            static_cast<std::uint8_t>(cp == 932 ? 0x88 + rng() % 0x18 : 0xB0 + rng() % 0x18),
            static_cast<std::uint8_t>(cp == 932 ? 0x40 + rng() % 0xBD : 0xA1 + rng() % 0x5E)};
        std::uint16_t u = 0;
        CV_MultiByteToWideChar(cp, 0, key, 2, &u, 1, nullptr, nullptr);
        if (u != (key[0] << 8 | key[1])) wide.push_back(u);  // mapped, not passed through
      }
    }
    Bytes text(wide.size() * 3 + 8);
    text.resize(static_cast<std::size_t>(CV_WideCharToMultiByte(
        cp, 0, wide.data(), static_cast<std::int32_t>(wide.size()), text.data(),
        static_cast<std::int32_t>(text.size()), nullptr, nullptr)));
    const int terminator = cp == 65001 ? 1 : 0;  // the UTF-8 decoder ends every result with one
    Units joined;
    Bytes carry;
    for (std::size_t at = 0; at < text.size();) {
      const std::size_t take = std::min(text.size() - at, std::size_t{1} + rng() % 9);
      Bytes piece = carry;
      piece.insert(piece.end(), text.begin() + static_cast<long>(at),
                   text.begin() + static_cast<long>(at + take));
      at += take;
      Units out(piece.size() + 1);
      std::int32_t consumed = 0;
      const std::int32_t n = CV_MultiByteToWideChar(
          cp, 0, piece.data(), static_cast<std::int32_t>(piece.size()), out.data(),
          static_cast<std::int32_t>(out.size()), &consumed, nullptr);
      joined.insert(joined.end(), out.begin(), out.begin() + n - terminator);
      carry.assign(piece.begin() + consumed, piece.end());
    }
    EXPECT_TRUE(carry.empty()) << cp;
    EXPECT_EQ(Hex(joined), Hex(wide)) << cp;
  }
}

}  // namespace
}  // namespace corvane
