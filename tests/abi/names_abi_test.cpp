// Charset names through the shipped shared library and its public header only.
#include <gtest/gtest.h>

#include <cstring>

#include "corvane.h"

namespace {

TEST(CharsetNamesAbi, NamesAndCodePagesBothWays) {
  const struct {
    const char* name;
    uint32_t codePage;
  } rows[] = {
      {"SHIFT_jis", 932}, {"Windows-31J", 932}, {"EUC-JP", 51932}, {"ISO-2022-JP", 2022},
      {"Latin1", 1252},   {"UTF-8", 65001},     {"big5", 950},     {"no-such-charset", 0},
  };
  for (const auto& row : rows)
    EXPECT_EQ(CV_CodePageNameToID(row.name), row.codePage) << row.name;
  EXPECT_EQ(CV_CodePageNameToID(nullptr), 0u);

  char name[20];
  ASSERT_EQ(CV_CodePageIDToName(932, name), 1);
  EXPECT_STREQ(name, "Shift_JIS");
  ASSERT_EQ(CV_CodePageIDToName(65001, name), 1);
  EXPECT_STREQ(name, "utf-8");
  std::memset(name, 'x', sizeof name);
  EXPECT_EQ(CV_CodePageIDToName(40866, name), 0);
  EXPECT_EQ(name[0], 'x');
}

TEST(CharsetNamesAbi, CharSets) {
  EXPECT_EQ(CV_GetCharSet(932), 128u);
  EXPECT_EQ(CV_GetCharSet(936), 134u);
  EXPECT_EQ(CV_GetCharSet(949), 129u);
  EXPECT_EQ(CV_GetCharSet(950), 136u);
  EXPECT_EQ(CV_GetCharSet(51932), 0u);
  EXPECT_EQ(CV_GetCharSet(0), 0u);
}

}  // namespace
