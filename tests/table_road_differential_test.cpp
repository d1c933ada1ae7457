// The fast table roads against the reference loops that define them: the direct double-byte
// indexes against the bisection for every key and unit, and both conversion directions of every
// table road against its ...Scalar loop on adversarial text at every offset 0..31 and on random
// text. Result, output and the places left untouched must all be identical. Destinations are
// sized exactly (and one short), so that AddressSanitizer sees any overrun.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <random>
#include <span>
#include <tuple>
#include <type_traits>
#include <utility>

#include "convert/double_byte.h"
#include "convert/double_byte_blocks.h"
#include "convert/single_byte.h"
#include "tests/support/conversion_fixture.h"

namespace corvane {
namespace {

class TableRoadDifferential : public ConversionTest {};

TEST_F(TableRoadDifferential, IndexesGiveTheBisectionsAnswerForEveryKeyAndUnit) {
  for (const std::uint32_t cp : {932u, 936u, 949u, 950u}) {
    const Road road = RoadFor(cp);
    ASSERT_EQ(road.kind, RoadKind::kDoubleByte) << cp;
    ASSERT_NE(road.indexes.forward, nullptr) << cp;
    ASSERT_NE(road.indexes.reverse, nullptr) << cp;
    for (std::uint32_t k = 0; k <= 0xFFFF; ++k) {
      const auto key = static_cast<std::uint16_t>(k);
      const std::uint32_t lead = k >> 8;
      if (k > 0xFF ? (*road.leads)[lead] != 0 : (*road.leads)[k] == 0) {
        Utf16Unit unit = 0;
        DbcsCodeToWide(&unit, key, *road.record);
        ASSERT_EQ(k > 0xFF ? DecodePair(*road.indexes.forward, lead, k & 0xFF)
                           : DecodeOneByte(*road.indexes.forward, static_cast<std::uint8_t>(k)),
                  unit)
            << cp << " forward 0x" << std::hex << k;
      }
      std::array<std::uint8_t, 2> bisected{}, viaIndex{};
      const std::uint32_t n = WideToDbcsCode(bisected.data(), key, *road.record);
      ASSERT_EQ(WriteDbcsCode(viaIndex.data(), EncodeUnitBytes(*road.indexes.reverse, key)), n);
      ASSERT_EQ(viaIndex, bisected) << cp << " reverse U+" << std::hex << k;
    }
  }
}

// Every block kernel this machine runs gives what the portable one gives, the last in the list;
// the tests below hold the chosen one to the reference loops. Text of pairs, single bytes, bytes
// that EUC-JP refuses and, for ISO-2022-JP (2022), shifts, so that blocks end in every state.
TEST_F(TableRoadDifferential, BlockKernelsAgree) {
  std::mt19937 rng(936);
  const std::span<const DoubleByteBlockKernel> kernels = AvailableDoubleByteBlockKernels();
  for (const std::uint32_t cp : {932u, 936u, 949u, 950u, 51932u, 2022u}) {
    const DbcsDecodeIndex& index = cp >= 2022 ? EucJpDecodeIndex() : *FindDbcsIndexes(cp).forward;
    const PairRule rule = cp == 51932 ? PairRule::kBothLeadBytes : PairRule::kAny;
    for (std::size_t trial = 0; trial < 200; ++trial) {
      Bytes bytes;
      for (std::size_t size = 70 + rng() % 400; bytes.size() < size;) {
        const auto n = static_cast<std::uint32_t>(rng());
        if (cp == 2022 && n % 8 == 5) {
          const Bytes shifts[] = {{0x1B, '$', 'B'}, {0x1B, '(', 'B'}, {0x0A}, {0x1B, 'K'}};
          bytes.insert(bytes.end(), shifts[n >> 8 & 3].begin(), shifts[n >> 8 & 3].end());
        } else {
          bytes.push_back(static_cast<std::uint8_t>(n % 8 < 5
                                                        ? (cp == 2022 ? 0x21 : 0xA1) + (n >> 8) % 94
                                                    : n % 8 < 7 ? n >> 8 & 0x7F
                                                                : n >> 8));
        }
      }
      const auto run = [&](const DoubleByteBlockKernel& kernel, Units& out) {
        JisShiftState mode = 1 + trial % 2;
        const BlockProgress p =
            cp == 2022 ? kernel.decodeIso2022Jp(EucJpDecodeIndex(), bytes.data(), bytes.size(),
                                                out.data(), out.size() - trial % 3, mode)
                       : kernel.decode(index, rule, bytes.data(), bytes.size(), out.data(),
                                       out.size() - trial % 3);
        return std::tuple{p.read, p.written, mode};
      };
      Units expected(bytes.size(), 0xEEEE);
      const auto want = run(kernels.back(), expected);
      if (cp < 2022) {
        ASSERT_GT(std::get<0>(want), 0u) << cp;  // EUC-JP and ISO-2022-JP may refuse at once
      }
      for (const DoubleByteBlockKernel& kernel : kernels) {
        Units got(bytes.size(), 0xEEEE);
        ASSERT_TRUE(run(kernel, got) == want && got == expected)
            << kernel.name << " " << cp << ": " << Hex(bytes);
      }
    }
  }
}

// One conversion by the fast loop or the reference one.
std::size_t Convert(bool fast, const Road& road, ByteText text, std::span<Utf16Unit> dst) {
  if (road.kind == RoadKind::kSingleByte) {
    return (fast ? DecodeSingleByte : DecodeSingleByteScalar)(*road.record, text, dst);
  }
  return (fast ? DecodeDoubleByte : DecodeDoubleByteScalar)(road, text, dst);
}
std::size_t Convert(bool fast, const Road& road, WideText text, std::span<std::uint8_t> dst) {
  if (road.kind == RoadKind::kSingleByte) {
    return (fast ? EncodeSingleByte : EncodeSingleByteScalar)(*road.record, text, dst);
  }
  return (fast ? EncodeDoubleByte : EncodeDoubleByteScalar)(road, text, dst);
}

// Both loops on one text, counted and terminated (up to its first 0), into destinations of room
// to spare (where a write past the result would show), the exact room, one place more and less
// (which leaves a last two-byte code one byte), and one and two places.
template <typename In>
void ExpectSameLoops(const Road& road, const std::vector<In>& counted) {
  using Out = std::conditional_t<sizeof(In) == 1, Utf16Unit, std::uint8_t>;
  const std::vector<In> terminated(counted.begin(),
                                   std::find(counted.begin(), counted.end(), In{0}));
  for (const bool nul : {false, true}) {
    const std::vector<In>& source = nul ? terminated : counted;
    std::vector<In> stored = source;
    stored.push_back(0);  // a terminated text's 0 follows it
    const Text<In> text{stored.data(), source.size(), nul};
    const auto convert = [&](bool fast, std::size_t cap) {
      std::vector<Out> dst(cap, static_cast<Out>(0xEEEE));
      const std::size_t result = Convert(fast, road, text, std::span<Out>(dst));
      return std::pair{result, dst};
    };
    const std::size_t roomy = source.size() * 3 + 8;
    const std::size_t whole = convert(false, roomy).first;
    for (const std::size_t cap :
         {roomy, whole + 1, whole, whole - 1, std::size_t{1}, std::size_t{2}}) {
      if (cap == 0 || cap > roomy) continue;
      const auto fast = convert(true, cap), scalar = convert(false, cap);
      ASSERT_TRUE(fast == scalar) << road.codePage << (nul ? " nul" : " counted") << " cap " << cap
                                  << "\n  text   " << Hex(source) << "\n  fast   " << fast.first
                                  << ": " << Hex(fast.second) << "\n  scalar " << scalar.first
                                  << ": " << Hex(scalar.second);
    }
  }
}

// Adversarial text: one value that decides something somewhere, after 0..31 letters, alone (the
// follower 'a') or followed by another, at the very end or well inside a text long enough for
// every fast path (the single-byte decoder builds its view from 256 bytes on).
template <typename T>
void ExpectSameOnAdversarialText(const Road& road, std::initializer_list<T> values,
                                 std::initializer_list<T> followers, std::size_t longTail) {
  for (std::size_t pad = 0; pad < 32; ++pad) {
    for (const T value : values) {
      for (const T follower : followers) {
        for (const std::size_t tail : {std::size_t{0}, longTail}) {
          std::vector<T> text(pad, 'a');
          text.push_back(value);
          if (follower != 'a') text.push_back(follower);
          text.insert(text.end(), tail, 'z');
          ExpectSameLoops(road, text);
        }
      }
    }
  }
}

TEST_F(TableRoadDifferential, BothDirectionsOnAdversarialAndRandomText) {
  std::mt19937 rng(20240601);
  for (const CodePageRecord* r = GetCodePageRegistry().records; r->id != kTerminatorId; ++r) {
    const Road road = RoadFor(r->id);
    if (road.kind != RoadKind::kSingleByte && road.kind != RoadKind::kDoubleByte) continue;
    // Adversarial text on every double-byte page; of the single-byte ones, two plain pages, one
    // with few characters and the two whose bytes can stand for two units.
    if (r->isMultiByte != 0 || r->id == 1252 || r->id == 20866 || r->id == 88596 ||
        r->id == 10000 || r->id == 10008) {
      // Controls and 0, ASCII, lead bytes of each double-byte page and their edges, high single
      // bytes, the multi-unit bytes of 10000 and 10008; followed by 0 or trail-byte edges.
      ExpectSameOnAdversarialText<std::uint8_t>(
          road,
          {0x00, 0x0A, 0x41, 0x7F, 0x80, 0x81, 0x8E, 0x9F, 0xA0, 0xA1, 0xB0, 0xC0, 0xDE, 0xE0, 0xEA,
           0xEF, 0xF0, 0xFE, 0xFF},
          {'a', 0x00, 0x40, 0x7F, 0xA1, 0xFE}, r->isMultiByte != 0 ? 20 : 300);
      // 0, ASCII (Big5 gives # and @ two bytes), the edges of the two single-byte windows, units
      // with and without bytes in various pages, a surrogate pair, the units 932 sends elsewhere.
      ExpectSameOnAdversarialText<Utf16Unit>(
          road, {0x0000, 0x0023, 0x0040, 0x0041, 0x005C, 0x007F, 0x0080, 0x00A5, 0x00E9, 0x0141,
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
      ExpectSameLoops(road, bytes);
      // Units: what those bytes decode to, so that most of them have codes in the page, with
      // one in eight replaced by anything (surrogates and units without a code) or by 0.
      Units units(bytes.size() * 3 + 1);
      units.resize(Convert(false, road, ByteText{bytes.data(), bytes.size(), false}, units));
      for (Utf16Unit& u : units)
        if (rng() % 8 == 0) u = static_cast<Utf16Unit>(i % 4 == 3 ? 0 : rng());
      ExpectSameLoops(road, units);
    }
  }
}

}  // namespace
}  // namespace corvane
