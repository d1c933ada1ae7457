// The fast codec functions, with every kernel implementation this machine runs, against their
// reference loops on many random and adversarial inputs: every observable effect (result, whole
// destination, consumed count, diagnostics) must agree.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <type_traits>
#include <utility>
#include <vector>

#include "tests/support/utf8_outcome.h"
#include "utf8/utf8_codec.h"
#include "utf8/utf8_kernels.h"

namespace corvane {
namespace {

// Pieces that reach every branch of the decoder. The first kValidPieces decode: each form,
// overlong, surrogate and past U+10FFFF. Then forms cut short, bad continuation bytes (the 0 byte
// among them), bytes that are never a lead.
constexpr std::size_t kValidPieces = 15;
// clang-format off
const std::vector<Bytes> kPieces = {
    B("41"), B("7F"), B("00"), B("C3 A9"), B("DF BF"), B("C0 80"), B("E2 82 AC"), B("E3 81 82"),
    B("EF BF BF"), B("ED A0 80"), B("E0 80 80"), B("F0 9F 98 80"), B("F4 8F BF BF"),
    B("F7 BF BF BF"), B("F0 80 80 80"),
    B("C3"), B("E2 82"), B("F0 9F 98"),
    B("C3 41"), B("E2 41 AC"), B("E2 82 C3"), B("F0 9F 41 80"), B("F0 9F 98 F0"), B("C3 00"),
    B("E2 00 AC"),
    B("80"), B("BF"), B("F8"), B("FF")};
// clang-format on

// Units around every boundary of the encoder's forms, surrogates and the 0 unit; ASCII first.
const std::vector<Units> kUnitPieces = {U("0041"), U("0000"), U("007F"), U("0080"), U("00E9"),
                                        U("07FF"), U("0800"), U("3042"), U("D83D"), U("DE00"),
                                        U("DFFF"), U("FFFF"), U("0100"), U("FF80")};

// The reference loop (kernels null) or the fast loop with the given kernels, in either direction.
template <typename In>
auto Run(const Utf8Kernels* kernels, const std::vector<In>* src, std::int32_t srcLen,
         std::int32_t dstSize) {
  const auto codec = [kernels](auto... a) {
    if constexpr (std::is_same_v<In, std::uint8_t>) {
      return kernels != nullptr ? Utf8ToUcs2With(*kernels, a...) : Utf8ToUcs2Scalar(a...);
    } else {
      return kernels != nullptr ? Ucs2ToUtf8With(*kernels, a...) : Ucs2ToUtf8Scalar(a...);
    }
  };
  return utf8_outcome::Run(codec, src, srcLen, dstSize);
}

// One input through the reference loop and through the fast loop with each kernel implementation
// this machine runs, in each length mode (the whole count, nul mode, one short, half: the count
// cuts forms) and with every destination size up to 8, near what the text needs and a sample
// between, so that the kernels meet the end of the buffer in every state.
template <typename In>
void Compare(const std::vector<In>& input) {
  std::vector<In> terminated = input;
  terminated.push_back(0);
  const auto size = static_cast<std::int32_t>(input.size());
  const std::pair<const std::vector<In>*, std::int32_t> modes[] = {
      {&input, size}, {&terminated, -1}, {&input, std::max(size - 1, 0)}, {&input, size / 2}};
  for (const auto& [src, srcLen] : modes) {
    const std::int32_t needed = Run(nullptr, src, srcLen, 0).result;
    for (std::int32_t dstSize = 0; dstSize <= needed + 40; ++dstSize) {
      const bool nearEnd = dstSize >= needed - 12 && dstSize <= needed + 2;
      if (dstSize > 8 && !nearEnd && dstSize % 7 != 0 && dstSize != needed + 40) continue;
      const auto want = Run(nullptr, src, srcLen, dstSize);
      for (const Utf8Kernels& kernels : AvailableUtf8Kernels()) {
        ASSERT_EQ(Run(&kernels, src, srcLen, dstSize), want)
            << kernels.name << " kernels, input " << Hex(input) << ", length " << srcLen
            << ", size " << dstSize;
      }
    }
  }
}

// Each piece at every offset 0..31 behind padding, so that it lands at each position of the
// kernels' words and blocks. The padding is ASCII, or a wider form repeated behind an ASCII
// remainder, so that the piece also follows a form that runs across a block boundary. Behind the
// piece come 0..9 ASCII bytes or units, so that the input ends at and around it, or 48 copies
// of it, so that the bulk loops run, storing, behind it too.
template <typename In>
void CompareBehindPadding(const std::vector<std::vector<In>>& pieces, const std::vector<In>& form) {
  for (const std::vector<In>& filler : {std::vector<In>{'a'}, form}) {
    for (const std::vector<In>& piece : pieces) {
      for (std::size_t pad = 0; pad < 32; ++pad) {
        std::vector<In> padding(pad % filler.size(), 'a');
        while (padding.size() < pad)
          padding.insert(padding.end(), filler.begin(), filler.end());
        for (std::size_t tail = 0; tail < 11; ++tail) {
          std::vector<In> input = padding;
          for (std::size_t copies = tail < 10 ? 1 : 49; copies > 0; --copies)
            input.insert(input.end(), piece.begin(), piece.end());
          input.insert(input.end(), tail % 10, 'z');
          Compare(input);
        }
      }
    }
  }
}

TEST(Utf8Differential, PiecesBehindPadding) {
  CompareBehindPadding(kPieces, B("E3 81 82"));
  CompareBehindPadding(kUnitPieces, U("3042"));
}

// Text shaped like real text: up to 30 runs of one piece each, up to hundreds of bytes, so that
// the kernels switch between kinds often and meet the ends of input and buffer in every state.
// Mostly ASCII (the first piece) or a valid piece; now and then any piece, or one random element.
template <typename In>
void CompareRandomText(const std::vector<std::vector<In>>& pieces, std::size_t valid, int rounds) {
  std::mt19937 rng(2718);
  for (int round = 0; round < rounds; ++round) {
    std::vector<In> input;
    for (auto runs = rng() % 30; runs > 0; --runs) {
      const std::vector<In>& piece = rng() % 8 == 0   ? pieces[rng() % pieces.size()]
                                     : rng() % 3 == 0 ? pieces[0]
                                                      : pieces[rng() % valid];
      for (auto k = rng() % 3 == 0 ? 1 : rng() % 20; k > 0; --k)
        input.insert(input.end(), piece.begin(), piece.end());
      if (rng() % 8 == 0) input.push_back(static_cast<In>(rng()));
    }
    Compare(input);
  }
}

TEST(Utf8Differential, RandomText) {
  CompareRandomText(kPieces, kValidPieces, 2000);
  CompareRandomText(kUnitPieces, kUnitPieces.size(), 1500);
}

// The standard-form kernels (the C++ interface's) take only text the Unicode standard allows and
// decode it as the reference loop does; on text without forbidden forms they take what the
// ordinary kernels take. Every piece at every offset, behind CJK padding so that blocks run.
TEST(Utf8Differential, StandardKernelsStopBeforeForbiddenForms) {
  const auto forbidden = [](const std::uint8_t* s, std::size_t n) {
    for (std::size_t i = 0; i + 1 < n; ++i) {
      if ((s[i] & 0xFE) == 0xC0 || (s[i] == 0xE0 && s[i + 1] < 0xA0) ||
          (s[i] == 0xED && s[i + 1] >= 0xA0)) {
        return true;
      }
    }
    return false;
  };
  for (const Utf8Kernels& kernels : AvailableUtf8Kernels()) {
    if (kernels.decodeStandard == nullptr) continue;
    for (const Bytes& piece : kPieces) {
      for (std::size_t pad = 0; pad < 48; ++pad) {
        Bytes input(pad % 3, 'a');
        while (input.size() < pad)
          input.insert(input.end(), {0xE3, 0x81, 0x82});
        for (int copies = 0; copies < 24; ++copies)
          input.insert(input.end(), piece.begin(), piece.end());
        input.insert(input.end(), 40, 'z');
        std::vector<Utf16Unit> units(input.size() + 1);
        const KernelProgress run =
            kernels.decodeStandard(input.data(), input.size(), units.data(), units.size());
        ASSERT_FALSE(forbidden(input.data(), run.read)) << kernels.name << " took " << Hex(piece);
        std::vector<Utf16Unit> want(run.read + 1);
        Utf8ToUcs2Scalar({input.data(), run.read, false}, want, nullptr);
        ASSERT_TRUE(std::equal(
            units.begin(), units.begin() + static_cast<std::ptrdiff_t>(run.written), want.begin()))
            << kernels.name << ", " << Hex(piece) << " behind " << pad;
        if (!forbidden(input.data(), input.size())) {
          std::vector<Utf16Unit> ordinary(units.size());
          ASSERT_EQ(
              run.read,
              kernels.decode(input.data(), input.size(), ordinary.data(), ordinary.size()).read)
              << kernels.name << " stopped before " << Hex(piece);
        }
      }
    }
  }
}

}  // namespace
}  // namespace corvane
