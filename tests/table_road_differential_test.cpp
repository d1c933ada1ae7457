// The fast table roads against the scalar loops that define them: the direct double-byte index
// against the bisection for every key and unit, and both conversion directions against
// DecodeWithTablesScalar / EncodeWithTablesScalar on adversarial text at every offset 0..31 and on
// random text. Result, output and the places left untouched must all be identical. Destinations
// are sized exactly (and one short), so that AddressSanitizer sees any overrun.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <random>
#include <type_traits>
#include <utility>
#include <vector>

#include "codepages/dbcs_lookup.h"
#include "convert/table_decode.h"
#include "convert/table_encode.h"
#include "tests/support/hex.h"

namespace corvane {
namespace {

// The conversions never search the tables of 51932 and 2022 (both go through 932): they have no
// index, and their fast roads are the scalar ones. The registry points at the size word that
// opens their reverse arrays; a search needs them past it.
bool Indexed(const CodePageRecord& record) {
  return record.id != 51932 && record.id != 2022;
}

TEST(DbcsDirectIndex, GivesTheBisectionsAnswerForEveryKeyAndUnit) {
  for (const std::uint32_t cp : {932u, 936u, 949u, 950u, 51932u, 2022u}) {
    CodePageRecord record = *FindCodePageRecord(cp);
    const int sizeWord = Indexed(record) ? 0 : 1;
    record.reverseRanges += sizeWord;
    record.reverseValues += sizeWord;
    // Without an index the lookups fall back to the bisection and this would compare it with
    // itself; the four searched tables must have one.
    EXPECT_EQ(FindDbcsForwardIndex(record) != nullptr, Indexed(record)) << cp;
    EXPECT_EQ(FindDbcsReverseIndex(record) != nullptr, Indexed(record)) << cp;
    for (std::uint32_t k = 0; k <= 0xFFFF; ++k) {
      const auto key = static_cast<std::uint16_t>(k);
      std::array<Utf16Unit, 2> units{0xEEEE, 0xEEEE};
      ASSERT_EQ(DbcsCodeToWide(&units[0], key, record),
                DbcsCodeToWideScalar(&units[1], key, record));
      ASSERT_EQ(units[0], units[1]) << cp << " forward 0x" << std::hex << k;
      std::array<std::uint8_t, 2> fast{0xEE, 0xEE}, scalar = fast;
      ASSERT_EQ(WideToDbcsCode(fast.data(), key, record),
                WideToDbcsCodeScalar(scalar.data(), key, record));
      ASSERT_EQ(fast, scalar) << cp << " reverse U+" << std::hex << k;
    }
  }
}

// One conversion by the fast road or the scalar one: decoding bytes, encoding units.
std::int32_t Convert(bool fast, const CodePageRecord& r, const std::uint8_t* src, std::int32_t len,
                     Utf16Unit* dst, std::int32_t cap) {
  return (fast ? DecodeWithTables : DecodeWithTablesScalar)(r, r.id, src, len, len == -1, dst, cap);
}
std::int32_t Convert(bool fast, const CodePageRecord& r, const Utf16Unit* src, std::int32_t len,
                     std::uint8_t* dst, std::int32_t cap) {
  return (fast ? EncodeWithTables : EncodeWithTablesScalar)(r, src, len, dst, cap);
}

// Both roads on one text, counted and (up to its first 0) nul-terminated, into destinations of
// room to spare (where a write past the result would show), the exact room, one place more and
// less (which leaves a last two-byte code one byte), and one and two places.
template <typename In>
void ExpectSameRoads(const CodePageRecord& record, const std::vector<In>& counted) {
  using Out = std::conditional_t<sizeof(In) == 1, Utf16Unit, std::uint8_t>;
  std::vector<In> terminated(counted.begin(), std::find(counted.begin(), counted.end(), In{0}));
  terminated.push_back(0);
  for (const bool nul : {false, true}) {
    const std::vector<In>& text = nul ? terminated : counted;
    const auto length = static_cast<std::int32_t>(text.size());
    const auto convert = [&](bool fast, std::int32_t cap) {
      std::vector<Out> dst(static_cast<std::size_t>(cap), static_cast<Out>(0xEEEE));
      const std::int32_t result =
          Convert(fast, record, text.data(), nul ? -1 : length, dst.data(), cap);
      return std::pair{result, dst};
    };
    const std::int32_t roomy = length * 3 + 8;
    const std::int32_t whole = convert(false, roomy).first;
    for (const std::int32_t cap : {roomy, whole + 1, whole, whole - 1, 1, 2}) {
      if (cap <= 0) continue;
      const auto fast = convert(true, cap), scalar = convert(false, cap);
      ASSERT_TRUE(fast == scalar) << record.id << (nul ? " nul" : " counted") << " cap " << cap
                                  << "\n  text   " << Hex(text) << "\n  fast   " << fast.first
                                  << ": " << Hex(fast.second) << "\n  scalar " << scalar.first
                                  << ": " << Hex(scalar.second);
    }
  }
}

// Adversarial text: one value that decides something somewhere, after 0..31 letters, alone (the
// follower 'a') or followed by another, at the very end or well inside a text long enough for
// every fast path (the single-byte decoder builds its view from 256 bytes on).
template <typename T>
void ExpectSameOnAdversarialText(const CodePageRecord& record, std::initializer_list<T> values,
                                 std::initializer_list<T> followers, std::size_t longTail) {
  for (std::size_t pad = 0; pad < 32; ++pad) {
    for (const T value : values) {
      for (const T follower : followers) {
        for (const std::size_t tail : {std::size_t{0}, longTail}) {
          std::vector<T> text(pad, 'a');
          text.push_back(value);
          if (follower != 'a') text.push_back(follower);
          text.insert(text.end(), tail, 'z');
          ExpectSameRoads(record, text);
        }
      }
    }
  }
}

TEST(TableRoadDifferential, BothDirectionsOnAdversarialAndRandomText) {
  std::mt19937 rng(20240601);
  for (const CodePageRecord* r = GetCodePageRegistry().records; r->id != kTerminatorId; ++r) {
    if (!Indexed(*r)) continue;
    // Adversarial text on every double-byte page; of the single-byte ones, two plain pages, one
    // with few characters and the two whose bytes can stand for two units.
    if (r->isMultiByte != 0 || r->id == 1252 || r->id == 20866 || r->id == 88596 ||
        r->id == 10000 || r->id == 10008) {
      // Controls and 0, ASCII, lead bytes of each double-byte page and their edges, high single
      // bytes, the multi-unit bytes of 10000 and 10008; followed by 0 or trail-byte edges.
      ExpectSameOnAdversarialText<std::uint8_t>(
          *r,
          {0x00, 0x0A, 0x41, 0x7F, 0x80, 0x81, 0x8E, 0x9F, 0xA0, 0xA1, 0xB0, 0xC0, 0xDE, 0xE0, 0xEA,
           0xEF, 0xF0, 0xFE, 0xFF},
          {'a', 0x00, 0x40, 0x7F, 0xA1, 0xFE}, r->isMultiByte != 0 ? 20 : 300);
      // 0, ASCII (Big5 gives # and @ two bytes), the edges of the two single-byte windows, units
      // with and without bytes in various pages, a surrogate pair, the units 932 sends elsewhere.
      ExpectSameOnAdversarialText<Utf16Unit>(
          *r, {0x0000, 0x0023, 0x0040, 0x0041, 0x005C, 0x007F, 0x0080, 0x00A5, 0x00E9, 0x0141,
               0x0410, 0x05B4, 0x07FF, 0x0800, 0x1FFF, 0x2000, 0x20AC, 0x2225, 0x27FF, 0x2800,
               0x3042, 0x30FC, 0x4E00, 0xAC00, 0xD83D, 0xDE00, 0xFF71, 0xFFFF},
          {'a', 0x3044, 'b'}, 40);
    }
    for (int i = 0; i < 120; ++i) {
      // Bytes by four mixes: anything; mostly ASCII; lead-heavy, so that pairs chain and cut
      // each other off; zeros among anything.
      Bytes bytes(rng() % 700);
      for (std::uint8_t& b : bytes) {
        const auto n = static_cast<std::uint32_t>(rng());
        const std::uint32_t v = n >> 8;
        const std::uint32_t mixes[] = {v, n % 4 == 0 ? 0x80 + v % 0x80 : 0x20 + v % 0x5F,
                                       n % 8 == 0 ? v % 0x80 : 0x81 + v % 0x7E,
                                       n % 16 == 0 ? 0 : v};
        b = static_cast<std::uint8_t>(mixes[i % 4]);
      }
      ExpectSameRoads(*r, bytes);
      // Units: what those bytes decode to, so that most of them have codes in the page, with
      // one in eight replaced by anything (surrogates and units without a code) or by 0.
      Units units(bytes.size() * 3 + 1);
      units.resize(static_cast<std::size_t>(
          Convert(false, *r, bytes.data(), static_cast<std::int32_t>(bytes.size()), units.data(),
                  static_cast<std::int32_t>(units.size()))));
      for (Utf16Unit& u : units)
        if (rng() % 8 == 0) u = static_cast<Utf16Unit>(i % 4 == 3 ? 0 : rng());
      ExpectSameRoads(*r, units);
    }
  }
}

}  // namespace
}  // namespace corvane
