// Encoded length measurement on every road: byte counting, double-byte pairs, ISO-2022-JP with
// its escape sequences, and UTF-8 through the decoder's counting mode.
#include "convert/measure.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "utf8/utf8_codec.h"

namespace corvane {
namespace {

constexpr std::int32_t kNul = -1;
constexpr std::uint8_t ESC = 0x1B;

struct MeasureRow {
  std::uint32_t codePage;
  std::vector<std::uint8_t> bytes;  // in nul mode the terminator is part of it
  std::int32_t length;
  std::int32_t result;
  std::int32_t consumed;
  const char* why;
};

const MeasureRow kRows[] = {
    {1252, {'a', 'b', 'c', 0}, kNul, 4, 3, "the terminator counts as a character"},
    {1252, {'a', 'b', 'c'}, 3, 3, 3, "counted: nothing added"},
    {1252, {0x61, 0x00, 0x62}, 3, 3, 3, "a counted 0 is a character"},
    {1252, {0x61, 0x62}, -5, 0, 0, "negative count other than -1: empty"},
    {88591, {0xFF, 0x80, 0}, kNul, 3, 2, "high bytes are single characters"},
    {932, {0x82, 0xA0, 0x41, 0}, kNul, 3, 3, "a pair and a byte"},
    {932, {0x82, 0}, kNul, 1, 0, "lead before the terminator: not counted"},
    {932, {0x82}, 1, 0, 0, "lead at the end of a count: not counted"},
    {932, {0x41, 0x82}, 2, 1, 1, "consumed stops before the lead"},
    {932, {0xF0, 0x41}, 2, 2, 2, "0xF0 is no lead byte here"},
    {932, {0x82, 0x00, 0x41}, 3, 2, 3, "counted: a 0 trail still makes a pair"},
    {932, {0x82, 0xA0}, -5, 0, 0, "negative count other than -1: empty"},
    {936, {0xA1, 0xA1, 0x81, 0x41}, 4, 3, 4, "0x81 is no lead byte in this test"},
    {949, {0xB0, 0xA1, 0xB0}, 3, 1, 2, "Korean lead at the end"},
    {950, {0xA4, 0x40, 0x41, 0}, kNul, 3, 3, "Big5 pair"},
    {51932, {0xA4, 0xA2, 0x8E, 0x41}, 4, 3, 4, "0x8E is no lead in this test"},
    {51932, {0xA4, 0xA2, 0xB1}, 3, 1, 2, "EUC-JP lead at the end"},
    {51936, {0xA1, 0xA1}, 2, 2, 2, "51936 counts bytes"},
    {2022, {ESC, '$', 'B', 0x24, 0x22, ESC, '(', 'B', 'A', 0}, kNul, 3, 9, "escapes not counted"},
    {2022, {'A', ESC, '$'}, 3, 1, 1, "unfinished three-byte escape"},
    {2022, {'A', ESC}, 2, 1, 1, "lone ESC at the end"},
    {2022, {'A', ESC, 0}, kNul, 2, 1, "lone ESC before the terminator"},
    {2022, {ESC, '$', 'B', 0x30, 0x21, 0x0D, 'A'}, 7, 3, 7, "CR returns to single-byte mode"},
    {2022, {ESC, '$', 'B', 0x30, 0x21, 0x0A, 'A', 'B'}, 8, 4, 8, "so does LF"},
    {2022, {ESC, '$', 'B', 0x30}, 4, 0, 3, "first byte of an unfinished pair"},
    {2022, {ESC, '$', 'B', 0x30, 0}, kNul, 1, 3, "same before the terminator"},
    {2022, {ESC, 'K', 0x30, 0x21}, 4, 1, 4, "ESC K: two-byte mode, two-byte sequence"},
    {2022, {ESC, 'K'}, 2, 0, 2, "a complete two-byte escape at the end"},
    {2022, {ESC, '$', 'B', ESC, 'H', 'a', 'b'}, 7, 2, 7, "any other escape: single-byte"},
    {2022, {'A', 'B'}, -5, 0, 0, "negative count other than -1: empty"},
    {65001, {'A', 0}, kNul, 2, 1, "UTF-8: units plus the terminator"},
    {65001, {'A'}, 1, 2, 1, "UTF-8 counts the terminator in counted mode too"},
    {65001, {0xF0, 0x9F, 0x98, 0x80, 'A'}, 5, 4, 5, "a pair is two units"},
    {65001, {'A', 0x80, 'B'}, 3, 2, 1, "consumed points at the faulty byte"},
    {65001, {'A', 0xE3, 0x81}, 3, 2, 1, "an unfinished form is left for the next piece"},
    {65001, {'A'}, -5, 1, 0, "negative count: empty, plus the terminator"},
    {0, {0x82, 0xA0}, 2, 2, 2, "pseudo code pages are not resolved: bytes"},
    {3, {0x82, 0xA0, 0}, kNul, 3, 2, "code page 3 counts bytes"},
    {2023, {ESC, '$', 'B', 0}, kNul, 4, 3, "2023 counts bytes, escapes included"},
};

TEST(MeasureEncodedString, Rules) {
  for (const MeasureRow& r : kRows) {
    const std::vector<std::uint8_t> bytes(r.bytes);  // exactly sized, for AddressSanitizer
    std::int32_t consumed = -7;
    EXPECT_EQ(MeasureEncodedString(bytes.data(), r.codePage, r.length, &consumed), r.result)
        << r.codePage << ": " << r.why;
    EXPECT_EQ(consumed, r.consumed) << r.codePage << ": " << r.why;
    EXPECT_EQ(MeasureEncodedString(bytes.data(), r.codePage, r.length, nullptr), r.result)
        << r.codePage << " without consumed: " << r.why;
  }
}

TEST(MeasureEncodedString, NullBytes) {
  std::int32_t consumed = 5;
  EXPECT_EQ(MeasureEncodedString(nullptr, 65001, kNul, &consumed), -1);
  EXPECT_EQ(consumed, -1) << "set to -1 first and left there";
  // Elsewhere a null pointer is never read: it measures as an empty counted string.
  for (std::uint32_t codePage : {1252u, 932u, 2022u, 3u}) {
    for (std::int32_t length : {kNul, 0, 4}) {
      consumed = 5;
      EXPECT_EQ(MeasureEncodedString(nullptr, codePage, length, &consumed), 0) << codePage;
      EXPECT_EQ(consumed, 0) << codePage;
    }
  }
}

// A stream read in pieces: whatever prefix arrives, the consumed count ends on a character
// boundary, and measuring exactly that much again accepts all of it with the same count.
TEST(MeasureEncodedString, ConsumedEndsOnACharacterBoundary) {
  struct Stream {
    std::uint32_t codePage;
    std::vector<std::uint8_t> bytes;
  };
  const Stream streams[] = {
      {932, {0x82, 0xA0, 'a', 0x88, 0x9F, 0x82, 'b', 0xE0, 0x40, 0x81}},
      {949, {0xB0, 0xA1, 'a', 0xC7, 0xD1, 0xB1}},
      {2022, {'a', ESC, '$', 'B', 0x30, 0x21, 0x30, 0x22, ESC, '(', 'B', 'b', ESC, 'K', 0x30}},
      {65001, {'a', 0xE3, 0x81, 0x82, 0xF0, 0x9F, 0x98, 0x80, 0xC3, 0xA9, 'b'}},
  };
  for (const Stream& s : streams) {
    for (std::size_t cut = 0; cut <= s.bytes.size(); ++cut) {
      // Exactly `cut` bytes on the heap, and a real pointer even when cut is 0.
      const auto piece = std::make_unique<std::uint8_t[]>(cut);
      std::copy_n(s.bytes.begin(), cut, piece.get());
      const auto length = static_cast<std::int32_t>(cut);
      std::int32_t consumed = -7;
      const std::int32_t count = MeasureEncodedString(piece.get(), s.codePage, length, &consumed);
      ASSERT_GE(consumed, 0);
      ASSERT_LE(consumed, length);
      std::int32_t again = -7;
      EXPECT_EQ(MeasureEncodedString(piece.get(), s.codePage, consumed, &again), count)
          << s.codePage << " cut at " << cut;
      EXPECT_EQ(again, consumed) << s.codePage << " cut at " << cut;
    }
  }
}

// Under 65001 the measurement is exactly the decoder's count: what it says is what decoding
// produces.
TEST(MeasureEncodedString, Utf8CountEqualsDecodedUnits) {
  const std::vector<std::uint8_t> text{'a', 0xE3, 0x81, 0x82, 0xF0, 0x9F, 0x98, 0x80, 0xC3, 0xA9};
  const auto length = static_cast<std::int32_t>(text.size());
  std::vector<Utf16Unit> units(16);
  const std::int32_t decoded = Utf8ToUcs2(text.data(), length, units.data(), 16, nullptr);
  EXPECT_EQ(decoded, 6);
  EXPECT_EQ(MeasureEncodedString(text.data(), 65001, length, nullptr), decoded);
}

}  // namespace
}  // namespace corvane
