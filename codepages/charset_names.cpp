#include "codepages/charset_names.h"

#include "base/text.h"

namespace corvane {

// Grouped by code page, groups in the order in which each code page first occurs; the first row
// of a group is the preferred name. Some names differ from another only in case ("utf-8" and
// "UTF-8"): matching ignores case, so the later one is never found and is kept for fidelity.
// Eight code pages here are not in the registry (28593, 1200, 65001, 65000, 10029, 10007, 10006,
// 10081), and sixteen registered ones have no name (10008, 40850-40869, 88591-88599).
const CharsetNameRow CharsetNameTable[] = {
    {"iso-8859-1", 1252},
    {"us-ascii", 1252},
    {"ansi_x3.4-1968", 1252},
    {"iso-ir-6", 1252},
    {"ansi_x3.4-1986", 1252},
    {"iso_646.irv:1991", 1252},
    {"ascii", 1252},
    {"iso646-us", 1252},
    {"us", 1252},
    {"ibm367", 1252},
    {"cp367", 1252},
    {"csASCII", 1252},
    {"latin1", 1252},
    {"iso_8859-1", 1252},
    {"iso_8859-1:1987", 1252},
    {"iso-ir-100", 1252},
    {"l1", 1252},
    {"ibm819", 1252},
    {"cp819", 1252},
    {"windows-1252", 1252},
    {"iso8859-1", 1252},
    {"iso-2022-jp", 2022},
    {"iso-2022-jp-2", 2022},
    {"jis_x0208-1983", 2022},
    {"x-jisx0208-11", 2022},
    {"jis_x0201", 2022},
    {"jis_x0212-1990", 2022},
    {"csISO2022JP", 2022},
    {"csISO2022JP2", 2022},
    {"x0212", 2022},
    {"iso-ir-159", 2022},
    {"x0201", 2022},
    {"csHalfWidthKatakana", 2022},
    {"Shift_JIS", 932},
    {"x-sjis", 932},
    {"ms_Kanji", 932},
    {"csShiftJIS", 932},
    {"Windows-31J", 932},
    {"euc-jp", 51932},
    {"csEUCPkdFmtJapanese", 51932},
    {"x-euc-jp", 51932},
    {"macintosh", 10000},
    {"x-mac-roman", 10000},
    {"iso-8859-2", 1250},
    {"windows-1250", 1250},
    {"latin2", 1250},
    {"iso_8859-2", 1250},
    {"iso_8859-2:1987", 1250},
    {"iso-ir-101", 1250},
    {"l2", 1250},
    {"x-cp1250", 1250},
    {"iso-8859-3", 28593},
    {"iso-8859-4", 1257},
    {"windows-1257", 1257},
    {"iso-ir-110", 1257},
    {"iso_8859-4", 1257},
    {"iso_8859-4:1988", 1257},
    {"latin4", 1257},
    {"l4", 1257},
    {"csISOLatin4", 1257},
    {"iso-8859-5", 1251},
    {"windows-1251", 1251},
    {"iso-ir-144", 1251},
    {"iso_8859-5", 1251},
    {"iso_8859-5:1988", 1251},
    {"cyrillic", 1251},
    {"csISOLatinCyrillic", 1251},
    {"csWindows31Latin5", 1251},
    {"iso-8859-6", 1256},
    {"windows-1256", 1256},
    {"iso-8859-7", 1253},
    {"windows-1253", 1253},
    {"iso-ir-126", 1253},
    {"iso_8859-7", 1253},
    {"iso_8859-7:1987", 1253},
    {"elot_928", 1253},
    {"ecma-118", 1253},
    {"greek", 1253},
    {"greek8", 1253},
    {"csISOLatinGreek", 1253},
    {"x-cp1253", 1253},
    {"iso-8859-8", 1255},
    {"windows-1255", 1255},
    {"iso-8859-9", 1254},
    {"windows-1254", 1254},
    {"iso-8859-15", 28605},
    {"iso8859-15", 28605},
    {"EUC-KR", 949},
    {"ks_c_5601-1987", 949},
    {"x-ksc5601-11", 949},
    {"iso-2022-kr", 949},
    {"iso-ir-149", 949},
    {"ks_c_5601-1989", 949},
    {"ksc_5601", 949},
    {"ks_c_5601", 949},
    {"korean", 949},
    {"csKSC56011987", 949},
    {"csISO2022KR", 949},
    {"gb2312", 936},
    {"gb_2312-80", 936},
    {"x-gb2312-11", 936},
    {"iso-ir-58", 936},
    {"chinese", 936},
    {"csISO58GB231280", 936},
    {"csGB2312", 936},
    {"CN-GB", 936},
    {"CN-GB-ISOIR165", 936},
    {"big5", 950},
    {"x-x-big5", 950},
    {"csBig5", 950},
    {"CN-Big5", 950},
    {"koi8-r", 20866},
    {"csKOI8R", 20866},
    {"unicode", 1200},
    {"ISO-10646-UCS-2", 1200},
    {"csUnicode11", 1200},
    {"ISO-10646-UCS-BASIC", 1200},
    {"csUnicodeASCII", 1200},
    {"csUnicodeLatin1", 1200},
    {"ISO-10646", 1200},
    {"ISO-10646-J-1", 1200},
    {"utf-8", 65001},
    {"UTF-8", 65001},
    {"UNICODE-1-1-UTF-8", 65001},
    {"utf-7", 65000},
    {"UTF-7", 65000},
    {"x-UNICODE-2-0-UTF-7", 65000},
    {"UNICODE-1-1-UTF-7", 65000},
    {"UNICODE-2-0-UTF-7", 65000},
    {"csUnicode11UTF7", 65000},
    {"x-mac-ce", 10029},
    {"x-mac-cyrillic", 10007},
    {"x-mac-greek", 10006},
    {"x-mac-turkish", 10081},
    {"", kCharsetNameTerminator},
};

const std::size_t CharsetNameTableRows = sizeof CharsetNameTable / sizeof CharsetNameTable[0];

std::int32_t CodePageIDToName(std::uint32_t codePage, char* name) {
  if (name == nullptr) return 0;
  for (const CharsetNameRow* row = CharsetNameTable; row->codePage != kCharsetNameTerminator;
       ++row) {
    if (row->codePage != codePage) continue;
    // Every stored name ends within its field, so at most kCharsetNameSize bytes are written.
    std::size_t i = 0;
    do {
      name[i] = row->name[i];
    } while (row->name[i++] != '\0');
    return 1;
  }
  return 0;
}

std::uint32_t CodePageNameToID(const char* name) {
  if (name == nullptr) return 0;
  for (const CharsetNameRow* row = CharsetNameTable; row->codePage != kCharsetNameTerminator;
       ++row) {
    if (EqualsIgnoringAsciiCase(name, row->name)) return row->codePage;
  }
  return 0;
}

std::uint32_t GetCharSet(std::uint32_t codePage) {
  switch (codePage) {
    case 932:
      return 128;  // SHIFTJIS_CHARSET
    case 936:
      return 134;  // GB2312_CHARSET
    case 949:
      return 129;  // HANGUL_CHARSET
    case 950:
      return 136;  // CHINESEBIG5_CHARSET
    default:
      return 0;  // ANSI_CHARSET
  }
}

}  // namespace corvane
