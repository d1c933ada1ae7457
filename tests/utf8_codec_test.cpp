// The UTF-8 codec's rules, row by row, through both the fast functions and their reference loops.
#include "utf8/utf8_codec.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/utf8_outcome.h"

namespace corvane {
namespace {

using utf8_outcome::kUntouchedByte;
using utf8_outcome::kUntouchedConsumed;
using utf8_outcome::kUntouchedUnit;

constexpr std::int32_t kNul = -1;

const char* const kIncomplete2 = "Utf8ToUcs2: Incomplete 2-byte UTF-8 sequence";
const char* const kInvalid2 = "Utf8ToUcs2: Invalid continuation byte in 2-byte sequence";
const char* const kIncomplete3 = "Utf8ToUcs2: Incomplete 3-byte UTF-8 sequence";
const char* const kInvalid3 = "Utf8ToUcs2: Invalid continuation bytes in 3-byte sequence";
const char* const kIncomplete4 = "Utf8ToUcs2: Incomplete 4-byte UTF-8 sequence";
const char* const kInvalid4 = "Utf8ToUcs2: Invalid continuation bytes in 4-byte sequence";
const char* const kInvalidLead = "Utf8ToUcs2: Invalid UTF-8 leading byte";

struct Decoder {
  const char* name;
  utf8_outcome::DecodeFn fn;
};
const Decoder kDecoders[] = {{"Utf8ToUcs2", Utf8ToUcs2}, {"Utf8ToUcs2Scalar", Utf8ToUcs2Scalar}};

struct Encoder {
  const char* name;
  utf8_outcome::EncodeFn fn;
};
const Encoder kEncoders[] = {{"Ucs2ToUtf8", Ucs2ToUtf8}, {"Ucs2ToUtf8Scalar", Ucs2ToUtf8Scalar}};

struct DecodeRow {
  std::vector<std::uint8_t> src;  // in nul mode the terminator is part of it
  std::int32_t srcLen;
  std::int32_t dstSize;
  std::int32_t result;
  std::vector<Utf16Unit> stored;  // the terminated text the destination must start with
  std::int32_t consumed;
  const char* trace;  // null: no diagnostic
  const char* why;
};

TEST(Utf8ToUcs2, Rules) {
  const DecodeRow rows[] = {
      {{0x00}, kNul, 4, 1, {0}, 0, nullptr, "empty string: only the terminator"},
      {{0x41, 0x00, 0x42}, 3, 8, 4, {0x41, 0, 0x42, 0}, 3, nullptr, "a counted 0 is a character"},
      {{0x41, 0x00, 0x42}, kNul, 8, 2, {0x41, 0}, 1, nullptr, "nul mode ends at the 0"},
      {{0xF0, 0x9F, 0x98, 0x80}, 4, 8, 3, {0xD83D, 0xDE00, 0}, 4, nullptr, "pair: two units"},
      {{0xE2, 0x82, 0xAC}, 3, 8, 2, {0x20AC, 0}, 3, nullptr, "three-byte form"},
      {{0xC3, 0xA9}, 2, 8, 2, {0x00E9, 0}, 2, nullptr, "two-byte form"},
      {{0xC0, 0x80}, 2, 8, 2, {0x0000, 0}, 2, nullptr, "overlong 0 is not refused"},
      {{0xE0, 0x80, 0x80}, 3, 8, 2, {0x0000, 0}, 3, nullptr, "overlong three-byte 0"},
      {{0xED, 0xA0, 0x80}, 3, 8, 2, {0xD800, 0}, 3, nullptr, "encoded surrogate yields it"},
      {{0xF7, 0xBF, 0xBF, 0xBF}, 4, 8, 3, {0xDFBF, 0xDFFF, 0}, 4, nullptr, "past U+10FFFF"},
      {{0xF0, 0x80, 0x80, 0x80}, 4, 8, 3, {0xD7C0, 0xDC00, 0}, 4, nullptr, "overlong pair, signed"},
      {{0xC3, 0x00}, kNul, 4, 1, {0}, 0, kIncomplete2, "nul mode: terminator inside the form"},
      {{0xC3, 0x00}, 2, 4, 1, {0}, 0, kInvalid2, "counted: the 0 is no continuation"},
      {{0x41, 0xC3}, 2, 4, 2, {0x41, 0}, 1, kIncomplete2, "counted: lead at the end"},
      {{0xC3, 0x41}, 2, 4, 1, {0}, 0, kInvalid2, "ASCII after a two-byte lead"},
      {{0xE2, 0x82}, 2, 4, 1, {0}, 0, kIncomplete3, "three-byte form cut by the count"},
      {{0xE2, 0x41}, 2, 4, 1, {0}, 0, kIncomplete3, "completeness is tested before continuation"},
      {{0xE2, 0x00}, kNul, 4, 1, {0}, 0, kIncomplete3, "terminator right after the lead"},
      {{0xE2, 0x41, 0x00}, kNul, 4, 1, {0}, 0, kIncomplete3, "a 0 anywhere in the form"},
      {{0xE2, 0x41, 0x82}, 3, 4, 1, {0}, 0, kInvalid3, "first continuation bad"},
      {{0xE2, 0x82, 0xC3}, 3, 4, 1, {0}, 0, kInvalid3, "second continuation bad"},
      {{0xF0, 0x9F, 0x98}, 3, 4, 1, {0}, 0, kIncomplete4, "four-byte form cut by the count"},
      {{0xF0, 0x9F, 0x98, 0x00}, kNul, 4, 1, {0}, 0, kIncomplete4, "four-byte form cut by a 0"},
      {{0xF0, 0x9F, 0x41, 0x80}, 4, 4, 1, {0}, 0, kInvalid4, "third byte no continuation"},
      {{0xF0, 0x9F, 0x98, 0xC0}, 4, 4, 1, {0}, 0, kInvalid4, "last byte no continuation"},
      {{0x61, 0x80, 0x62}, 3, 8, 2, {0x61, 0}, 1, kInvalidLead, "stray continuation byte"},
      {{0xBF}, 1, 4, 1, {0}, 0, kInvalidLead, "last continuation value"},
      {{0xF8, 0x88, 0x80, 0x80, 0x80}, 5, 4, 1, {0}, 0, kInvalidLead, "no five-byte forms"},
      {{0x41, 0xFF}, kNul, 4, 2, {0x41, 0}, 1, kInvalidLead, "0xFF is never a lead"},
      {{0x41, 0x42}, -5, 4, 1, {0}, 0, nullptr, "negative count other than -1: empty"},
      {{0x41, 0x00}, kNul, 1, 2, {0}, 1, nullptr, "size 1: only the terminator fits"},
      {{'a', 'b', 'c', 'd', 0}, kNul, 3, 5, {'a', 'b', 0}, 4, nullptr, "cut; counting goes on"},
      {{'a', 0xF0, 0x9F, 0x98, 0x80}, 5, 3, 4, {'a', 0}, 5, nullptr, "pair not stored in half"},
      {{'a', 0xF0, 0x9F, 0x98, 0x80, 'b'}, 6, 3, 5, {'a', 0}, 6, nullptr, "nothing after a miss"},
      {{0xF0, 0x9F, 0x98, 0x80}, 4, 3, 3, {0xD83D, 0xDE00, 0}, 4, nullptr, "pair fits exactly"},
      {{'a', 'b', 'c', 0x80}, 4, 2, 4, {'a', 0}, 3, kInvalidLead, "full buffer still checks"},
      {{'a', 'b'}, 2, 2, 3, {'a', 0}, 2, nullptr, "counted: a result above size means cut"},
  };
  for (const Decoder& d : kDecoders) {
    for (const DecodeRow& r : rows) {
      std::vector<Utf16Unit> expected(static_cast<std::size_t>(r.dstSize), kUntouchedUnit);
      std::copy(r.stored.begin(), r.stored.end(), expected.begin());
      const auto got = utf8_outcome::Decode(d.fn, r.src, r.srcLen, r.dstSize);
      const utf8_outcome::Outcome<Utf16Unit> want{
          r.result, r.consumed, expected,
          r.trace ? std::vector<std::string>{r.trace} : std::vector<std::string>{}};
      EXPECT_EQ(got, want) << d.name << ": " << r.why;

      // Counting (null destination, then size 0) gives the same count and consumed count and
      // the same diagnostic, and touches nothing.
      const auto counted = utf8_outcome::Decode(d.fn, r.src, r.srcLen, 0, false);
      EXPECT_EQ(counted, (utf8_outcome::Outcome<Utf16Unit>{r.result, r.consumed, {}, want.traces}))
          << d.name << " counting: " << r.why;
    }
  }
}

TEST(Utf8ToUcs2, NullSourceTouchesNothing) {
  for (const Decoder& d : kDecoders) {
    std::vector<Utf16Unit> dst(4, kUntouchedUnit);
    std::int32_t consumed = kUntouchedConsumed;
    trace_capture::Take();
    EXPECT_EQ(d.fn(nullptr, kNul, dst.data(), 4, &consumed), -1) << d.name;
    EXPECT_EQ(trace_capture::Take(),
              std::vector<std::string>{"Utf8ToUcs2: Input UTF-8 pointer is null"});
    EXPECT_EQ(consumed, kUntouchedConsumed) << d.name;
    EXPECT_EQ(dst, std::vector<Utf16Unit>(4, kUntouchedUnit)) << d.name;
  }
}

TEST(Utf8ToUcs2, SizeZeroOrNegativeWithADestinationStoresNothing) {
  const std::vector<std::uint8_t> src{'a', 'b', 0xC3, 0xA9};
  for (const Decoder& d : kDecoders) {
    for (std::int32_t size : {0, -1, -40}) {
      Utf16Unit dst[2] = {kUntouchedUnit, kUntouchedUnit};
      std::int32_t consumed = 0;
      EXPECT_EQ(d.fn(src.data(), 4, dst, size, &consumed), 4) << d.name << " size " << size;
      EXPECT_EQ(consumed, 4);
      EXPECT_EQ(dst[0], kUntouchedUnit) << d.name << " size " << size;
    }
  }
}

struct EncodeRow {
  std::vector<Utf16Unit> src;  // in nul mode the terminator is part of it
  std::int32_t srcLen;
  std::int32_t dstSize;
  std::int32_t result;
  std::vector<std::uint8_t> stored;  // what the destination must start with
  const char* why;
};

TEST(Ucs2ToUtf8, Rules) {
  const EncodeRow rows[] = {
      {{0x00E9}, 1, 8, 2, {0xC3, 0xA9}, "two-byte form"},
      {{0x20AC}, 1, 8, 3, {0xE2, 0x82, 0xAC}, "three-byte form"},
      {{0x007F}, 1, 8, 1, {0x7F}, "last one-byte unit"},
      {{0x0080}, 1, 8, 2, {0xC2, 0x80}, "first two-byte unit"},
      {{0x07FF}, 1, 8, 2, {0xDF, 0xBF}, "last two-byte unit"},
      {{0x0800}, 1, 8, 3, {0xE0, 0xA0, 0x80}, "first three-byte unit"},
      {{0xFFFF}, 1, 8, 3, {0xEF, 0xBF, 0xBF}, "last unit"},
      {{0xD83D, 0xDE00}, 2, 8, 6, {0xED, 0xA0, 0xBD, 0xED, 0xB8, 0x80}, "pair: two forms"},
      {{0x41, 0x00, 0x42}, 3, 8, 3, {0x41, 0x00, 0x42}, "a counted 0 is encoded"},
      {{'A', 0}, kNul, 0, 2, {}, "nul mode counts the terminator"},
      {{'A'}, 1, 0, 1, {}, "counted mode does not"},
      {{'a', 'b', 'c', 0}, kNul, 3, 3, {'a', 'b', 0}, "full: terminator over the last byte"},
      {{'a', 'b', 'c', 0}, kNul, 4, 4, {'a', 'b', 'c', 0}, "exact fit with terminator"},
      {{'a', 'b', 'c'}, 3, 10, 3, {'a', 'b', 'c'}, "counted: no terminator written"},
      {{'a', 'b', 'c'}, 3, 2, 2, {'a', 'b'}, "counted: stops when full"},
      {{'a', 0x20AC, 0}, kNul, 3, 2, {'a', 0}, "a form that does not fit is left out"},
      {{'a', 0x20AC}, 2, 3, 1, {'a'}, "left out in counted mode too"},
      {{'a', 0x00E9, 'b'}, 3, 2, 1, {'a'}, "encoding ends at the unit left out"},
      {{'a', 0x20AC, 0}, kNul, 4, 4, {'a', 0xE2, 0x82, 0}, "exact fill: form cut by the 0"},
      {{0x20AC, 0}, kNul, 2, 1, {0}, "nothing fits: just the terminator"},
      {{'a', 'b'}, -3, 4, 0, {}, "negative count other than -1: empty"},
      {{'a', 'b', 0}, kNul, -2, 0, {}, "negative size: nothing written"},
  };
  for (const Encoder& e : kEncoders) {
    for (const EncodeRow& r : rows) {
      std::vector<std::uint8_t> expected(r.dstSize > 0 ? static_cast<std::size_t>(r.dstSize) : 0,
                                         kUntouchedByte);
      std::copy(r.stored.begin(), r.stored.end(), expected.begin());
      EXPECT_EQ(utf8_outcome::Encode(e.fn, r.src, r.srcLen, r.dstSize),
                (utf8_outcome::Outcome<std::uint8_t>{r.result, kUntouchedConsumed, expected, {}}))
          << e.name << ": " << r.why;
    }
  }
}

// Every UTF-16 unit alone: its form has the length and lead class the unit's range gives, forms
// sort like their units (so no bit lands in the wrong place), and the decoder takes each form
// back to the unit, surrogates included.
TEST(Utf8Codec, EveryUnitRoundTrips) {
  for (const Encoder& e : kEncoders) {
    std::vector<std::uint8_t> previous;
    for (std::uint32_t u = 0; u <= 0xFFFF; ++u) {
      const std::vector<Utf16Unit> unit{static_cast<Utf16Unit>(u)};
      const std::int32_t length = u < 0x80 ? 1 : u < 0x800 ? 2 : 3;
      const auto form = utf8_outcome::Encode(e.fn, unit, 1, length);
      ASSERT_EQ(form.result, length) << e.name << " U+" << std::hex << u;
      const std::uint8_t leadMask = length == 1 ? 0x80 : length == 2 ? 0xE0 : 0xF0;
      const std::uint8_t leadBits = length == 1 ? 0x00 : length == 2 ? 0xC0 : 0xE0;
      ASSERT_EQ(form.dst[0] & leadMask, leadBits) << e.name << " U+" << std::hex << u;
      if (u > 0) {
        ASSERT_LT(previous, form.dst) << e.name << " U+" << std::hex << u;
      }
      previous = form.dst;

      for (const Decoder& d : kDecoders) {
        const auto back = utf8_outcome::Decode(d.fn, form.dst, length, 2);
        ASSERT_EQ(back, (utf8_outcome::Outcome<Utf16Unit>{2, length, {unit[0], 0}, {}}))
            << d.name << " U+" << std::hex << u;
      }
    }
  }
}

// All 65,536 units as one counted string: measuring and converting agree, and the text comes
// back unchanged in one decoder call.
TEST(Utf8Codec, AllUnitsInOneString) {
  std::vector<Utf16Unit> all(0x10000);
  for (std::size_t u = 0; u < all.size(); ++u)
    all[u] = static_cast<Utf16Unit>(u);
  const auto allLen = static_cast<std::int32_t>(all.size());
  constexpr std::int32_t kBytes = 0x80 * 1 + (0x800 - 0x80) * 2 + (0x10000 - 0x800) * 3;
  for (const Encoder& e : kEncoders) {
    EXPECT_EQ(e.fn(all.data(), allLen, nullptr, 0), kBytes) << e.name;
    const auto bytes = utf8_outcome::Encode(e.fn, all, allLen, kBytes);
    ASSERT_EQ(bytes.result, kBytes) << e.name;
    for (const Decoder& d : kDecoders) {
      const auto units = utf8_outcome::Decode(d.fn, bytes.dst, kBytes, allLen + 1);
      ASSERT_EQ(units.result, allLen + 1) << d.name;
      EXPECT_EQ(units.consumed, kBytes) << d.name;
      EXPECT_TRUE(std::equal(all.begin(), all.end(), units.dst.begin())) << d.name;
      EXPECT_EQ(units.dst.back(), 0) << d.name;
    }
  }
}

}  // namespace
}  // namespace corvane
