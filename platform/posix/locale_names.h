// What Windows would call a POSIX locale: its language identifier and the ANSI code page of a
// system locale in that language. The POSIX backend answers AnsiCodePage and ThreadLanguage from
// these, so that code page resolution sees on Linux what it would see on Windows.
//
// Decisions:
// - A locale name has the form language[_territory][.codeset][@modifier]. It is taken apart here
//   by hand, byte by byte, and compared in ASCII without regard to case: no locale-sensitive C
//   function takes part, so the answer cannot depend on the locale it is about. A '-' is accepted
//   in place of '_' (en-US), since people write such names into LANG as well.
// - The codeset plays no part: Windows ties the ANSI code page to the language and territory of
//   the system locale, not to an encoding, so ja_JP.UTF-8 and ja_JP.eucJP both give 932.
// - The modifier names a script where glibc uses one (sr_RS@latin, uz_UZ@cyrillic,
//   ca_ES@valencia) and chooses the matching Windows identifier; any other modifier (@euro) is
//   ignored.
// - An unknown territory falls back to the language's default identifier (de_BE gives German,
//   Germany, 0x0407). A language that Windows has no identifier for gives 0x1000, Windows' own
//   identifier for a locale without one (LOCALE_CUSTOM_UNSPECIFIED), with ANSI code page 1252.
// - "C", "POSIX", their codeset forms (C.UTF-8) and an empty name stand for English (United
//   States), 0x0409, code page 1252.
// - ANSI code pages follow Windows: Japanese 932; Chinese 936, but 950 for Taiwan, Hong Kong and
//   Macao; Korean 949; Cyrillic-script languages 1251; Central European languages 1250; Greek
//   1253; Turkish and Latin-script Azerbaijani and Uzbek 1254; Hebrew 1255; Arabic-script
//   languages 1256; Baltic languages 1257; Vietnamese 1258; Thai 874. Everything else, the
//   languages that Windows serves only in Unicode included, gives 1252.
#pragma once

#include <cstdint>
#include <string_view>

namespace corvane::platform::posix {

// The four parts of a locale name, as views into it; a missing part is empty.
struct LocaleNameParts {
  std::string_view language;
  std::string_view territory;
  std::string_view codeset;
  std::string_view modifier;
};

// Takes a locale name apart at the first '_' (or '-'), '.' and '@'.
LocaleNameParts ParseLocaleName(std::string_view name);

// How Windows names a locale.
struct WindowsLocale {
  std::uint16_t language;      // language identifier: primary language in bits 0-9, sublanguage
                               // in bits 10-15
  std::uint32_t ansiCodePage;  // the ANSI code page of a system locale in this language
};

// The Windows identifier and ANSI code page for a POSIX locale name (rules above).
WindowsLocale WindowsLocaleForName(std::string_view name);

// The locale name that the environment gives the character type: the first non-empty one of
// LC_ALL, LC_CTYPE and LANG, or empty when none is set. Views the environment; use it before the
// environment changes.
std::string_view EnvironmentLocaleName();

}  // namespace corvane::platform::posix
