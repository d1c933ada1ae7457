// EUC-JP and ISO-2022-JP on 932's tables take a straight road through the Shift_JIS indexes for
// the ordinary bulk of the text. The same road without the indexes takes the long way for all of
// it: Shift_JIS text by the transcoders, decoded or encoded by the reference loops. Both must
// give the same units or bytes, the same count and the same shift state, at every capacity and
// for both kinds of text.
#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "convert/japanese.h"
#include "tests/support/conversion_fixture.h"

namespace corvane {
namespace {

class JapaneseRoad : public ConversionTest {};

Road WithoutIndexes(Road road) {
  road.indexes = {};
  return road;
}

template <typename T>
Text<T> TextOf(const std::vector<T>& stored, bool terminated) {
  // stored ends with a 0 element, the terminator of a terminated text.
  const auto end = terminated ? std::find(stored.begin(), stored.end(), T{0}) : stored.end() - 1;
  return {stored.data(), static_cast<std::size_t>(end - stored.begin()), terminated};
}

TEST_F(JapaneseRoad, StraightRoadsGiveWhatTheLongWayGives) {
  std::mt19937 rng(51932);
  const std::uint8_t interesting[] = {0x8E, 0x8F, 0xA0, 0xA1, 0xB0, 0xFE, 0xFF, 0x80, 0x41, 0x00,
                                      0x0A, 0x0D, 0x1B, 0x24, 0x28, 0x42, 0x4B, 0x21, 0x7E};
  for (const std::uint32_t cp : {51932u, 2022u}) {
    const Road fast = RoadFor(cp);
    const Road slow = WithoutIndexes(fast);
    ASSERT_NE(fast.indexes.forward, nullptr) << cp;
    for (int trial = 0; trial < 300; ++trial) {
      // One text in ten long enough for blocks, with fewer bytes that stop them and, in
      // ISO-2022-JP, with the shifts that blocks follow.
      const bool longText = trial % 10 == 0;
      const std::size_t size = longText ? 70 + rng() % 130 : 1 + rng() % 24;
      Bytes bytes;
      while (bytes.size() < size) {
        const auto pairByte =
            static_cast<std::uint8_t>(cp == 2022 ? 0x21 + rng() % 94 : 0xA1 + rng() % 94);
        const auto any = static_cast<std::uint8_t>(rng());
        if (longText && cp == 2022 && rng() % 12 == 0) {
          const Bytes shifts[] = {{0x1B, '$', 'B'}, {0x1B, '(', 'B'}, {0x1B, '(', 'J'}, {0x0A}};
          const Bytes& shift = shifts[rng() % std::size(shifts)];
          bytes.insert(bytes.end(), shift.begin(), shift.end());
          continue;
        }
        bytes.push_back(rng() % (longText ? 40 : 3) ? pairByte
                        : rng() % 4                 ? interesting[rng() % std::size(interesting)]
                                                    : any);
      }
      if (trial == 0 && cp == 2022) {
        // A pair whose first byte ends a block and whose second is a line end.
        bytes = {0x1B, '$', 'B'};
        bytes.insert(bytes.end(), 61, 0x30);
        bytes.insert(bytes.end(), {0x0A, 'a', 'b', 'c'});
      }
      bytes.push_back(0);
      Units units(1 + rng() % 16);
      for (std::uint16_t& u : units) {
        const std::uint16_t kinds[] = {static_cast<std::uint16_t>(rng() % 0x80),
                                       static_cast<std::uint16_t>(0x3041 + rng() % 0x50),
                                       static_cast<std::uint16_t>(0x4E00 + rng() % 0x5000),
                                       static_cast<std::uint16_t>(rng()),
                                       0x0181,
                                       0xFF71};
        u = kinds[rng() % std::size(kinds)];
      }
      units.push_back(0);
      const JisShiftState stateIn = 1 + rng() % 2;
      for (const bool terminated : {false, true}) {
        const ByteText text = TextOf(bytes, terminated);
        for (std::size_t cap = 1; cap <= text.size + 2; ++cap) {
          Units a(cap, 0xEEEE), b(cap, 0xEEEE);
          JisShiftState s1 = stateIn, s2 = stateIn;
          ASSERT_EQ(DecodeJapanese(fast, text, a, &s1), DecodeJapanese(slow, text, b, &s2))
              << cp << ": " << Hex(bytes) << " cap " << cap;
          ASSERT_EQ(a, b) << cp << ": " << Hex(bytes) << " cap " << cap;
          ASSERT_EQ(s1, s2) << cp << ": " << Hex(bytes) << " cap " << cap;
        }
        const WideText wide = TextOf(units, terminated);
        for (std::size_t cap = 1; cap <= 5 * wide.size + 8; ++cap) {
          Bytes a(cap, 0xEE), b(cap, 0xEE);
          ASSERT_EQ(EncodeJapanese(fast, wide, a, 0, nullptr, nullptr),
                    EncodeJapanese(slow, wide, b, 0, nullptr, nullptr));
          ASSERT_EQ(a, b) << cp << ": " << Hex(units) << " cap " << cap;
        }
      }
    }
  }
}

}  // namespace
}  // namespace corvane
