// The UTF-8 exports and CV_StrLength through the public header, against the shipped library.
#include <gtest/gtest.h>

#include <vector>

#include "corvane.h"

namespace {

TEST(Utf8Exports, RoundTripAndRefusals) {
  // "a", U+00E9, U+3042, U+1F600 (a pair, which comes back as two three-byte forms), terminator.
  const std::vector<uint8_t> utf8{'a', 0xC3, 0xA9, 0xE3, 0x81, 0x82, 0xF0, 0x9F, 0x98, 0x80, 0};
  const std::vector<uint16_t> wide{'a', 0x00E9, 0x3042, 0xD83D, 0xDE00, 0};
  std::vector<uint16_t> units(6);
  EXPECT_EQ(CV_UTF8ToWideChar(utf8.data(), -1, nullptr, 0), 6);
  EXPECT_EQ(CV_UTF8ToWideChar(utf8.data(), -1, units.data(), 6), 6);
  EXPECT_EQ(units, wide);
  std::vector<uint8_t> bytes(13);
  EXPECT_EQ(CV_WideCharToUTF8(wide.data(), -1, nullptr, 0), 13);
  EXPECT_EQ(CV_WideCharToUTF8(wide.data(), -1, bytes.data(), 13), 13);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{'a', 0xC3, 0xA9, 0xE3, 0x81, 0x82, 0xED, 0xA0, 0xBD, 0xED,
                                         0xB8, 0x80, 0}));
  EXPECT_EQ(CV_UTF8ToWideChar(nullptr, -1, units.data(), 6), -1);
  EXPECT_EQ(CV_WideCharToUTF8(nullptr, -1, bytes.data(), 13), 0);
  EXPECT_EQ(CV_WideCharToUTF8(wide.data(), -1, nullptr, 13), 0);
}

TEST(StrLength, HandsThrough) {
  const uint8_t sjis[] = {0x82, 0xA0, 0x41, 0x82};
  int32_t consumed = 0;
  EXPECT_EQ(CV_StrLength(932, sjis, 4, &consumed), 2);
  EXPECT_EQ(consumed, 3);
  EXPECT_EQ(CV_StrLength(65001, nullptr, -1, &consumed), -1);
  EXPECT_EQ(consumed, -1);
}

}  // namespace
