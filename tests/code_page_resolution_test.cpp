// Pseudo code page resolution and the thread-locale table, through the platform double.
#include "convert/code_page_resolution.h"

#include <gtest/gtest.h>

#include <tuple>

#include "tests/support/platform_double.h"

namespace corvane {
namespace {

class Resolution : public ::testing::Test {
 protected:
  void TearDown() override { platform_double::Reset(); }
};

// The thread's language by its primary language, and the one row that reads the sublanguage.
TEST_F(Resolution, ThreadLocaleCodePage) {
  const std::tuple<std::uint16_t, std::uint32_t, const char*> rows[] = {
      {0x0411, 932, "Japanese (Japan)"},
      {0x0404, 950, "Chinese (Taiwan): sublanguage 1"},
      {0x0804, 936, "Chinese (PRC): sublanguage 2"},
      {0x0C04, 936, "Chinese (Hong Kong): sublanguage 3"},
      {0x0419, 1251, "Russian"},
      {0x081A, 1250, "Serbian (Latin): only the primary language counts"},
      {0x041E, 874, "Thai, which the registry does not hold"},
      {0x0427, 1257, "Lithuanian, the last row"},
      {0x0409, 0, "English (United States): not in the table"},
      {0x0000, 0, "neutral"},
  };
  for (const auto& [language, codePage, why] : rows) {
    platform_double::SetThreadLanguage(language);
    EXPECT_EQ(ThreadLocaleCodePage(), codePage) << why;
  }
}

TEST_F(Resolution, PseudoCodePages) {
  platform_double::SetAnsiCodePage(1251);
  platform_double::SetThreadLanguage(0x0411);
  const std::uint8_t ascii[] = {'a', 'b', 0};
  const std::uint8_t euc[] = {0xA4, 0xA2, 0};
  struct Row {
    std::uint32_t in;
    const std::uint8_t* bytes;
    std::int32_t length;
    std::uint32_t out;
    const char* why;
  };
  const Row rows[] = {
      {0, ascii, -1, 1251, "0 is the ANSI code page"},
      {3, ascii, -1, 932, "3 is the thread's code page"},
      {2023, ascii, -1, 2022, "auto-detection's default"},
      {2023, euc, -1, 51932, "auto-detection sees EUC-JP"},
      {2023, euc, 1, 2022, "only the given length is examined"},
      {2023, nullptr, 0, 2022, "nothing to examine"},
      {1252, ascii, -1, 1252, "real code pages stay"},
      {65001, ascii, -1, 65001, "real code pages stay"},
  };
  for (const Row& r : rows) {
    std::uint32_t cp = r.in;
    ResolveCodePage(&cp, r.bytes != nullptr ? SettleBytes(r.bytes, r.length) : ByteText{});
    EXPECT_EQ(cp, r.out) << r.why;
  }
}

TEST_F(Resolution, ZeroFromTheThreadStaysZero) {
  platform_double::SetAnsiCodePage(932);
  platform_double::SetThreadLanguage(0x0409);
  std::uint32_t cp = 3;
  ResolveCodePage(&cp, {});
  EXPECT_EQ(cp, 0u) << "the system, not the library, takes 0 as its ANSI code page";
}

}  // namespace
}  // namespace corvane
