// The four Japanese transcoders: rows of edge cases, round trips over every JIS position, and
// ISO-2022-JP decoded in pieces with the shift state carried between them.
#include "japanese/transcoders.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <span>

#include "tests/support/hex.h"

namespace corvane {
namespace {

enum class Fn { kEucToSjis, kIsoToSjis, kSjisToEuc, kSjisToIso };

std::int32_t Transcode(Fn fn, const Bytes& in, std::int32_t length, std::uint8_t* out,
                       std::int32_t size, JisShiftState* state) {
  const ByteText text = SettleBytes(in.data(), length);
  const std::span<std::uint8_t> to(out, static_cast<std::size_t>(std::max(size, 0)));
  switch (fn) {
    case Fn::kEucToSjis:
      return static_cast<std::int32_t>(EucJpToSjis(text, to));
    case Fn::kIsoToSjis:
      return static_cast<std::int32_t>(Iso2022JpToSjis(text, to, state));
    case Fn::kSjisToEuc:
      return static_cast<std::int32_t>(SjisToEucJp(text, to));
    case Fn::kSjisToIso:
      return static_cast<std::int32_t>(SjisToIso2022Jp(text, to, state));
  }
  return -1;
}

constexpr std::uint8_t E = 0x1B;

struct Row {
  Fn fn;
  const char* in;       // hex; nul-mode rows carry their terminator
  std::int32_t length;  // -1: nul mode
  JisShiftState stateIn;
  std::int32_t outSize;
  const char* out;         // hex: every byte written, terminator included
  JisShiftState stateOut;  // 0: not looked at
  const char* why;
};

constexpr Fn kEuc = Fn::kEucToSjis, kIso = Fn::kIsoToSjis, kToEuc = Fn::kSjisToEuc,
             kToIso = Fn::kSjisToIso;

TEST(Transcoders, Rows) {
  // clang-format off
  const Row rows[] = {
      {kEuc, "A4 A2 41 00", -1, 1, 16, "82 A0 41 00", 0, "pair, ASCII, terminator"},
      {kEuc, "8E B1 00", -1, 1, 16, "B1 00", 0, "half-width katakana loses its prefix"},
      {kEuc, "8F B0 A1 41 00", -1, 1, 16, "41 00", 0, "JIS X 0212 is dropped"},
      {kEuc, "A4 41 00", -1, 1, 16, "A4 41 00", 0, "a broken pair passes unchanged"},
      {kEuc, "41 A4 00", -1, 1, 16, "41 00", 0, "cut-off lead dropped, terminator kept"},
      {kEuc, "8F B0", 2, 1, 16, "", 0, "cut-off JIS X 0212"},
      {kEuc, "61 A4 A2 00", -1, 1, 3, "61", 0, "a pair without room is left out whole"},
      {kIso, "41 1B 24 42 24 22 1B 28 42 42 00", -1, 1, 16, "41 82 A0 42 00", 1, "in and out of two-byte mode"},
      {kIso, "1B 24 42 30 21 0D 0A 41", 8, 1, 16, "88 9F 0D 0A 41", 1, "CR ends two-byte mode"},
      {kIso, "1B 24 00", -1, 1, 16, "00", 2, "cut-off escape: its mode stays"},
      {kIso, "1B 4B 24 22 1B 48 78", 7, 1, 16, "82 A0 78", 1, "two-byte escapes"},
      {kIso, "1B 24 28 44 24 22", 6, 1, 16, "92 A2", 2, "a four-byte designation reads as three"},
      {kToEuc, "82 A0 88 9F B1 81 20", 7, 1, 16, "A4 A2 B0 A1 B1 81 20", 0, "pairs, katakana, bad trail"},
      {kToIso, "41 82 A0 42 00", -1, 1, 32, "41 1B 24 42 24 22 1B 28 42 42 00", 1, "escapes both ways"},
      {kToIso, "82 A0 0A", 3, 1, 32, "1B 24 42 24 22 1B 28 42 0A", 1, "LF leaves two-byte mode by escape"},
      {kToIso, "82 A0 82 20 78", 5, 1, 32, "1B 24 42 24 22 82 20 1B 28 42 78", 1, "a bad pair keeps the mode"},
      {kToIso, "61 82 A0", 3, 1, 6, "61", 1, "escape plus pair need five bytes"},
      {kToIso, "82 A0", 2, 1, 6, "1B 24 42 24 22", 2, "exactly five"},
      {kToIso, "82 A0 78", 3, 1, 8, "1B 24 42 24 22", 2, "escape back plus byte need four"},
      {kToIso, "82 A0 78", 3, 1, 10, "1B 24 42 24 22 1B 28 42 78", 1, "exactly four"},
  };
  // clang-format on
  for (const Row& r : rows) {
    Bytes out(static_cast<std::size_t>(std::max(r.outSize, 0)) + 1, 0xEE);
    JisShiftState state = r.stateIn;
    const std::int32_t n = Transcode(r.fn, B(r.in), r.length, out.data(), r.outSize, &state);
    EXPECT_EQ(out.back(), 0xEE) << "wrote past the output size: " << r.why;
    out.resize(static_cast<std::size_t>(std::max(n, 0)));
    EXPECT_EQ(Hex(out), Hex(B(r.out))) << r.why;
    EXPECT_TRUE(r.stateOut == 0 || state == r.stateOut) << r.why;
  }
}

// Every JIS position: its Shift_JIS code becomes exactly its EUC-JP code (row and cell + 0x80),
// and survives Shift_JIS -> EUC-JP -> Shift_JIS and Shift_JIS -> ISO-2022-JP -> Shift_JIS.
TEST(Transcoders, EveryPositionRoundTrips) {
  Bytes sjis, eucExpected;
  for (int row = 0x21; row <= 0x7E; ++row) {
    for (int cell = 0x21; cell <= 0x7E; ++cell) {
      std::uint8_t lead = 0, trail = 0;
      JisPairToSjis(static_cast<std::uint8_t>(row), static_cast<std::uint8_t>(cell), lead, trail);
      sjis.insert(sjis.end(), {lead, trail});
      eucExpected.insert(eucExpected.end(), {static_cast<std::uint8_t>(row + 0x80),
                                             static_cast<std::uint8_t>(cell + 0x80)});
    }
    sjis.push_back(0x0A);
    eucExpected.push_back(0x0A);
  }
  const auto n = static_cast<std::int32_t>(sjis.size());
  Bytes euc(sjis.size() + 1), iso(sjis.size() * 2 + 1), back(sjis.size() + 1);
  const auto eucLen = static_cast<std::int32_t>(SjisToEucJp(
      {sjis.data(), sjis.size(), false}, {euc.data(), static_cast<std::size_t>(n) + 1}));
  ASSERT_EQ(eucLen, n);
  EXPECT_EQ(Bytes(euc.begin(), euc.begin() + n), eucExpected);
  ASSERT_EQ(EucJpToSjis({euc.data(), static_cast<std::size_t>(eucLen), false},
                        {back.data(), static_cast<std::size_t>(n) + 1}),
            static_cast<std::size_t>(n));
  EXPECT_EQ(Bytes(back.begin(), back.begin() + n), sjis);

  JisShiftState state = 0;
  const std::size_t isoLen = SjisToIso2022Jp({sjis.data(), sjis.size(), false}, iso, &state);
  JisShiftState decodeState = kJisSingleByte;
  ASSERT_EQ(Iso2022JpToSjis({iso.data(), isoLen, false},
                            {back.data(), static_cast<std::size_t>(n) + 1}, &decodeState),
            static_cast<std::size_t>(n));
  EXPECT_EQ(Bytes(back.begin(), back.begin() + n), sjis);
}

// The fast runs against the reference loops: on any bytes, both kinds of text, any room, the same
// bytes written, the same count and the same final mode.
TEST(Transcoders, FastRunsGiveWhatTheReferenceLoopsGive) {
  std::mt19937 rng(51932);
  const std::uint8_t interesting[] = {0x1B, 0x0A, 0x0D, 0x24, 0x28, 0x42, 0x41, 0x7F, 0x80,
                                      0x81, 0x8E, 0x8F, 0x9F, 0xA0, 0xA1, 0xB1, 0xDF, 0xE0,
                                      0xEF, 0xF0, 0xFC, 0xFE, 0xFF, 0x40, 0x30, 0x21, 0x00};
  for (int trial = 0; trial < 3000; ++trial) {
    Bytes in(1 + rng() % 40);
    for (std::uint8_t& b : in) {
      b = rng() % 2 ? interesting[rng() % std::size(interesting)]
                    : static_cast<std::uint8_t>(rng() % 256);
    }
    in.push_back(0);
    const bool terminated = trial % 2 == 1;
    const ByteText text =
        terminated ? SettleBytes(in.data(), -1) : ByteText{in.data(), in.size() - 1};
    const std::size_t room = trial % 3 == 0 ? rng() % (in.size() + 2) : in.size() + 2;
    Bytes fast(room, 0xEE), slow(room, 0xEE);
    JisShiftState s1 = 1 + rng() % 2, s2 = s1;
    const std::size_t n = trial % 6 < 2   ? EucJpToSjis(text, fast)
                          : trial % 6 < 4 ? Iso2022JpToSjis(text, fast, &s1)
                                          : SjisToEucJp(text, fast);
    const std::size_t m = trial % 6 < 2   ? EucJpToSjisScalar(text, slow)
                          : trial % 6 < 4 ? Iso2022JpToSjisScalar(text, slow, &s2)
                                          : SjisToEucJpScalar(text, slow);
    ASSERT_EQ(n, m) << Hex(in) << " room " << room;
    ASSERT_EQ(fast, slow) << Hex(in) << " room " << room;
    ASSERT_EQ(s1, s2) << Hex(in);
  }
}

}  // namespace
}  // namespace corvane
