// Windows language identifiers and ANSI code pages for POSIX locale names. The identifiers are the
// published Windows language identifiers (LANGID: primary language | sublanguage << 10); the
// rules for reading a name are described in locale_names.h.
#include "platform/posix/locale_names.h"

#include <cstdlib>

namespace corvane::platform::posix {
namespace {

constexpr std::uint16_t kCustomUnspecified = 0x1000;  // LOCALE_CUSTOM_UNSPECIFIED
constexpr std::uint16_t kEnglishUnitedStates = 0x0409;
constexpr std::uint32_t kDefaultAnsiCodePage = 1252;

// One locale as Windows knows it. A row with an empty territory is the language's default; a
// row with a modifier applies only to names carrying that modifier (the script glibc names).
struct LocaleRow {
  std::string_view language;
  std::string_view territory;
  std::string_view modifier;
  std::uint16_t windowsLanguage;
  std::uint32_t ansiCodePage;
};

// clang-format off
constexpr LocaleRow kLocaleRows[] = {
    // Arabic
    {"ar", "", "", 0x0401, 1256}, {"ar", "sa", "", 0x0401, 1256}, {"ar", "iq", "", 0x0801, 1256},
    {"ar", "eg", "", 0x0C01, 1256}, {"ar", "ly", "", 0x1001, 1256}, {"ar", "dz", "", 0x1401, 1256},
    {"ar", "ma", "", 0x1801, 1256}, {"ar", "tn", "", 0x1C01, 1256}, {"ar", "om", "", 0x2001, 1256},
    {"ar", "ye", "", 0x2401, 1256}, {"ar", "sy", "", 0x2801, 1256}, {"ar", "jo", "", 0x2C01, 1256},
    {"ar", "lb", "", 0x3001, 1256}, {"ar", "kw", "", 0x3401, 1256}, {"ar", "ae", "", 0x3801, 1256},
    {"ar", "bh", "", 0x3C01, 1256}, {"ar", "qa", "", 0x4001, 1256},
    // Chinese: the traditional script regions use Big5 (950), the others GBK (936).
    {"zh", "", "", 0x0804, 936}, {"zh", "tw", "", 0x0404, 950}, {"zh", "cn", "", 0x0804, 936},
    {"zh", "hk", "", 0x0C04, 950}, {"zh", "sg", "", 0x1004, 936}, {"zh", "mo", "", 0x1404, 950},
    // Central European languages
    {"cs", "", "", 0x0405, 1250}, {"hu", "", "", 0x040E, 1250}, {"pl", "", "", 0x0415, 1250},
    {"ro", "", "", 0x0418, 1250}, {"ro", "md", "", 0x0818, 1250},
    {"hr", "", "", 0x041A, 1250}, {"hr", "ba", "", 0x101A, 1250},
    {"sk", "", "", 0x041B, 1250}, {"sq", "", "", 0x041C, 1250}, {"sl", "", "", 0x0424, 1250},
    {"tk", "", "", 0x0442, 1250},
    // Serbian and Bosnian share Croatian's primary language; glibc writes Serbian in Cyrillic
    // unless the name says @latin, and Bosnian in Latin unless it says @cyrillic.
    {"sr", "", "", 0x281A, 1251}, {"sr", "", "latin", 0x241A, 1250},
    {"sr", "me", "", 0x301A, 1251}, {"sr", "me", "latin", 0x2C1A, 1250},
    {"sr", "ba", "", 0x1C1A, 1251}, {"sr", "ba", "latin", 0x181A, 1250},
    {"bs", "", "", 0x141A, 1250}, {"bs", "", "cyrillic", 0x201A, 1251},
    // Cyrillic-script languages
    {"ru", "", "", 0x0419, 1251}, {"ru", "md", "", 0x0819, 1251}, {"uk", "", "", 0x0422, 1251},
    {"be", "", "", 0x0423, 1251}, {"bg", "", "", 0x0402, 1251}, {"mk", "", "", 0x042F, 1251},
    {"kk", "", "", 0x043F, 1251}, {"ky", "", "", 0x0440, 1251}, {"tt", "", "", 0x0444, 1251},
    {"tg", "", "", 0x0428, 1251}, {"mn", "", "", 0x0450, 1251}, {"ba", "", "", 0x046D, 1251},
    {"sah", "", "", 0x0485, 1251},
    // Greek, Hebrew, Thai, Vietnamese
    {"el", "", "", 0x0408, 1253}, {"he", "", "", 0x040D, 1255}, {"th", "", "", 0x041E, 874},
    {"vi", "", "", 0x042A, 1258},
    // Turkish, and Azerbaijani and Uzbek in their Latin (glibc's default) and Cyrillic scripts
    {"tr", "", "", 0x041F, 1254},
    {"az", "", "", 0x042C, 1254}, {"az", "", "cyrillic", 0x082C, 1251},
    {"uz", "", "", 0x0443, 1254}, {"uz", "", "cyrillic", 0x0843, 1251},
    // Other Arabic-script languages
    {"fa", "", "", 0x0429, 1256}, {"ur", "", "", 0x0420, 1256}, {"ur", "in", "", 0x0820, 1256},
    {"ug", "", "", 0x0480, 1256}, {"ckb", "", "", 0x0492, 1256},
    // Baltic languages
    {"et", "", "", 0x0425, 1257}, {"lv", "", "", 0x0426, 1257}, {"lt", "", "", 0x0427, 1257},
    // Japanese, Korean
    {"ja", "", "", 0x0411, 932}, {"ko", "", "", 0x0412, 949},
    // Western European languages
    {"en", "", "", 0x0409, 1252}, {"en", "us", "", 0x0409, 1252}, {"en", "gb", "", 0x0809, 1252},
    {"en", "au", "", 0x0C09, 1252}, {"en", "ca", "", 0x1009, 1252}, {"en", "nz", "", 0x1409, 1252},
    {"en", "ie", "", 0x1809, 1252}, {"en", "za", "", 0x1C09, 1252}, {"en", "jm", "", 0x2009, 1252},
    {"en", "bz", "", 0x2809, 1252}, {"en", "tt", "", 0x2C09, 1252}, {"en", "zw", "", 0x3009, 1252},
    {"en", "ph", "", 0x3409, 1252}, {"en", "in", "", 0x4009, 1252}, {"en", "my", "", 0x4409, 1252},
    {"en", "sg", "", 0x4809, 1252},
    {"de", "", "", 0x0407, 1252}, {"de", "ch", "", 0x0807, 1252}, {"de", "at", "", 0x0C07, 1252},
    {"de", "lu", "", 0x1007, 1252}, {"de", "li", "", 0x1407, 1252},
    {"fr", "", "", 0x040C, 1252}, {"fr", "be", "", 0x080C, 1252}, {"fr", "ca", "", 0x0C0C, 1252},
    {"fr", "ch", "", 0x100C, 1252}, {"fr", "lu", "", 0x140C, 1252}, {"fr", "mc", "", 0x180C, 1252},
    // Spanish (Spain) is the modern-sort identifier 0x0C0A, which Windows picks for es-ES.
    {"es", "", "", 0x0C0A, 1252}, {"es", "mx", "", 0x080A, 1252}, {"es", "gt", "", 0x100A, 1252},
    {"es", "cr", "", 0x140A, 1252}, {"es", "pa", "", 0x180A, 1252}, {"es", "do", "", 0x1C0A, 1252},
    {"es", "ve", "", 0x200A, 1252}, {"es", "co", "", 0x240A, 1252}, {"es", "pe", "", 0x280A, 1252},
    {"es", "ar", "", 0x2C0A, 1252}, {"es", "ec", "", 0x300A, 1252}, {"es", "cl", "", 0x340A, 1252},
    {"es", "uy", "", 0x380A, 1252}, {"es", "py", "", 0x3C0A, 1252}, {"es", "bo", "", 0x400A, 1252},
    {"es", "sv", "", 0x440A, 1252}, {"es", "hn", "", 0x480A, 1252}, {"es", "ni", "", 0x4C0A, 1252},
    {"es", "pr", "", 0x500A, 1252}, {"es", "us", "", 0x540A, 1252},
    {"it", "", "", 0x0410, 1252}, {"it", "ch", "", 0x0810, 1252},
    {"pt", "", "", 0x0416, 1252}, {"pt", "pt", "", 0x0816, 1252},
    {"nl", "", "", 0x0413, 1252}, {"nl", "be", "", 0x0813, 1252},
    {"sv", "", "", 0x041D, 1252}, {"sv", "fi", "", 0x081D, 1252},
    {"nb", "", "", 0x0414, 1252}, {"no", "", "", 0x0414, 1252}, {"nn", "", "", 0x0814, 1252},
    {"da", "", "", 0x0406, 1252}, {"fi", "", "", 0x040B, 1252}, {"is", "", "", 0x040F, 1252},
    {"fo", "", "", 0x0438, 1252}, {"ca", "", "", 0x0403, 1252}, {"ca", "es", "valencia", 0x0803, 1252},
    {"eu", "", "", 0x042D, 1252}, {"gl", "", "", 0x0456, 1252}, {"rm", "", "", 0x0417, 1252},
    {"ga", "", "", 0x083C, 1252}, {"gd", "", "", 0x0491, 1252}, {"cy", "", "", 0x0452, 1252},
    {"br", "", "", 0x047E, 1252}, {"oc", "", "", 0x0482, 1252}, {"co", "", "", 0x0483, 1252},
    {"lb", "", "", 0x046E, 1252}, {"fy", "", "", 0x0462, 1252}, {"kl", "", "", 0x046F, 1252},
    {"se", "", "", 0x043B, 1252}, {"se", "se", "", 0x083B, 1252}, {"se", "fi", "", 0x0C3B, 1252},
    {"hsb", "", "", 0x042E, 1252}, {"dsb", "", "", 0x082E, 1252}, {"mt", "", "", 0x043A, 1252},
    // Other languages; Windows serves several of them only in Unicode, which leaves 1252 here.
    {"af", "", "", 0x0436, 1252}, {"id", "", "", 0x0421, 1252}, {"ms", "", "", 0x043E, 1252},
    {"ms", "bn", "", 0x083E, 1252}, {"fil", "", "", 0x0464, 1252}, {"sw", "", "", 0x0441, 1252},
    {"zu", "", "", 0x0435, 1252}, {"xh", "", "", 0x0434, 1252}, {"tn", "", "", 0x0432, 1252},
    {"nso", "", "", 0x046C, 1252}, {"ha", "", "", 0x0468, 1252}, {"yo", "", "", 0x046A, 1252},
    {"ig", "", "", 0x0470, 1252}, {"rw", "", "", 0x0487, 1252}, {"wo", "", "", 0x0488, 1252},
    {"hy", "", "", 0x042B, 1252}, {"ka", "", "", 0x0437, 1252}, {"hi", "", "", 0x0439, 1252},
    {"bn", "", "", 0x0445, 1252}, {"bn", "bd", "", 0x0845, 1252}, {"pa", "", "", 0x0446, 1252},
    {"gu", "", "", 0x0447, 1252}, {"or", "", "", 0x0448, 1252}, {"ta", "", "", 0x0449, 1252},
    {"te", "", "", 0x044A, 1252}, {"kn", "", "", 0x044B, 1252}, {"ml", "", "", 0x044C, 1252},
    {"as", "", "", 0x044D, 1252}, {"mr", "", "", 0x044E, 1252}, {"sa", "", "", 0x044F, 1252},
    {"kok", "", "", 0x0457, 1252}, {"ne", "", "", 0x0461, 1252}, {"si", "", "", 0x045B, 1252},
    {"bo", "", "", 0x0451, 1252}, {"km", "", "", 0x0453, 1252}, {"lo", "", "", 0x0454, 1252},
    {"am", "", "", 0x045E, 1252}, {"ps", "", "", 0x0463, 1252}, {"dv", "", "", 0x0465, 1252},
    {"mi", "", "", 0x0481, 1252},
};
// clang-format on

constexpr char AsciiLower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
}

// Case-insensitive in ASCII only, so that the comparison is the same under every locale.
constexpr bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

// Every language has a row that applies when nothing else about the name matches.
constexpr bool EveryLanguageHasADefaultRow() {
  for (const LocaleRow& row : kLocaleRows) {
    bool found = false;
    for (const LocaleRow& other : kLocaleRows) {
      found = found ||
              (other.language == row.language && other.territory.empty() && other.modifier.empty());
    }
    if (!found) return false;
  }
  return true;
}
static_assert(EveryLanguageHasADefaultRow(), "a language of kLocaleRows lacks its default row");

// C and POSIX, with or without a codeset (C.UTF-8), and the empty name: the portable locale,
// whatever else the name says.
constexpr bool IsPortableLocale(std::string_view language) {
  return language.empty() || EqualsAsciiNoCase(language, "c") ||
         EqualsAsciiNoCase(language, "posix");
}

}  // namespace

LocaleNameParts ParseLocaleName(std::string_view name) {
  LocaleNameParts parts;
  // The modifier is last and may itself contain any character but '@'.
  if (const std::size_t at = name.find('@'); at != std::string_view::npos) {
    parts.modifier = name.substr(at + 1);
    name = name.substr(0, at);
  }
  if (const std::size_t dot = name.find('.'); dot != std::string_view::npos) {
    parts.codeset = name.substr(dot + 1);
    name = name.substr(0, dot);
  }
  if (const std::size_t sep = name.find_first_of("_-"); sep != std::string_view::npos) {
    parts.territory = name.substr(sep + 1);
    name = name.substr(0, sep);
  }
  parts.language = name;
  return parts;
}

WindowsLocale WindowsLocaleForName(std::string_view name) {
  const LocaleNameParts parts = ParseLocaleName(name);
  if (IsPortableLocale(parts.language)) return {kEnglishUnitedStates, kDefaultAnsiCodePage};

  // Of the rows for this language, the most specific one that the name agrees with wins: a script
  // modifier outweighs the territory, since it decides the code page.
  const LocaleRow* best = nullptr;
  int bestScore = -1;
  for (const LocaleRow& row : kLocaleRows) {
    if (!EqualsAsciiNoCase(row.language, parts.language)) continue;
    if (!row.territory.empty() && !EqualsAsciiNoCase(row.territory, parts.territory)) continue;
    if (!row.modifier.empty() && !EqualsAsciiNoCase(row.modifier, parts.modifier)) continue;
    const int score = (row.modifier.empty() ? 0 : 2) + (row.territory.empty() ? 0 : 1);
    if (score > bestScore) {
      best = &row;
      bestScore = score;
    }
  }
  if (best == nullptr) return {kCustomUnspecified, kDefaultAnsiCodePage};
  return {best->windowsLanguage, best->ansiCodePage};
}

std::string_view EnvironmentLocaleName() {
  // The precedence POSIX gives these variables for the character-type category.
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && value[0] != '\0') return value;
  }
  return {};
}

}  // namespace corvane::platform::posix
