// The fast codec functions against their reference loops on many random and adversarial inputs:
// every observable effect (result, whole destination, consumed count, diagnostics) must agree.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tests/support/utf8_outcome.h"
#include "utf8/utf8_codec.h"

namespace corvane {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Units = std::vector<Utf16Unit>;

// Pieces that exercise every branch of the decoder: each form valid, overlong, surrogate and
// past U+10FFFF, cut short, with a bad continuation, stray continuations, bytes that are never a
// lead, and the 0 byte.
const std::vector<Bytes>& DecoderPieces() {
  static const std::vector<Bytes> pieces = {
      {'A'},
      {0x7F},
      {0x00},
      {0xC3, 0xA9},
      {0xDF, 0xBF},
      {0xC0, 0x80},
      {0xE2, 0x82, 0xAC},
      {0xE3, 0x81, 0x82},
      {0xEF, 0xBF, 0xBF},
      {0xED, 0xA0, 0x80},
      {0xE0, 0x80, 0x80},
      {0xF0, 0x9F, 0x98, 0x80},
      {0xF4, 0x8F, 0xBF, 0xBF},
      {0xF7, 0xBF, 0xBF, 0xBF},
      {0xF0, 0x80, 0x80, 0x80},
      {0xC3},
      {0xE2, 0x82},
      {0xF0, 0x9F, 0x98},
      {0xC3, 0x41},
      {0xE2, 0x41, 0xAC},
      {0xE2, 0x82, 0xC3},
      {0xF0, 0x9F, 0x41, 0x80},
      {0xF0, 0x9F, 0x98, 0xF0},
      {0x80},
      {0xBF},
      {0xF8},
      {0xFF},
      {0xC3, 0x00},
      {0xE2, 0x00, 0xAC},
  };
  return pieces;
}

// Runs one input through both decoders in every length mode and with destination sizes around
// the interesting boundaries (nothing, 1-3 units, room for about one and two 16-byte blocks of
// the bulk kernel, the result, one short of it, one more, and room to spare).
void CompareDecoders(const Bytes& input) {
  Bytes terminated = input;
  terminated.push_back(0);
  const auto size = static_cast<std::int32_t>(input.size());
  struct Mode {
    const Bytes* src;
    std::int32_t srcLen;
  };
  const Mode modes[] = {
      {&input, size}, {&terminated, -1}, {&input, size > 0 ? size - 1 : 0}, {&input, size / 2}};
  for (const Mode& m : modes) {
    const std::int32_t needed = Utf8ToUcs2Scalar(m.src->data(), m.srcLen, nullptr, 0, nullptr);
    for (std::int32_t dstSize : {0, 1, 2, 3, 17, 18, 19, 34, 35, needed - 2, needed - 1, needed,
                                 needed + 1, needed + 24}) {
      if (dstSize < 0) continue;
      const auto fast = utf8_outcome::Decode(Utf8ToUcs2, *m.src, m.srcLen, dstSize);
      const auto scalar = utf8_outcome::Decode(Utf8ToUcs2Scalar, *m.src, m.srcLen, dstSize);
      ASSERT_EQ(fast, scalar) << "input of " << input.size() << " bytes, srcLen " << m.srcLen
                              << ", dstSize " << dstSize;
      ASSERT_EQ(fast.result, needed);
    }
  }
}

// Units around every boundary of the encoder's forms, surrogates and the 0 unit.
const Units& EncoderUnits() {
  static const Units units = {0x0000, 0x0041, 0x007F, 0x0080, 0x00E9, 0x07FF, 0x0800,
                              0x3042, 0xD83D, 0xDE00, 0xDFFF, 0xFFFF, 0x0100, 0xFF80};
  return units;
}

// Runs one input through both encoders in every length mode and with destination sizes from
// nothing to two bytes more than needed, and one with room to spare, so that the bulk kernel
// runs right up to the end of the input.
void CompareEncoders(const Units& input) {
  Units terminated = input;
  terminated.push_back(0);
  const auto size = static_cast<std::int32_t>(input.size());
  struct Mode {
    const Units* src;
    std::int32_t srcLen;
  };
  const Mode modes[] = {{&input, size}, {&terminated, -1}, {&input, size / 2}};
  for (const Mode& m : modes) {
    const std::int32_t needed = Ucs2ToUtf8Scalar(m.src->data(), m.srcLen, nullptr, 0);
    for (std::int32_t dstSize = 0; dstSize <= needed + 40; ++dstSize) {
      // Long inputs: every small size and every size near the end, a sample between.
      const bool nearEnd = dstSize >= needed - 12 && dstSize <= needed + 2;
      if (dstSize > 8 && !nearEnd && dstSize % 7 != 0 && dstSize != needed + 40) continue;
      const auto fast = utf8_outcome::Encode(Ucs2ToUtf8, *m.src, m.srcLen, dstSize);
      const auto scalar = utf8_outcome::Encode(Ucs2ToUtf8Scalar, *m.src, m.srcLen, dstSize);
      ASSERT_EQ(fast, scalar) << "input of " << input.size() << " units, srcLen " << m.srcLen
                              << ", dstSize " << dstSize;
    }
  }
}

// Every piece at every offset 0..31 behind padding, with 0..9 ASCII bytes after it, so each lands
// at each position of the bulk kernels' words and blocks and the input ends at and around it. The
// padding is ASCII, or three-byte forms behind an ASCII remainder, so that the piece also follows
// a form that runs across a block boundary.
TEST(Utf8Differential, DecoderPiecesBehindPadding) {
  for (const bool forms : {false, true}) {
    for (const Bytes& piece : DecoderPieces()) {
      for (std::size_t pad = 0; pad < 32; ++pad) {
        Bytes padding(forms ? pad % 3 : pad, 'a');
        for (std::size_t k = padding.size(); k < pad; k += 3) {
          padding.insert(padding.end(), {0xE3, 0x81, 0x82});
        }
        for (std::size_t tail = 0; tail < 10; ++tail) {
          Bytes input = padding;
          input.insert(input.end(), piece.begin(), piece.end());
          input.insert(input.end(), tail, 'z');
          CompareDecoders(input);
        }
      }
    }
  }
}

TEST(Utf8Differential, DecoderRandomBytes) {
  std::mt19937 rng(7);
  // Weighted towards lead and continuation bytes, with the 0 byte in the mix.
  const std::uint8_t alphabet[] = {0x00, 0x41, 0x41, 0x41, 0x7F, 0x80, 0x9F, 0xBF,
                                   0xBF, 0xC0, 0xC3, 0xDF, 0xE0, 0xE3, 0xED, 0xEF,
                                   0xF0, 0xF4, 0xF7, 0xF8, 0xFF, 0x81, 0xA9, 0x82};
  std::uniform_int_distribution<std::size_t> pick(0, sizeof alphabet - 1);
  std::uniform_int_distribution<std::size_t> length(0, 40);
  for (int round = 0; round < 3000; ++round) {
    Bytes input(length(rng));
    for (std::uint8_t& b : input)
      b = rng() % 3 == 0 ? static_cast<std::uint8_t>(rng()) : alphabet[pick(rng)];
    CompareDecoders(input);
  }
}

// Valid text of every form, cut at every length: unfinished forms meet the end of a count.
TEST(Utf8Differential, DecoderValidTextCutEverywhere) {
  Bytes text;
  for (int k = 0; k < 3; ++k) {
    for (const Bytes& piece : DecoderPieces()) {
      if (piece.size() > 1 && piece[0] >= 0xC0 && piece.back() >= 0x80) {
        text.insert(text.end(), piece.begin(), piece.end());
        text.insert(text.end(), static_cast<std::size_t>(k * 5), 'q');
      }
    }
  }
  for (std::size_t cut = 0; cut <= text.size(); ++cut) {
    CompareDecoders(Bytes(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(cut)));
  }
}

TEST(Utf8Differential, EncoderUnitsBehindAsciiPadding) {
  for (Utf16Unit unit : EncoderUnits()) {
    for (std::size_t pad = 0; pad < 32; ++pad) {
      for (std::size_t tail = 0; tail < 6; ++tail) {
        Units input(pad, 'a');
        input.push_back(unit);
        input.insert(input.end(), tail, 'z');
        CompareEncoders(input);
        // The same followed by enough text that the bulk loop runs while storing, too.
        input.insert(input.end(), 48, unit);
        CompareEncoders(input);
      }
    }
  }
}

TEST(Utf8Differential, EncoderRandomUnits) {
  std::mt19937 rng(11);
  const Units& units = EncoderUnits();
  std::uniform_int_distribution<std::size_t> pick(0, units.size() - 1);
  std::uniform_int_distribution<std::size_t> length(0, 30);
  for (int round = 0; round < 2000; ++round) {
    Units input(length(rng));
    for (Utf16Unit& u : input) {
      const auto draw = rng() % 4;
      u = draw == 0   ? static_cast<Utf16Unit>(rng())
          : draw == 1 ? units[pick(rng)]
                      : static_cast<Utf16Unit>('a' + rng() % 26);
    }
    CompareEncoders(input);
  }
}

// Text shaped like real text: runs of each kind of form (ASCII, two-, three- and four-byte),
// hundreds of bytes long, so that the word-at-a-time loops switch between kinds often and meet
// the ends of input and buffer in every state; now and then a faulty piece.
TEST(Utf8Differential, DecoderMixedRuns) {
  std::mt19937 rng(2718);
  const Bytes kinds[] = {{'a'}, {0xC3, 0xA9}, {0xE3, 0x81, 0x82}, {0xF0, 0x9F, 0x98, 0x80}};
  const auto& pieces = DecoderPieces();
  for (int round = 0; round < 600; ++round) {
    Bytes input;
    const auto runs = rng() % 40;
    for (std::uint32_t r = 0; r < runs; ++r) {
      const std::size_t kind = rng() % 10 < 4 ? 0 : rng() % 10 < 6 ? 2 : rng() % 2 == 0 ? 1 : 3;
      for (auto k = rng() % 16; k > 0; --k) {
        input.insert(input.end(), kinds[kind].begin(), kinds[kind].end());
      }
      if (rng() % 60 == 0) {
        const Bytes& piece = pieces[rng() % pieces.size()];
        input.insert(input.end(), piece.begin(), piece.end());
      }
    }
    CompareDecoders(input);
  }
}

TEST(Utf8Differential, EncoderMixedRuns) {
  std::mt19937 rng(3141);
  const Utf16Unit kinds[] = {'a', 0x00E9, 0x3042, 0xD83D, 0x0000};
  for (int round = 0; round < 300; ++round) {
    Units input;
    const auto runs = rng() % 30;
    for (std::uint32_t r = 0; r < runs; ++r) {
      const std::size_t kind = rng() % 10 < 4 ? 0 : rng() % 10 < 6 ? 2 : rng() % 20 == 0 ? 4 : 1;
      input.insert(input.end(), rng() % 16, kinds[kind]);
    }
    CompareEncoders(input);
  }
}

}  // namespace
}  // namespace corvane
