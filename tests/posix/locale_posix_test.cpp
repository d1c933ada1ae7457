// The POSIX backend's ANSI code page and thread language: locale names read by hand, the
// environment's precedence, and a thread's own locale. Expected identifiers are the published
// Windows language identifiers and the ANSI code pages Windows gives those locales.
#include <gtest/gtest.h>
#include <locale.h>
#include <stdlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "platform/platform.h"
#include "platform/posix/locale_names.h"

namespace corvane {
namespace {

using platform::posix::LocaleNameParts;
using platform::posix::ParseLocaleName;
using platform::posix::WindowsLocaleForName;

// Sets the three locale variables for one test and puts the old values back afterwards.
class LocaleEnvironment {
 public:
  LocaleEnvironment() {
    for (std::size_t i = 0; i < kCount; ++i) {
      const char* value = getenv(kNames[i]);
      if (value != nullptr) saved_[i] = value;
    }
  }
  ~LocaleEnvironment() {
    for (std::size_t i = 0; i < kCount; ++i)
      Set(kNames[i], saved_[i]);
  }
  LocaleEnvironment(const LocaleEnvironment&) = delete;
  LocaleEnvironment& operator=(const LocaleEnvironment&) = delete;

  // nullopt unsets the variable.
  static void Set(const char* name, const std::optional<std::string>& value) {
    if (value) {
      setenv(name, value->c_str(), 1);
    } else {
      unsetenv(name);
    }
  }

 private:
  static constexpr std::size_t kCount = 3;
  static constexpr const char* kNames[kCount] = {"LC_ALL", "LC_CTYPE", "LANG"};
  std::optional<std::string> saved_[kCount];
};

struct ParseRow {
  std::string_view name;
  LocaleNameParts parts;
};

TEST(ParseLocaleName, SplitsAtUnderscoreDotAndAt) {
  const ParseRow rows[] = {
      {"ja_JP.UTF-8", {"ja", "JP", "UTF-8", ""}},
      {"sr_RS@latin", {"sr", "RS", "", "latin"}},
      {"de_DE.ISO-8859-15@euro", {"de", "DE", "ISO-8859-15", "euro"}},
      {"en-US", {"en", "US", "", ""}},
      {"C.UTF-8", {"C", "", "UTF-8", ""}},
      {"fil", {"fil", "", "", ""}},
      {"", {"", "", "", ""}},
      // A '.' inside the modifier belongs to the modifier.
      {"xx@a.b", {"xx", "", "", "a.b"}},
  };
  for (const ParseRow& row : rows) {
    const LocaleNameParts parts = ParseLocaleName(row.name);
    EXPECT_EQ(parts.language, row.parts.language) << row.name;
    EXPECT_EQ(parts.territory, row.parts.territory) << row.name;
    EXPECT_EQ(parts.codeset, row.parts.codeset) << row.name;
    EXPECT_EQ(parts.modifier, row.parts.modifier) << row.name;
  }
}

struct LocaleRow {
  std::string_view name;
  std::uint16_t language;
  std::uint32_t ansiCodePage;
  const char* why;
};

// Every language of the thread-locale table, then the other languages the ANSI code page rule
// names, then the ways a name can vary.
constexpr LocaleRow kLocaleRows[] = {
    {"ar_SA.UTF-8", 0x0401, 1256, "Arabic"},
    {"ar_EG.UTF-8", 0x0C01, 1256, "Arabic, another territory"},
    {"zh_TW.UTF-8", 0x0404, 950, "Chinese, Taiwan"},
    {"zh_CN.UTF-8", 0x0804, 936, "Chinese, People's Republic"},
    {"zh_HK.UTF-8", 0x0C04, 950, "Chinese, Hong Kong: traditional script"},
    {"zh_SG.UTF-8", 0x1004, 936, "Chinese, Singapore: simplified script"},
    {"zh_MO.UTF-8", 0x1404, 950, "Chinese, Macao: traditional script"},
    {"cs_CZ.UTF-8", 0x0405, 1250, "Czech"},
    {"el_GR.UTF-8", 0x0408, 1253, "Greek"},
    {"he_IL.UTF-8", 0x040D, 1255, "Hebrew"},
    {"hu_HU.UTF-8", 0x040E, 1250, "Hungarian"},
    {"ja_JP.UTF-8", 0x0411, 932, "Japanese"},
    {"ko_KR.UTF-8", 0x0412, 949, "Korean"},
    {"pl_PL.UTF-8", 0x0415, 1250, "Polish"},
    {"ro_RO.UTF-8", 0x0418, 1250, "Romanian"},
    {"ru_RU.UTF-8", 0x0419, 1251, "Russian"},
    {"hr_HR.UTF-8", 0x041A, 1250, "Croatian"},
    {"sr_RS", 0x281A, 1251, "Serbian: glibc's default script is Cyrillic"},
    {"sr_RS@latin", 0x241A, 1250, "Serbian in Latin script"},
    {"sr_ME@latin", 0x2C1A, 1250, "territory and script both chosen"},
    {"bs_BA.UTF-8", 0x141A, 1250, "Bosnian shares primary language 0x1A"},
    {"sk_SK.UTF-8", 0x041B, 1250, "Slovak"},
    {"th_TH.UTF-8", 0x041E, 874, "Thai"},
    {"tr_TR.UTF-8", 0x041F, 1254, "Turkish"},
    {"et_EE.UTF-8", 0x0425, 1257, "Estonian"},
    {"lv_LV.UTF-8", 0x0426, 1257, "Latvian"},
    {"lt_LT.UTF-8", 0x0427, 1257, "Lithuanian"},
    {"uk_UA.UTF-8", 0x0422, 1251, "Ukrainian"},
    {"be_BY.UTF-8", 0x0423, 1251, "Belarusian"},
    {"bg_BG.UTF-8", 0x0402, 1251, "Bulgarian"},
    {"mk_MK.UTF-8", 0x042F, 1251, "Macedonian"},
    {"fa_IR.UTF-8", 0x0429, 1256, "Persian"},
    {"ur_PK.UTF-8", 0x0420, 1256, "Urdu"},
    {"az_AZ.UTF-8", 0x042C, 1254, "Azerbaijani, Latin script"},
    {"sl_SI.UTF-8", 0x0424, 1250, "Slovenian"},
    {"sq_AL.UTF-8", 0x041C, 1250, "Albanian"},
    {"vi_VN", 0x042A, 1258, "Vietnamese"},
    {"en_US.UTF-8", 0x0409, 1252, "English, United States"},
    {"en_GB.UTF-8", 0x0809, 1252, "English, United Kingdom"},
    {"de_DE.UTF-8", 0x0407, 1252, "German"},
    {"hi_IN", 0x0439, 1252, "a language Windows serves only in Unicode"},
    {"C", 0x0409, 1252, "the portable locale"},
    {"POSIX", 0x0409, 1252, "the portable locale's other name"},
    {"C.UTF-8", 0x0409, 1252, "the portable locale with a codeset"},
    {"", 0x0409, 1252, "no locale at all"},
    {"ja_JP.eucJP", 0x0411, 932, "the codeset plays no part"},
    {"ja", 0x0411, 932, "language alone"},
    {"JA_jp", 0x0411, 932, "case does not matter"},
    {"ja-JP", 0x0411, 932, "a '-' separates the territory too"},
    {"de_BE.UTF-8", 0x0407, 1252, "unknown territory: the language's default"},
    {"de_DE@euro", 0x0407, 1252, "a modifier that names no script is ignored"},
    {"ca_ES@valencia", 0x0803, 1252, "a modifier that picks an identifier"},
    {"xx_YY.UTF-8", 0x1000, 1252, "no Windows identifier: LOCALE_CUSTOM_UNSPECIFIED"},
};

TEST(WindowsLocaleForName, GivesLanguageIdentifierAndAnsiCodePage) {
  for (const LocaleRow& row : kLocaleRows) {
    const auto locale = WindowsLocaleForName(row.name);
    EXPECT_EQ(locale.language, row.language) << row.name << ": " << row.why;
    EXPECT_EQ(locale.ansiCodePage, row.ansiCodePage) << row.name << ": " << row.why;
  }
}

TEST(AnsiCodePage, FollowsTheEnvironmentsLocale) {
  const LocaleEnvironment environment;
  LocaleEnvironment::Set("LC_CTYPE", std::nullopt);
  LocaleEnvironment::Set("LANG", std::nullopt);
  for (const LocaleRow& row : kLocaleRows) {
    LocaleEnvironment::Set("LC_ALL", std::string(row.name));
    EXPECT_EQ(platform::AnsiCodePage(), row.ansiCodePage) << row.name << ": " << row.why;
    EXPECT_EQ(platform::ThreadLanguage(), row.language) << row.name << ": " << row.why;
  }
}

struct PrecedenceRow {
  std::optional<std::string> lcAll, lcCtype, lang;
  std::uint32_t ansiCodePage;
  const char* why;
};

TEST(AnsiCodePage, TakesTheFirstNonEmptyOfLcAllLcCtypeLang) {
  const LocaleEnvironment environment;
  const PrecedenceRow rows[] = {
      {"ja_JP.UTF-8", "ru_RU.UTF-8", "el_GR.UTF-8", 932, "LC_ALL first"},
      {std::nullopt, "ru_RU.UTF-8", "el_GR.UTF-8", 1251, "then LC_CTYPE"},
      {"", "ru_RU.UTF-8", "el_GR.UTF-8", 1251, "an empty variable counts as unset"},
      {std::nullopt, std::nullopt, "el_GR.UTF-8", 1253, "then LANG"},
      {std::nullopt, "", "el_GR.UTF-8", 1253, "empty LC_CTYPE"},
      {"C", "ru_RU.UTF-8", "el_GR.UTF-8", 1252, "C is a locale, not an absence"},
      {std::nullopt, std::nullopt, std::nullopt, 1252, "nothing set"},
  };
  for (const PrecedenceRow& row : rows) {
    LocaleEnvironment::Set("LC_ALL", row.lcAll);
    LocaleEnvironment::Set("LC_CTYPE", row.lcCtype);
    LocaleEnvironment::Set("LANG", row.lang);
    EXPECT_EQ(platform::AnsiCodePage(), row.ansiCodePage) << row.why;
  }
}

// A locale this machine is sure to have, installed for the calling thread only.
class ThreadLocale {
 public:
  explicit ThreadLocale(const char* name) : locale_(newlocale(LC_ALL_MASK, name, nullptr)) {
    if (locale_ != nullptr) previous_ = uselocale(locale_);
  }
  ~ThreadLocale() {
    if (locale_ == nullptr) return;
    uselocale(previous_);
    freelocale(locale_);
  }
  ThreadLocale(const ThreadLocale&) = delete;
  ThreadLocale& operator=(const ThreadLocale&) = delete;
  bool Installed() const { return locale_ != nullptr; }

 private:
  locale_t locale_;
  locale_t previous_ = nullptr;
};

TEST(ThreadLanguage, ThreadsOwnLocaleWinsOverTheEnvironment) {
  const LocaleEnvironment environment;
  LocaleEnvironment::Set("LC_ALL", std::string("ja_JP.UTF-8"));
  EXPECT_EQ(platform::ThreadLanguage(), 0x0411) << "no thread locale: the environment's";
  {
    const ThreadLocale threadLocale("C.UTF-8");
    ASSERT_TRUE(threadLocale.Installed());
    EXPECT_EQ(platform::ThreadLanguage(), 0x0409) << "the thread's own C.UTF-8";
    EXPECT_EQ(platform::AnsiCodePage(), 932u) << "the ANSI code page stays the system's";
    std::uint16_t otherThread = 0;
    std::thread([&otherThread] { otherThread = platform::ThreadLanguage(); }).join();
    EXPECT_EQ(otherThread, 0x0411) << "another thread keeps the environment's";
  }
  EXPECT_EQ(platform::ThreadLanguage(), 0x0411) << "after uselocale(previous)";
}

}  // namespace
}  // namespace corvane
