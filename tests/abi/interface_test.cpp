// The shipped shared library through its public header only. The same rows must hold whichever
// road a code page takes: the system's conversion (iconv, or Windows' own in corvane.dll) in the
// default build, the library's own tables in the build without system conversion.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "corvane.h"

namespace {

#if CORVANE_SYSTEM_CONVERSION
constexpr bool kSystem = true;
#else
constexpr bool kSystem = false;
#endif

using Bytes = std::vector<uint8_t>;
using Units = std::vector<uint16_t>;

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

// One character of each registered code page followed by "A", in published mappings, both ways;
// measuring agrees with converting; each is registered whatever the system converts.
TEST(Interface, EveryRegisteredCodePageBothWays) {
  const struct {
    uint32_t codePage;
    Units text;
    Bytes bytes;
  } rows[] = {
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
  // 10008 is the library's number for Macintosh Hebrew, which its tables convert. Windows has a
  // 10008 of its own, Macintosh Simplified Chinese, and the registry hands every code page that
  // the system converts to the system: so where Windows converts, 10008 is Chinese. glibc's iconv
  // has no 10008, so on POSIX it stays Hebrew.
#if defined(_WIN32) && CORVANE_SYSTEM_CONVERSION
    {10008, {0x554A, 0x41}, {0xB0, 0xA1, 0x41}},
#else
    {10008, {0x05D0, 0x41}, {0xE0, 0x41}},
#endif
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.codePage);
    EXPECT_EQ(Encode(r.codePage, r.text), r.bytes);
    EXPECT_EQ(Decode(r.codePage, r.bytes), r.text);
    EXPECT_EQ(
        CV_WideCharToMultiByte(r.codePage, 0, r.text.data(), static_cast<int32_t>(r.text.size()),
                               nullptr, 0, nullptr, nullptr),
        static_cast<int32_t>(r.bytes.size()));
    EXPECT_EQ(CV_IsValidCodePage(r.codePage), r.codePage != 65001);
  }
  for (uint32_t id : {0u, 3u, 2023u, 1200u, 874u, 28591u, 0xFFFFFFFFu})
    EXPECT_EQ(CV_IsValidCodePage(id), 0) << id;
}

// The system's windows-1252 has the euro sign at 0x80, which our table leaves without a
// character; Thai (874) is not registered, so only the system converts it, both ways.
TEST(Interface, TheRoadIsTheSystemsWhereItCan) {
  EXPECT_EQ(Decode(1252, {0x80}), Units{kSystem ? uint16_t{0x20AC} : uint16_t{0x3F}});
  EXPECT_EQ(Decode(874, {0xA1, 0xFB}), kSystem ? (Units{0x0E01, 0x0E5B}) : Units{});
  EXPECT_EQ(Encode(874, {0x0E01, 0x0E5B}), kSystem ? (Bytes{0xA1, 0xFB}) : Bytes{});
}

// The default interface font on this machine's real fonts: one stable record, the preferred face
// (height -10) or the stock interface font (-11 on these systems), normal weight, a face name
// that ends within its field, a character set the ANSI code pages of these systems give.
TEST(Interface, RealFontIsOneStableRecordOfANormalSmallFont) {
  const CV_LOGFONTA* font = CV_RealFont();
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(CV_RealFont(), font);
  EXPECT_TRUE(font->lfHeight == -10 || font->lfHeight == -11) << font->lfHeight;
  EXPECT_EQ(font->lfWeight, 400);
  ASSERT_NE(std::memchr(font->lfFaceName, '\0', sizeof font->lfFaceName), nullptr);
  EXPECT_NE(font->lfFaceName[0], '\0');
  EXPECT_TRUE(font->lfCharSet == 0 || font->lfCharSet == 128 || font->lfCharSet == 129 ||
              font->lfCharSet == 134 || font->lfCharSet == 136)
      << int{font->lfCharSet};
}

}  // namespace
