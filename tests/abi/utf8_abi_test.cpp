// The UTF-8 exports and CV_StrLength through the public header, against the shipped library.
#include <gtest/gtest.h>

#include <vector>

#include "corvane.h"

namespace {

TEST(Utf8Exports, RoundTripThroughBothExports) {
  // "a", U+00E9, U+3042, U+1F600 (a surrogate pair), terminator.
  const uint8_t utf8[] = {'a', 0xC3, 0xA9, 0xE3, 0x81, 0x82, 0xF0, 0x9F, 0x98, 0x80, 0};
  const int32_t units = CV_UTF8ToWideChar(utf8, -1, nullptr, 0);
  ASSERT_EQ(units, 6);
  std::vector<uint16_t> wide(static_cast<size_t>(units));
  EXPECT_EQ(CV_UTF8ToWideChar(utf8, -1, wide.data(), units), units);
  EXPECT_EQ(wide, (std::vector<uint16_t>{'a', 0x00E9, 0x3042, 0xD83D, 0xDE00, 0}));

  // The encoder writes the pair as two three-byte forms.
  const int32_t bytes = CV_WideCharToUTF8(wide.data(), -1, nullptr, 0);
  ASSERT_EQ(bytes, 13);
  std::vector<uint8_t> back(static_cast<size_t>(bytes));
  EXPECT_EQ(CV_WideCharToUTF8(wide.data(), -1, back.data(), bytes), bytes);
  EXPECT_EQ(back, (std::vector<uint8_t>{'a', 0xC3, 0xA9, 0xE3, 0x81, 0x82, 0xED, 0xA0, 0xBD, 0xED,
                                        0xB8, 0x80, 0}));
}

TEST(Utf8Exports, RefusedArguments) {
  uint16_t wide[2] = {7, 7};
  EXPECT_EQ(CV_UTF8ToWideChar(nullptr, -1, wide, 2), -1);
  EXPECT_EQ(wide[0], 7);
  uint8_t narrow[2] = {7, 7};
  EXPECT_EQ(CV_WideCharToUTF8(nullptr, -1, narrow, 2), 0);
  EXPECT_EQ(CV_WideCharToUTF8(wide, 2, nullptr, 2), 0);
  EXPECT_EQ(CV_WideCharToUTF8(wide, 2, narrow, -1), 0);
  EXPECT_EQ(narrow[0], 7);
}

TEST(StrLength, EachRoad) {
  const uint8_t sjis[] = {0x82, 0xA0, 0x41, 0x82};
  const uint8_t jis[] = {0x1B, '$', 'B', 0x24, 0x22, 0x1B, '(', 'B', 'A', 0};
  const uint8_t utf8[] = {'A', 0xE3, 0x81};
  int32_t consumed = 0;
  EXPECT_EQ(CV_StrLength(932, sjis, 4, &consumed), 2);
  EXPECT_EQ(consumed, 3);
  EXPECT_EQ(CV_StrLength(2022, jis, -1, &consumed), 3);
  EXPECT_EQ(consumed, 9);
  EXPECT_EQ(CV_StrLength(65001, utf8, 3, &consumed), 2);
  EXPECT_EQ(consumed, 1);
  EXPECT_EQ(CV_StrLength(2023, sjis, 4, &consumed), 4);
  EXPECT_EQ(consumed, 4);
  EXPECT_EQ(CV_StrLength(65001, nullptr, -1, &consumed), -1);
  EXPECT_EQ(consumed, -1);
}

}  // namespace
