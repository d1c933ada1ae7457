// The charset name table and its three questions, through the exports. Expected values are
// written from the published table of names (one group per code page, preferred name first, in
// table order), not read from the library's table.
#include "codepages/charset_names.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <sstream>
#include <string>
#include <utility>

#include "corvane.h"

namespace corvane {
namespace {

// Code page and its names, blank-separated, the preferred name first.
// clang-format off
const std::pair<std::uint32_t, const char*> kGroups[] = {
    {1252, "iso-8859-1 us-ascii ansi_x3.4-1968 iso-ir-6 ansi_x3.4-1986 iso_646.irv:1991 ascii "
     "iso646-us us ibm367 cp367 csASCII latin1 iso_8859-1 iso_8859-1:1987 iso-ir-100 l1 ibm819 "
     "cp819 windows-1252 iso8859-1"},
    {2022, "iso-2022-jp iso-2022-jp-2 jis_x0208-1983 x-jisx0208-11 jis_x0201 jis_x0212-1990 "
     "csISO2022JP csISO2022JP2 x0212 iso-ir-159 x0201 csHalfWidthKatakana"},
    {932, "Shift_JIS x-sjis ms_Kanji csShiftJIS Windows-31J"},
    {51932, "euc-jp csEUCPkdFmtJapanese x-euc-jp"}, {10000, "macintosh x-mac-roman"},
    {1250, "iso-8859-2 windows-1250 latin2 iso_8859-2 iso_8859-2:1987 iso-ir-101 l2 x-cp1250"},
    {28593, "iso-8859-3"},
    {1257, "iso-8859-4 windows-1257 iso-ir-110 iso_8859-4 iso_8859-4:1988 latin4 l4 csISOLatin4"},
    {1251, "iso-8859-5 windows-1251 iso-ir-144 iso_8859-5 iso_8859-5:1988 cyrillic "
     "csISOLatinCyrillic csWindows31Latin5"},
    {1256, "iso-8859-6 windows-1256"},
    {1253, "iso-8859-7 windows-1253 iso-ir-126 iso_8859-7 iso_8859-7:1987 elot_928 ecma-118 greek "
     "greek8 csISOLatinGreek x-cp1253"},
    {1255, "iso-8859-8 windows-1255"}, {1254, "iso-8859-9 windows-1254"},
    {28605, "iso-8859-15 iso8859-15"},
    {949, "EUC-KR ks_c_5601-1987 x-ksc5601-11 iso-2022-kr iso-ir-149 ks_c_5601-1989 ksc_5601 "
     "ks_c_5601 korean csKSC56011987 csISO2022KR"},
    {936, "gb2312 gb_2312-80 x-gb2312-11 iso-ir-58 chinese csISO58GB231280 csGB2312 CN-GB "
     "CN-GB-ISOIR165"},
    {950, "big5 x-x-big5 csBig5 CN-Big5"}, {20866, "koi8-r csKOI8R"},
    {1200, "unicode ISO-10646-UCS-2 csUnicode11 ISO-10646-UCS-BASIC csUnicodeASCII "
     "csUnicodeLatin1 ISO-10646 ISO-10646-J-1"},
    {65001, "utf-8 UTF-8 UNICODE-1-1-UTF-8"},
    {65000, "utf-7 UTF-7 x-UNICODE-2-0-UTF-7 UNICODE-1-1-UTF-7 UNICODE-2-0-UTF-7 csUnicode11UTF7"},
    {10029, "x-mac-ce"}, {10007, "x-mac-cyrillic"},
    {10006, "x-mac-greek"}, {10081, "x-mac-turkish"},
};
// clang-format on

// The name with the case of every other letter turned, so that both directions of folding meet.
std::string MixedCase(std::string name) {
  for (std::size_t i = 0; i < name.size(); i += 2)
    if (std::isalpha(name[i] & 0xFF) != 0) name[i] = static_cast<char>(name[i] ^ 0x20);
  return name;
}

// Every name of every group, as written and in mixed case, finds its code page; every code page
// gives its preferred name and writes nothing after its NUL; and the table holds these names and
// nothing else, then the terminator row.
TEST(CharsetNames, EveryNameOfEveryGroup) {
  std::size_t row = 0;
  for (const auto& [codePage, groupNames] : kGroups) {
    const std::string preferred(groupNames, std::strcspn(groupNames, " "));
    char buffer[32];
    std::memset(buffer, 0x5A, sizeof buffer);
    ASSERT_EQ(CV_CodePageIDToName(codePage, buffer), 1) << codePage;
    EXPECT_STREQ(buffer, preferred.c_str());
    EXPECT_EQ(buffer[preferred.size() + 1], 0x5A) << codePage << ": written past the NUL";
    std::istringstream names(groupNames);
    for (std::string name; names >> name; ++row) {
      EXPECT_EQ(CV_CodePageNameToID(name.c_str()), codePage) << name;
      EXPECT_EQ(CV_CodePageNameToID(MixedCase(name).c_str()), codePage) << MixedCase(name);
    }
  }
  EXPECT_EQ(row + 1, CharsetNameTableRows) << "134 names and the terminator";
  EXPECT_EQ(CharsetNameTable[row].codePage, kCharsetNameTerminator);
}

TEST(CharsetNames, NamesThatMatchNothing) {
  // Name, why.
  const std::pair<const char*, const char*> rows[] = {
      {"iso-8859", "a prefix of a name"},
      {"x-UNICODE-2-0-UTF-7X", "a name with something after it"},
      {"", "the empty string, though the terminator row's name is empty"},
      {"iso\r8859\r1", "0x0D is not '-' folded: only A-Z fold"},
      {"ks\177c\1775601-1987", "0x7F is not '_' folded"},
      {"\xC9UC-KR", "0xC9 is not 'E': bytes above 0x7F do not fold"},
  };
  for (const auto& [name, why] : rows)
    EXPECT_EQ(CV_CodePageNameToID(name), 0u) << why;
}

TEST(CharsetNames, CodePagesWithoutANameLeaveTheBuffer) {
  for (std::uint32_t codePage : {40850u, 88591u, 10008u, 0u, 3u, 2023u, kCharsetNameTerminator}) {
    char buffer[20];
    std::memset(buffer, 0x5A, sizeof buffer);
    EXPECT_EQ(CV_CodePageIDToName(codePage, buffer), 0) << codePage;
    EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, 0x5A)) << codePage;
  }
}

TEST(CharsetNames, CharSetOfEveryKindOfCodePage) {
  const std::pair<std::uint32_t, std::uint32_t> rows[] = {
      {932, 128}, {936, 134}, {949, 129}, {950, 136}, {0, 0},
      {2022, 0},  {51932, 0}, {1252, 0},  {931, 0},   {0x10000u + 932, 0},
  };
  for (const auto& [codePage, charSet] : rows)
    EXPECT_EQ(CV_GetCharSet(codePage), charSet) << codePage;
}

}  // namespace
}  // namespace corvane
