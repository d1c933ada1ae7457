// The charset name table and its three questions, through the exports. Expected values are
// written from the published table of names (one group per code page, preferred name first), not
// read from the library's table.
#include "codepages/charset_names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "corvane.h"

namespace corvane {
namespace {

struct NameGroup {
  std::uint32_t codePage;
  std::vector<std::string> names;  // preferred name first, then table order
};

const std::vector<NameGroup>& PublishedGroups() {
  static const std::vector<NameGroup> groups = {
      {1252,
       {"iso-8859-1",
        "us-ascii",
        "ansi_x3.4-1968",
        "iso-ir-6",
        "ansi_x3.4-1986",
        "iso_646.irv:1991",
        "ascii",
        "iso646-us",
        "us",
        "ibm367",
        "cp367",
        "csASCII",
        "latin1",
        "iso_8859-1",
        "iso_8859-1:1987",
        "iso-ir-100",
        "l1",
        "ibm819",
        "cp819",
        "windows-1252",
        "iso8859-1"}},
      {2022,
       {"iso-2022-jp", "iso-2022-jp-2", "jis_x0208-1983", "x-jisx0208-11", "jis_x0201",
        "jis_x0212-1990", "csISO2022JP", "csISO2022JP2", "x0212", "iso-ir-159", "x0201",
        "csHalfWidthKatakana"}},
      {932, {"Shift_JIS", "x-sjis", "ms_Kanji", "csShiftJIS", "Windows-31J"}},
      {51932, {"euc-jp", "csEUCPkdFmtJapanese", "x-euc-jp"}},
      {10000, {"macintosh", "x-mac-roman"}},
      {1250,
       {"iso-8859-2", "windows-1250", "latin2", "iso_8859-2", "iso_8859-2:1987", "iso-ir-101", "l2",
        "x-cp1250"}},
      {28593, {"iso-8859-3"}},
      {1257,
       {"iso-8859-4", "windows-1257", "iso-ir-110", "iso_8859-4", "iso_8859-4:1988", "latin4", "l4",
        "csISOLatin4"}},
      {1251,
       {"iso-8859-5", "windows-1251", "iso-ir-144", "iso_8859-5", "iso_8859-5:1988", "cyrillic",
        "csISOLatinCyrillic", "csWindows31Latin5"}},
      {1256, {"iso-8859-6", "windows-1256"}},
      {1253,
       {"iso-8859-7", "windows-1253", "iso-ir-126", "iso_8859-7", "iso_8859-7:1987", "elot_928",
        "ecma-118", "greek", "greek8", "csISOLatinGreek", "x-cp1253"}},
      {1255, {"iso-8859-8", "windows-1255"}},
      {1254, {"iso-8859-9", "windows-1254"}},
      {28605, {"iso-8859-15", "iso8859-15"}},
      {949,
       {"EUC-KR", "ks_c_5601-1987", "x-ksc5601-11", "iso-2022-kr", "iso-ir-149", "ks_c_5601-1989",
        "ksc_5601", "ks_c_5601", "korean", "csKSC56011987", "csISO2022KR"}},
      {936,
       {"gb2312", "gb_2312-80", "x-gb2312-11", "iso-ir-58", "chinese", "csISO58GB231280",
        "csGB2312", "CN-GB", "CN-GB-ISOIR165"}},
      {950, {"big5", "x-x-big5", "csBig5", "CN-Big5"}},
      {20866, {"koi8-r", "csKOI8R"}},
      {1200,
       {"unicode", "ISO-10646-UCS-2", "csUnicode11", "ISO-10646-UCS-BASIC", "csUnicodeASCII",
        "csUnicodeLatin1", "ISO-10646", "ISO-10646-J-1"}},
      {65001, {"utf-8", "UTF-8", "UNICODE-1-1-UTF-8"}},
      {65000,
       {"utf-7", "UTF-7", "x-UNICODE-2-0-UTF-7", "UNICODE-1-1-UTF-7", "UNICODE-2-0-UTF-7",
        "csUnicode11UTF7"}},
      {10029, {"x-mac-ce"}},
      {10007, {"x-mac-cyrillic"}},
      {10006, {"x-mac-greek"}},
      {10081, {"x-mac-turkish"}},
  };
  return groups;
}

std::string WithCase(const std::string& name, int variant) {
  std::string out = name;
  for (std::size_t i = 0; i < out.size(); ++i) {
    const char c = out[i];
    const bool upper = variant == 0 || (variant == 2 && i % 2 == 0) || (variant == 3 && i % 2 == 1);
    if (upper && c >= 'a' && c <= 'z') out[i] = static_cast<char>(c - 32);
    if (!upper && c >= 'A' && c <= 'Z') out[i] = static_cast<char>(c + 32);
  }
  return out;
}

// Names that differ only in case share a code page within a group, so any spelling of a name
// finds its own group.
TEST(CharsetNames, EveryNameInEveryCaseFindsItsCodePage) {
  for (const NameGroup& group : PublishedGroups()) {
    for (const std::string& name : group.names) {
      EXPECT_EQ(CV_CodePageNameToID(name.c_str()), group.codePage) << name;
      for (int variant = 0; variant < 4; ++variant) {
        const std::string spelled = WithCase(name, variant);
        EXPECT_EQ(CV_CodePageNameToID(spelled.c_str()), group.codePage) << spelled;
      }
    }
  }
}

TEST(CharsetNames, EveryCodePageGivesItsPreferredNameAndWritesNothingAfterIt) {
  for (const NameGroup& group : PublishedGroups()) {
    char buffer[32];
    std::memset(buffer, 0x5A, sizeof buffer);
    ASSERT_EQ(CV_CodePageIDToName(group.codePage, buffer), 1) << group.codePage;
    const std::string& preferred = group.names.front();
    EXPECT_STREQ(buffer, preferred.c_str());
    for (std::size_t i = preferred.size() + 1; i < sizeof buffer; ++i) {
      EXPECT_EQ(buffer[i], 0x5A) << group.codePage << " byte " << i;
    }
  }
}

// The library's table holds exactly the published rows, in their order, each name within its
// 20-byte field, and ends with the terminator row.
TEST(CharsetNames, TableHoldsThePublishedRowsInOrder) {
  std::size_t row = 0;
  for (const NameGroup& group : PublishedGroups()) {
    for (const std::string& name : group.names) {
      ASSERT_LT(row + 1, CharsetNameTableRows);
      EXPECT_EQ(std::string(CharsetNameTable[row].name), name) << "row " << row;
      EXPECT_EQ(CharsetNameTable[row].codePage, group.codePage) << name;
      ++row;
    }
  }
  ASSERT_EQ(row, 134u);
  ASSERT_EQ(CharsetNameTableRows, row + 1);
  EXPECT_EQ(CharsetNameTable[row].codePage, 0xFFFFFFFFu);
  EXPECT_STREQ(CharsetNameTable[row].name, "");
}

struct NameRow {
  const char* name;
  std::uint32_t expected;
  const char* why;
};

TEST(CharsetNames, NameToIdEdgeCases) {
  const NameRow rows[] = {
      {"iso-8859-1", 1252, "the first row"},
      {"US-ASCII", 1252, "capitals fold"},
      {"LaTiN1", 1252, "mixed case folds"},
      {"ks_c_5601-1987", 949, "an alias, not the preferred name"},
      {"iso-2022-kr", 949, "ISO-2022-KR is labelled as 949"},
      {"csWindows31Latin5", 1251, "a Cyrillic alias despite its name"},
      {"iso-8859-3", 28593, "a code page the registry does not hold"},
      {"iso-8859-15", 28605, "longer than the 1252 name it starts with"},
      {"x-UNICODE-2-0-UTF-7", 65000, "19 characters, the longest a field holds"},
      {"iso-8859-1 ", 0, "a trailing blank is not trimmed"},
      {" iso-8859-1", 0, "nor a leading one"},
      {"iso88591", 0, "no hyphens"},
      {"iso-8859", 0, "a prefix of a name"},
      {"utf-8x", 0, "a name with something after it"},
      {"x-UNICODE-2-0-UTF-7X", 0, "20 characters never match a 19-character name"},
      {"", 0, "the empty string, though the terminator row's name is empty"},
      {"iso\r8859\r1", 0, "0x0D is not '-' folded: only A-Z fold"},
      {"ks\x7F"
       "c\x7F"
       "5601-1987",
       0, "0x7F is not '_' folded"},
      {"\xC9UC-KR", 0, "0xC9 is not 'E': bytes above 0x7F do not fold"},
      {"EUC\xADKR", 0, "0xAD is not '-'"},
  };
  for (const NameRow& row : rows) {
    EXPECT_EQ(CV_CodePageNameToID(row.name), row.expected) << row.why;
  }
  EXPECT_EQ(CV_CodePageNameToID(nullptr), 0u) << "a null name is no name";
}

TEST(CharsetNames, IdToNameSamplesAndMisses) {
  const struct {
    std::uint32_t codePage;
    const char* expected;  // null = no name
  } rows[] = {
      {1252, "iso-8859-1"},   {2022, "iso-2022-jp"},  {949, "EUC-KR"},  {65001, "utf-8"},
      {28605, "iso-8859-15"}, {932, "Shift_JIS"},     {40850, nullptr}, {88591, nullptr},
      {10008, nullptr},       {0, nullptr},           {3, nullptr},     {2023, nullptr},
      {51932, "euc-jp"},      {0xFFFFFFFFu, nullptr},
  };
  for (const auto& row : rows) {
    char buffer[20];
    std::memset(buffer, 0x5A, sizeof buffer);
    const std::int32_t found = CV_CodePageIDToName(row.codePage, buffer);
    if (row.expected == nullptr) {
      EXPECT_EQ(found, 0) << row.codePage;
      for (char c : buffer)
        EXPECT_EQ(c, 0x5A) << row.codePage << ": buffer touched on a miss";
    } else {
      EXPECT_EQ(found, 1) << row.codePage;
      EXPECT_STREQ(buffer, row.expected);
    }
  }
  EXPECT_EQ(CV_CodePageIDToName(1252, nullptr), 0) << "nowhere to copy the name";
}

TEST(CharsetNames, CharSetOfEveryKindOfCodePage) {
  const struct {
    std::uint32_t codePage;
    std::uint32_t expected;
  } rows[] = {
      {932, 128}, {936, 134}, {949, 129},          {950, 136},       {0, 0},    {3, 0},
      {2023, 0},  {2022, 0},  {51932, 0},          {1252, 0},        {1251, 0}, {65001, 0},
      {931, 0},   {933, 0},   {0x10000u + 932, 0}, {0xFFFFFFFFu, 0},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(CV_GetCharSet(row.codePage), row.expected) << row.codePage;
  }
}

}  // namespace
}  // namespace corvane
