// Pseudo code page resolution and the thread-locale table, through the platform double.
#include "convert/code_page_resolution.h"

#include <gtest/gtest.h>

#include <tuple>

#include "tests/support/platform_double.h"

namespace corvane {
namespace {

TEST(Resolution, PseudoCodePages) {
  const std::uint8_t ascii[] = {'a', 'b', 0};
  const std::uint8_t euc[] = {0xA4, 0xA2, 0};
  // Thread language, code page, bytes, their length, the code page resolved, why; the ANSI code
  // page is 1251 throughout. 3 gives the thread's code page by its primary language, and by the
  // sublanguage for Chinese alone.
  // clang-format off
  const std::tuple<std::uint16_t, std::uint32_t, const std::uint8_t*, std::int32_t, std::uint32_t,
                   const char*> rows[] = {
      {0x0411, 3, ascii, -1, 932, "Japanese (Japan)"},
      {0x0404, 3, ascii, -1, 950, "Chinese (Taiwan): sublanguage 1"},
      {0x0804, 3, ascii, -1, 936, "Chinese (PRC): sublanguage 2"},
      {0x081A, 3, ascii, -1, 1250, "Serbian (Latin): only the primary language counts"},
      {0x041E, 3, ascii, -1, 874, "Thai, which the registry does not hold"},
      {0x0427, 3, ascii, -1, 1257, "Lithuanian, the last row"},
      {0x0409, 3, ascii, -1, 0, "English (United States): not in the table; the system, not the "
                                "library, takes 0 as its ANSI code page"},
      {0x0411, 0, ascii, -1, 1251, "0 is the ANSI code page"},
      {0x0411, 2023, ascii, -1, 2022, "auto-detection's default"},
      {0x0411, 2023, euc, -1, 51932, "auto-detection sees EUC-JP"},
      {0x0411, 2023, euc, 1, 2022, "only the given length is examined"},
      {0x0411, 2023, nullptr, 0, 2022, "nothing to examine"},
      {0x0411, 1252, ascii, -1, 1252, "a real code page stays"},
  };
  // clang-format on
  platform_double::SetAnsiCodePage(1251);
  for (const auto& [language, in, bytes, length, out, why] : rows) {
    platform_double::SetThreadLanguage(language);
    std::uint32_t cp = in;
    ResolveCodePage(&cp, bytes != nullptr ? SettleBytes(bytes, length) : ByteText{});
    EXPECT_EQ(cp, out) << why;
  }
  platform_double::Reset();
}

}  // namespace
}  // namespace corvane
