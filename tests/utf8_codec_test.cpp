// The UTF-8 codec's rules, row by row, through both the fast functions and their reference loops.
#include "utf8/utf8_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <tuple>
#include <utility>

#include "tests/support/utf8_outcome.h"

namespace corvane {
namespace {

using utf8_outcome::kUntouchedConsumed;
using utf8_outcome::Outcome;
using utf8_outcome::Untouched;

constexpr int kNul = -1;

const char* const kNullSource = "Utf8ToUcs2: Input UTF-8 pointer is null";
const char* const kIncomplete2 = "Utf8ToUcs2: Incomplete 2-byte UTF-8 sequence";
const char* const kInvalid2 = "Utf8ToUcs2: Invalid continuation byte in 2-byte sequence";
const char* const kIncomplete3 = "Utf8ToUcs2: Incomplete 3-byte UTF-8 sequence";
const char* const kInvalid3 = "Utf8ToUcs2: Invalid continuation bytes in 3-byte sequence";
const char* const kIncomplete4 = "Utf8ToUcs2: Incomplete 4-byte UTF-8 sequence";
const char* const kInvalid4 = "Utf8ToUcs2: Invalid continuation bytes in 4-byte sequence";
const char* const kInvalidLead = "Utf8ToUcs2: Invalid UTF-8 leading byte";

const std::pair<const char*, decltype(&Utf8ToUcs2)> kDecoders[] = {
    {"Utf8ToUcs2", Utf8ToUcs2}, {"Utf8ToUcs2Scalar", Utf8ToUcs2Scalar}};
const std::pair<const char*, decltype(&Ucs2ToUtf8)> kEncoders[] = {
    {"Ucs2ToUtf8", Ucs2ToUtf8}, {"Ucs2ToUtf8Scalar", Ucs2ToUtf8Scalar}};

// Source bytes (in nul mode the terminator is part of them; null: a null pointer), source length,
// destination size, result, what the destination must start with (the rest untouched), consumed
// count, diagnostic, and why.
// clang-format off
const std::tuple<const char*, int, int, int, const char*, int, const char*, const char*> kDecodeRows[] = {
    {"00", kNul, 4, 1, "0000", 0, nullptr, "empty string: only the terminator"},
    {"41 00 42", 3, 8, 4, "0041 0000 0042 0000", 3, nullptr, "a counted 0 is a character"},
    {"41 00 42", kNul, 8, 2, "0041 0000", 1, nullptr, "nul mode ends at the 0"},
    {"C3 A9 E2 82 AC F0 9F 98 80", 9, 8, 5, "00E9 20AC D83D DE00 0000", 9, nullptr, "each form"},
    {"C0 80 E0 80 80", 5, 8, 3, "0000 0000 0000", 5, nullptr, "overlong forms are not refused"},
    {"ED A0 80", 3, 8, 2, "D800 0000", 3, nullptr, "an encoded surrogate yields it"},
    {"F7 BF BF BF", 4, 8, 3, "DFBF DFFF 0000", 4, nullptr, "past U+10FFFF: plain arithmetic"},
    {"F0 80 80 80", 4, 8, 3, "D7C0 DC00 0000", 4, nullptr, "overlong pair: signed arithmetic"},
    {nullptr, kNul, 4, -1, "", kUntouchedConsumed, kNullSource, "null source: nothing written"},
    {"C3 00", kNul, 4, 1, "0000", 0, kIncomplete2, "nul mode: terminator inside the form"},
    {"C3 00", 2, 4, 1, "0000", 0, kInvalid2, "counted: the 0 is no continuation"},
    {"41 C3", 2, 4, 2, "0041 0000", 1, kIncomplete2, "counted: lead at the end"},
    {"E2 41", 2, 4, 1, "0000", 0, kIncomplete3, "completeness is tested before continuation"},
    {"E2 82 C3", 3, 4, 1, "0000", 0, kInvalid3, "last continuation bad"},
    {"F0 9F 98", 3, 4, 1, "0000", 0, kIncomplete4, "four-byte form cut by the count"},
    {"F0 9F 41 80", 4, 4, 1, "0000", 0, kInvalid4, "a middle continuation bad"},
    {"61 80 62", 3, 8, 2, "0061 0000", 1, kInvalidLead, "stray continuation byte"},
    {"F8 88 80 80 80", 5, 4, 1, "0000", 0, kInvalidLead, "no five-byte forms"},
    {"41 42", -5, 4, 1, "0000", 0, nullptr, "negative count other than -1: empty"},
    {"41 00", kNul, 1, 2, "0000", 1, nullptr, "size 1: only the terminator fits"},
    {"C3 A9 41", 3, 0, 3, "", 3, nullptr, "size 0: counts, stores nothing"},
    {"61 62 63 64 00", kNul, 3, 5, "0061 0062 0000", 4, nullptr, "cut; counting goes on"},
    {"61 F0 9F 98 80 62", 6, 3, 5, "0061 0000", 6, nullptr, "a pair not stored in half, nor after"},
    {"F0 9F 98 80", 4, 3, 3, "D83D DE00 0000", 4, nullptr, "a pair that fits exactly"},
    {"61 62 63 80", 4, 2, 4, "0061 0000", 3, kInvalidLead, "a full buffer still checks"},
};
// clang-format on

TEST(Utf8ToUcs2, Rules) {
  for (const auto& [name, decode] : kDecoders) {
    for (const auto& [hex, srcLen, dstSize, result, stored, consumed, trace, why] : kDecodeRows) {
      const Bytes src = B(hex != nullptr ? hex : "");
      const Bytes* source = hex != nullptr ? &src : nullptr;
      Outcome<Utf16Unit> want{result, consumed, Untouched<Utf16Unit>(dstSize), {}};
      std::ranges::copy(U(stored), want.dst.begin());
      if (trace != nullptr) want.traces = {trace};
      EXPECT_EQ(utf8_outcome::Run(decode, source, srcLen, dstSize), want) << name << ": " << why;
      // A null destination counts alike and touches nothing.
      want.dst = Untouched<Utf16Unit>(dstSize);
      EXPECT_EQ(utf8_outcome::Run(decode, source, srcLen, dstSize, false), want)
          << name << " counting: " << why;
    }
  }
}

// Source units (in nul mode the terminator is part of them), source length, destination size,
// result, what the destination must start with (the rest untouched), and why.
// clang-format off
const std::tuple<const char*, int, int, int, const char*, const char*> kEncodeRows[] = {
    {"00E9 20AC", 2, 8, 5, "C3 A9 E2 82 AC", "two- and three-byte forms"},
    {"D83D DE00", 2, 8, 6, "ED A0 BD ED B8 80", "a pair: two three-byte forms"},
    {"0041 0000 0042", 3, 8, 3, "41 00 42", "a counted 0 is encoded"},
    {"0041 0000", kNul, 0, 2, "", "nul mode counts the terminator"},
    {"0061 0062 0063 0000", kNul, 3, 3, "61 62 00", "full: terminator over the last byte"},
    {"0061 0062 0063 0000", kNul, 4, 4, "61 62 63 00", "exact fit with terminator"},
    {"0061 20AC 0000", kNul, 3, 2, "61 00", "a form that does not fit is left out"},
    {"0061 00E9 0062", 3, 2, 1, "61", "left out in counted mode too; encoding ends there"},
    {"0061 20AC 0000", kNul, 4, 4, "61 E2 82 00", "exact fill: the form cut by the 0"},
    {"20AC 0000", kNul, 2, 1, "00", "nothing fits: just the terminator"},
    {"0061 0062", -3, 4, 0, "", "negative count other than -1: empty"},
    {"0061 0062 0000", kNul, -2, 0, "", "negative size: nothing written"},
};
// clang-format on

TEST(Ucs2ToUtf8, Rules) {
  for (const auto& [name, encode] : kEncoders) {
    for (const auto& [hex, srcLen, dstSize, result, stored, why] : kEncodeRows) {
      const Units src = U(hex);
      Outcome<std::uint8_t> want{result, kUntouchedConsumed, Untouched<std::uint8_t>(dstSize), {}};
      std::ranges::copy(B(stored), want.dst.begin());
      EXPECT_EQ(utf8_outcome::Run(encode, &src, srcLen, dstSize), want) << name << ": " << why;
    }
  }
}

// All 65,536 units as one counted string. Measuring and converting give the shortest form's
// length for every unit, and each decoder, which reads the length from the lead, takes the text
// back unchanged: every form has its length and every bit is in its place.
TEST(Utf8Codec, EveryUnitRoundTrips) {
  Units all(0x10001);
  std::iota(all.begin(), all.end(), Utf16Unit{0});  // the last wraps to 0: the terminator
  const std::int32_t count = 0x10000;
  constexpr std::int32_t kBytes = 0x80 * 1 + (0x800 - 0x80) * 2 + (0x10000 - 0x800) * 3;
  for (const auto& [name, encode] : kEncoders) {
    EXPECT_EQ(encode({all.data(), std::size_t{count}, false}, {}), kBytes) << name;
    const auto encoded = utf8_outcome::Run(encode, &all, count, kBytes);
    ASSERT_EQ(encoded.result, kBytes) << name;
    for (const auto& [decoderName, decode] : kDecoders) {
      EXPECT_EQ(utf8_outcome::Run(decode, &encoded.dst, kBytes, count + 1),
                (Outcome<Utf16Unit>{count + 1, kBytes, all, {}}))
          << name << " then " << decoderName;
    }
  }
}

}  // namespace
}  // namespace corvane
