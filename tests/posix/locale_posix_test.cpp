// The POSIX backend's ANSI code page and thread language: locale names read by hand, the
// environment's precedence, and a thread's own locale. Expected identifiers are the published
// Windows language identifiers and the ANSI code pages Windows gives those locales.
#include <gtest/gtest.h>
#include <locale.h>
#include <stdlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <tuple>

#include "platform/platform.h"

namespace corvane {
namespace {

using Value = std::optional<std::string>;  // nullopt: the variable is unset

// Sets the three locale variables. Every case sets all three, so none depends on another's.
void SetLocaleVariables(const Value& lcAll, const Value& lcCtype = {}, const Value& lang = {}) {
  const std::pair<const char*, const Value&> variables[] = {
      {"LC_ALL", lcAll}, {"LC_CTYPE", lcCtype}, {"LANG", lang}};
  for (const auto& [name, value] : variables)
    value ? setenv(name, value->c_str(), 1) : unsetenv(name);
}

// A representative of every ANSI code page group, the languages whose identifier depends on the
// territory or script, the ways a name can vary, and which variable counts.
TEST(LocaleEnvironment, LocaleGivesLanguageIdentifierAndAnsiCodePage) {
  // clang-format off
  const std::tuple<Value, Value, Value, std::uint16_t, std::uint32_t, const char*> rows[] = {
      {"zh_CN.UTF-8", {}, {}, 0x0804, 936, "Chinese, People's Republic"},
      {"zh_TW.UTF-8", {}, {}, 0x0404, 950, "Chinese, Taiwan"},
      {"ko_KR.UTF-8", {}, {}, 0x0412, 949, "Korean"},
      {"sr_RS", {}, {}, 0x281A, 1251, "Serbian: glibc's default script is Cyrillic"},
      {"sr_RS@latin", {}, {}, 0x241A, 1250, "Serbian in Latin script"},
      {"tr_TR.UTF-8", {}, {}, 0x041F, 1254, "Turkish"},
      {"he_IL.UTF-8", {}, {}, 0x040D, 1255, "Hebrew"},
      {"ar_SA.UTF-8", {}, {}, 0x0401, 1256, "Arabic"},
      {"lt_LT.UTF-8", {}, {}, 0x0427, 1257, "Lithuanian"},
      {"vi_VN", {}, {}, 0x042A, 1258, "Vietnamese"},
      {"th_TH.UTF-8", {}, {}, 0x041E, 874, "Thai"},
      {{}, {}, {}, 0x0409, 1252, "no locale at all"},
      {"JA_jp.eucJP", {}, {}, 0x0411, 932, "case and codeset do not matter"},
      {"ja-JP", {}, {}, 0x0411, 932, "a '-' separates the territory too"},
      {"de_BE.UTF-8", {}, {}, 0x0407, 1252, "unknown territory: the language's default"},
      {"de_DE.ISO-8859-15@euro", {}, {}, 0x0407, 1252, "a modifier naming no script is ignored"},
      {"ca_ES@valencia", {}, {}, 0x0803, 1252, "a modifier that picks an identifier"},
      {"xx_YY.UTF-8", {}, {}, 0x1000, 1252, "no Windows identifier: LOCALE_CUSTOM_UNSPECIFIED"},
      {"ja_JP.UTF-8", "ru_RU.UTF-8", "el_GR.UTF-8", 0x0411, 932, "Japanese; LC_ALL first"},
      {{}, "ru_RU.UTF-8", "el_GR.UTF-8", 0x0419, 1251, "Russian; then LC_CTYPE"},
      {"", "ru_RU.UTF-8", "el_GR.UTF-8", 0x0419, 1251, "an empty variable counts as unset"},
      {{}, "", "el_GR.UTF-8", 0x0408, 1253, "Greek; then LANG"},
      {"C", "ru_RU.UTF-8", "el_GR.UTF-8", 0x0409, 1252, "the portable locale, not an absence"},
  };
  // clang-format on
  for (const auto& [lcAll, lcCtype, lang, language, ansiCodePage, why] : rows) {
    SetLocaleVariables(lcAll, lcCtype, lang);
    EXPECT_EQ(platform::AnsiCodePage(), ansiCodePage) << why;
    EXPECT_EQ(platform::ThreadLanguage(), language) << why;
  }
}

TEST(LocaleEnvironment, ThreadsOwnLocaleWinsOverTheEnvironment) {
  SetLocaleVariables("ja_JP.UTF-8");
  const locale_t own = newlocale(LC_ALL_MASK, "C.UTF-8", nullptr);
  ASSERT_NE(own, nullptr);
  const locale_t previous = uselocale(own);
  EXPECT_EQ(platform::ThreadLanguage(), 0x0409) << "the thread's own C.UTF-8";
  EXPECT_EQ(platform::AnsiCodePage(), 932u) << "the ANSI code page stays the system's";
  std::uint16_t otherThread = 0;
  std::thread([&otherThread] { otherThread = platform::ThreadLanguage(); }).join();
  EXPECT_EQ(otherThread, 0x0411) << "another thread keeps the environment's";
  uselocale(previous);
  freelocale(own);
  EXPECT_EQ(platform::ThreadLanguage(), 0x0411) << "after uselocale(previous)";
}

}  // namespace
}  // namespace corvane
