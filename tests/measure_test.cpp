// Encoded length measurement on every road: byte counting, double-byte pairs, ISO-2022-JP with
// its escape sequences, and UTF-8 through the decoder's counting mode.
#include <gtest/gtest.h>

#include <cstdint>
#include <tuple>

#include "corvane.h"
#include "tests/support/hex.h"

namespace corvane {
namespace {

constexpr std::int32_t kNul = -1;

// Code page, bytes (hex; in nul mode the terminator is part of them; null: a null pointer),
// length, result, consumed count, and why.
// clang-format off
const std::tuple<std::uint32_t, const char*, int, int, int, const char*> kRows[] = {
    {1252, "61 62 63 00", kNul, 4, 3, "the terminator counts as a character"},
    {1252, "61 62", -5, 0, 0, "negative count other than -1: empty"},
    {932, nullptr, kNul, 0, 0, "elsewhere a null pointer is never read: empty"},
    {932, "82 A0 41 00", kNul, 3, 3, "a pair and a byte"},
    {932, "9F 40 E0 40 EF 40 F0 41", 8, 5, 8, "0x9F, 0xE0 and 0xEF lead; 0xF0 does not"},
    {932, "80 A0 DF 81", 4, 3, 3, "0x80, 0xA0 and 0xDF stand alone; 0x81 leads"},
    {949, "A0 A1 FE A1 FF", 5, 3, 5, "0xA0 stands alone; 0xA1 and 0xFE lead"},
    {932, "82 00", kNul, 1, 0, "lead before the terminator: not counted"},
    {932, "41 82", 2, 1, 1, "lead at the end of a count: consumed stops before it"},
    {932, "82 00 41", 3, 2, 3, "counted: a 0 trail still makes a pair"},
    {936, "A1 A1 81 41", 4, 3, 4, "0x81 is no lead byte in this test"},
    {51932, "A4 A2 8E 41", 4, 3, 4, "0x8E is no lead in this test"},
    {51936, "A1 A1", 2, 2, 2, "51936 has no lead bytes"},
    {2022, "1B 24 42 24 22 1B 28 42 41 00", kNul, 3, 9, "escapes not counted"},
    {2022, "41 1B 24", 3, 1, 1, "unfinished three-byte escape"},
    {2022, "41 1B 00", kNul, 2, 1, "lone ESC before the terminator"},
    {2022, "1B 24 42 30 21 0D 41", 7, 3, 7, "CR returns to single-byte mode"},
    {2022, "1B 24 42 30 21 0A 41 42", 8, 4, 8, "so does LF"},
    {2022, "1B 24 42 30", 4, 0, 3, "first byte of an unfinished pair"},
    {2022, "1B 4B 30 21", 4, 1, 4, "ESC K: two-byte mode, two-byte sequence"},
    {2022, "1B 24 42 1B 48 61 62", 7, 2, 7, "any other escape: single-byte"},
    {65001, "41 00", kNul, 2, 1, "UTF-8: units plus the terminator"},
    {65001, "41", 1, 2, 1, "UTF-8 counts the terminator in counted mode too"},
    {65001, "F0 9F 98 80 41", 5, 4, 5, "a pair is two units"},
    {65001, "41 80 42", 3, 2, 1, "consumed points at the faulty byte"},
    {65001, nullptr, kNul, -1, -1, "the decoder refuses a null pointer; consumed stays -1"},
    {0, "82 A0", 2, 2, 2, "pseudo code pages are not resolved: bytes"},
    {2023, "1B 24 42 00", kNul, 4, 3, "2023 counts bytes, escapes included"},
};
// clang-format on

TEST(MeasureEncodedString, Rules) {
  for (const auto& [codePage, hex, length, result, wantConsumed, why] : kRows) {
    const Bytes bytes = B(hex != nullptr ? hex : "");  // exactly sized, for AddressSanitizer
    const std::uint8_t* text = hex != nullptr ? bytes.data() : nullptr;
    std::int32_t consumed = -7;
    EXPECT_EQ(CV_StrLength(codePage, text, length, &consumed), result) << why;
    EXPECT_EQ(consumed, wantConsumed) << codePage << ": " << why;
    EXPECT_EQ(CV_StrLength(codePage, text, length, nullptr), result) << "no consumed";
  }
}

}  // namespace
}  // namespace corvane
