// The two general conversions through the shipped shared library. The same rows must hold
// whichever road a code page takes: the system's conversion (iconv) in the default build, the
// library's own tables in the build without system conversion.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "corvane.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Units = std::vector<uint16_t>;

struct Row {
  uint32_t codePage;
  Units text;
  Bytes bytes;
};

// One character of each registered code page followed by "A", in published mappings. 10008 has
// a test of its own below.
const Row kRows[] = {
    {40866, {0x0410, 0x41}, {0x80, 0x41}},
    {40869, {0x0386, 0x41}, {0x86, 0x41}},
    {88591, {0x00E9, 0x41}, {0xE9, 0x41}},
    {88592, {0x0141, 0x41}, {0xA3, 0x41}},
    {88593, {0x0126, 0x41}, {0xA1, 0x41}},
    {88594, {0x0138, 0x41}, {0xA2, 0x41}},
    {88595, {0x0401, 0x41}, {0xA1, 0x41}},
    {88596, {0x0627, 0x41}, {0xC7, 0x41}},
    {88597, {0x0391, 0x41}, {0xC1, 0x41}},
    {88598, {0x05D0, 0x41}, {0xE0, 0x41}},
    {88599, {0x011E, 0x41}, {0xD0, 0x41}},
    {51932, {0x3042, 0x41}, {0xA4, 0xA2, 0x41}},
    {2022, {0x41, 0x3042}, {0x41, 0x1B, 0x24, 0x42, 0x24, 0x22}},
    {20866, {0x0430, 0x41}, {0xC1, 0x41}},
    {949, {0xAC00, 0x41}, {0xB0, 0xA1, 0x41}},
    {10000, {0x00E9, 0x41}, {0x8E, 0x41}},
    {932, {0x3042, 0x41}, {0x82, 0xA0, 0x41}},
    {1256, {0x0628, 0x41}, {0xC8, 0x41}},
    {1251, {0x0411, 0x41}, {0xC1, 0x41}},
    {1250, {0x0141, 0x41}, {0xA3, 0x41}},
    {1253, {0x0391, 0x41}, {0xC1, 0x41}},
    {1255, {0x05D0, 0x41}, {0xE0, 0x41}},
    {1254, {0x011E, 0x41}, {0xD0, 0x41}},
    {1252, {0x00E9, 0x41}, {0xE9, 0x41}},
    {950, {0x4E00, 0x41}, {0xA4, 0x40, 0x41}},
    {936, {0x554A, 0x41}, {0xB0, 0xA1, 0x41}},
    {40850, {0x00E9, 0x41}, {0x82, 0x41}},
    {40852, {0x0141, 0x41}, {0x9D, 0x41}},
    {40861, {0x00E9, 0x41}, {0x82, 0x41}},
    {40862, {0x05D0, 0x41}, {0x80, 0x41}},
    {28605, {0x20AC, 0x41}, {0xA4, 0x41}},
    {1257, {0x0104, 0x41}, {0xC0, 0x41}},
    {65001, {0x00E9, 0x41}, {0xC3, 0xA9, 0x41}},
};

Units Decode(uint32_t cp, const Bytes& bytes) {
  Units out(bytes.size() + 4);
  const int32_t n =
      CV_MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int32_t>(bytes.size()), out.data(),
                             static_cast<int32_t>(out.size()), nullptr, nullptr);
  out.resize(static_cast<std::size_t>(n > 0 ? n : 0));
  if (cp == 65001 && !out.empty()) out.pop_back();  // the UTF-8 decoder's own terminator
  return out;
}

Bytes Encode(uint32_t cp, const Units& text) {
  Bytes out(text.size() * 4 + 8);
  const int32_t n =
      CV_WideCharToMultiByte(cp, 0, text.data(), static_cast<int32_t>(text.size()), out.data(),
                             static_cast<int32_t>(out.size()), nullptr, nullptr);
  out.resize(static_cast<std::size_t>(n > 0 ? n : 0));
  return out;
}

TEST(Conversion, EveryRegisteredCodePageBothWays) {
  for (const Row& r : kRows) {
    EXPECT_EQ(Encode(r.codePage, r.text), r.bytes) << r.codePage;
    EXPECT_EQ(Decode(r.codePage, r.bytes), r.text) << r.codePage;
    // Measuring agrees with converting.
    EXPECT_EQ(
        CV_WideCharToMultiByte(r.codePage, 0, r.text.data(), static_cast<int32_t>(r.text.size()),
                               nullptr, 0, nullptr, nullptr),
        static_cast<int32_t>(r.bytes.size()))
        << r.codePage;
  }
}

TEST(Conversion, TheRoadIsTheSystemsWhereItCan) {
  const uint8_t euroByte[] = {0x80};
  uint16_t unit = 0;
  ASSERT_EQ(CV_MultiByteToWideChar(1252, 0, euroByte, 1, &unit, 1, nullptr, nullptr), 1);
#if CORVANE_SYSTEM_CONVERSION
  EXPECT_EQ(unit, 0x20AC) << "the system's windows-1252 has the euro sign";
#else
  EXPECT_EQ(unit, 0x003F) << "our 1252 table leaves 0x80 without a character";
#endif
  // Thai is not registered: only the system converts it.
  const uint8_t thai[] = {0xA1};
#if CORVANE_SYSTEM_CONVERSION
  ASSERT_EQ(CV_MultiByteToWideChar(874, 0, thai, 1, &unit, 1, nullptr, nullptr), 1);
  EXPECT_EQ(unit, 0x0E01);
#else
  EXPECT_EQ(CV_MultiByteToWideChar(874, 0, thai, 1, &unit, 1, nullptr, nullptr), 0);
#endif
}

// 10008 is the library's number for Macintosh Hebrew, which its tables convert. Windows has a
// code page 10008 of its own, Macintosh Simplified Chinese, and the registry hands every code
// page that the system converts to the system: so where Windows converts, 10008 is
// Chinese. glibc's iconv has no 10008, so on POSIX it stays Hebrew.
TEST(Conversion, Number10008IsMacHebrewUnlessWindowsConvertsIt) {
  const Bytes gb2312{0xB0, 0xA1, 0x41};  // U+554A in GB 2312, then "A"
#if defined(_WIN32) && CORVANE_SYSTEM_CONVERSION
  EXPECT_EQ(Decode(10008, gb2312), (Units{0x554A, 0x41}));
#else
  EXPECT_EQ(Decode(10008, {0xE0, 0x41}), (Units{0x05D0, 0x41}));
  EXPECT_EQ(Encode(10008, {0x05D0, 0x41}), (Bytes{0xE0, 0x41}));
  EXPECT_NE(Decode(10008, gb2312), (Units{0x554A, 0x41}));
#endif
}

}  // namespace
