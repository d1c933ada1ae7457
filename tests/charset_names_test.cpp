// The charset name table and its three questions, through the exports. Expected values are
// written from the published table of names, not read from the library's table.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "corvane.h"

namespace corvane {
namespace {

// Code page, its preferred name, and names from elsewhere in its group: ASCII's and Latin-1's
// names both meaning 1252, the ISO 8859 names meaning Windows pages, names only case tells apart.
// clang-format off
const std::tuple<std::uint32_t, const char*, std::vector<const char*>> kGroups[] = {
    {1252, "iso-8859-1", {"us-ascii", "ANSI_X3.4-1968", "latin1", "windows-1252", "iso8859-1"}},
    {2022, "iso-2022-jp", {"csISO2022JP2", "x0201", "csHalfWidthKatakana"}},
    {932, "Shift_JIS", {"ms_Kanji", "Windows-31J"}},
    {51932, "euc-jp", {"csEUCPkdFmtJapanese"}},
    {1257, "iso-8859-4", {"latin4"}},
    {1251, "iso-8859-5", {"csWindows31Latin5"}},
    {1253, "iso-8859-7", {"greek8", "x-cp1253"}},
    {28605, "iso-8859-15", {"iso8859-15"}},
    {949, "EUC-KR", {"ks_c_5601-1987", "iso-2022-kr", "csISO2022KR"}},
    {936, "gb2312", {"CN-GB-ISOIR165"}},
    {950, "big5", {"x-x-big5"}},
    {1200, "unicode", {"ISO-10646-J-1"}},
    {65001, "utf-8", {"UTF-8", "UNICODE-1-1-UTF-8"}},
    {10081, "x-mac-turkish", {}},
};
// clang-format on

// The name with the case of every other letter turned, so that both directions of folding meet.
std::string MixedCase(std::string name) {
  for (std::size_t i = 0; i < name.size(); i += 2)
    if (std::isalpha(name[i] & 0xFF) != 0) name[i] = static_cast<char>(name[i] ^ 0x20);
  return name;
}

// Every name, as written and in mixed case, finds its code page; the code page gives its
// preferred name and writes nothing after its NUL.
TEST(CharsetNames, NamesAndPreferredNames) {
  for (const auto& [codePage, preferred, others] : kGroups) {
    char buffer[32];
    std::memset(buffer, 0x5A, sizeof buffer);
    ASSERT_EQ(CV_CodePageIDToName(codePage, buffer), 1) << codePage;
    EXPECT_STREQ(buffer, preferred);
    EXPECT_EQ(buffer[std::strlen(preferred) + 1], 0x5A) << codePage << ": written past the NUL";
    std::vector<const char*> names = others;
    names.push_back(preferred);
    for (const std::string name : names) {
      EXPECT_EQ(CV_CodePageNameToID(name.c_str()), codePage) << name;
      EXPECT_EQ(CV_CodePageNameToID(MixedCase(name).c_str()), codePage) << MixedCase(name);
    }
  }
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
  for (std::uint32_t codePage : {40850u, 88591u, 10008u, 0u, 3u, 2023u, 0xFFFFFFFFu}) {
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
