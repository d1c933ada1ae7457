// corvane list and corvane names: what the library registers and what its name table says,
// asked through the public interface only.
#include <cstdio>
#include <string>

#include "command_line.h"
#include "commands.h"
#include "corvane.h"
#include "stream_decoder.h"
#include "stream_encoder.h"

namespace corvane_tool {
namespace {

constexpr const char* kListHelp =
    "usage: corvane list\n"
    "\n"
    "Lists every code page the library registers, one per line: its number, its preferred\n"
    "charset name ('-' when it has none), the road its text takes here (system: the\n"
    "platform's conversion; tables: the library's own tables), its Windows GDI character set\n"
    "and what it is. ISO-2022-JP and EUC-JP are transcoded to Shift_JIS and take the road of\n"
    "932.\n";

constexpr const char* kNamesHelp =
    "usage: corvane names CODEPAGE|NAME\n"
    "\n"
    "Prints what the library's charset name table says: for a NAME (matched ignoring ASCII\n"
    "case) the code page it stands for, for a CODEPAGE its preferred name; then the code\n"
    "page's Windows GDI character set and whether the library registers it. One 'key: value'\n"
    "line each.\n"
    "\n"
    "Exit status: 0 success; 1 a name the table does not hold; 2 a usage error.\n";

// Registered numbers lie far below this; scanning it costs a few milliseconds.
constexpr std::uint32_t kHighestScanned = 0x1FFFF;

struct Description {
  std::uint32_t codePage;
  const char* text;
};

// What each registered code page is; a number missing here is described as "".
constexpr Description kDescriptions[] = {
    {932, "Japanese, Shift_JIS"},
    {936, "simplified Chinese, GB2312"},
    {949, "Korean, EUC-KR (KS C 5601)"},
    {950, "traditional Chinese, Big5"},
    {1250, "Windows Central European"},
    {1251, "Windows Cyrillic"},
    {1252, "Windows Western European"},
    {1253, "Windows Greek"},
    {1254, "Windows Turkish"},
    {1255, "Windows Hebrew"},
    {1256, "Windows Arabic"},
    {1257, "Windows Baltic"},
    {2022, "Japanese, ISO-2022-JP (transcoded through 932)"},
    {10000, "Macintosh Roman"},
    {10008, "Macintosh Hebrew in the library's tables (Windows: Mac Simplified Chinese)"},
    {20866, "Russian, KOI8-R"},
    {28605, "ISO 8859-15"},
    {40850, "DOS Western European, code page 850 (own number)"},
    {40852, "DOS Central European, code page 852 (own number)"},
    {40861, "DOS Icelandic, code page 861 (own number)"},
    {40862, "DOS Hebrew, code page 862 (own number)"},
    {40866, "DOS Cyrillic, code page 866 (own number)"},
    {40869, "DOS Greek, code page 869 (own number)"},
    {51932, "Japanese, EUC-JP (transcoded through 932)"},
    {88591, "ISO 8859-1 (own number)"},
    {88592, "ISO 8859-2 (own number)"},
    {88593, "ISO 8859-3 (own number)"},
    {88594, "ISO 8859-4 (own number)"},
    {88595, "ISO 8859-5 (own number)"},
    {88596, "ISO 8859-6 (own number)"},
    {88597, "ISO 8859-7 (own number)"},
    {88598, "ISO 8859-8 (own number)"},
    {88599, "ISO 8859-9 (own number)"},
};

const char* Describe(std::uint32_t codePage) {
  for (const Description& d : kDescriptions)
    if (d.codePage == codePage) return d.text;
  return "";
}

const char* CharSetName(std::uint32_t charSet) {
  switch (charSet) {
    case 128:
      return "SHIFTJIS";
    case 129:
      return "HANGUL";
    case 134:
      return "GB2312";
    case 136:
      return "CHINESEBIG5";
    default:
      return "ANSI";
  }
}

// Which road the text of a code page takes.
const char* Road(std::uint32_t codePage) {
  if (!CanEncode(codePage)) return "none";
  return TakesSystemRoad(codePage) ? "system" : "tables";
}

}  // namespace

int RunList(int argc, char** argv, int first) {
  OptionReader options("list", {{'h', "help", false}});
  if (!options.Read(argc, argv, first)) return kExitUsage;
  if (options.Has("help")) {
    std::fputs(kListHelp, stdout);
    return kExitSuccess;
  }
  if (!options.Operands().empty())
    return UsageError("list ", "unexpected argument '" + options.Operands()[0] + "'");

  std::printf("%-9s  %-12s  %-6s  %-15s  %s\n", "CODEPAGE", "NAME", "ROAD", "CHARSET",
              "DESCRIPTION");
  for (std::uint32_t codePage = 0; codePage <= kHighestScanned; ++codePage) {
    if (CV_IsValidCodePage(codePage) == 0) continue;
    char name[20] = "-";
    CV_CodePageIDToName(codePage, name);
    const std::uint32_t charSet = CV_GetCharSet(codePage);
    const std::string charSetText = std::to_string(charSet) + " " + CharSetName(charSet);
    std::printf("%-9u  %-12s  %-6s  %-15s  %s\n", codePage, name, Road(codePage),
                charSetText.c_str(), Describe(codePage));
  }
  return std::fflush(stdout) == 0 ? kExitSuccess : kExitFailure;
}

int RunNames(int argc, char** argv, int first) {
  OptionReader options("names", {{'h', "help", false}});
  if (!options.Read(argc, argv, first)) return kExitUsage;
  if (options.Has("help")) {
    std::fputs(kNamesHelp, stdout);
    return kExitSuccess;
  }
  if (options.Operands().size() != 1) return UsageError("names ", "expected one CODEPAGE or NAME");
  const std::string& query = options.Operands()[0];

  std::uint32_t codePage = 0;
  const bool isNumber =
      !query.empty() && query.find_first_not_of("0123456789") == std::string::npos;
  if (isNumber) {
    const std::optional<Encoding> encoding = ParseEncoding(query);
    if (!encoding) return UsageError("names ", "code page '" + query + "' is out of range");
    codePage = encoding->codePage;
  } else {
    codePage = CV_CodePageNameToID(query.c_str());
    if (codePage == 0) {
      PrintError("no charset is named '" + query + "'");
      return kExitFailure;
    }
    std::printf("name: %s\n", query.c_str());
  }
  char preferred[20] = "-";
  CV_CodePageIDToName(codePage, preferred);
  const std::uint32_t charSet = CV_GetCharSet(codePage);
  std::printf("code-page: %u\npreferred-name: %s\ncharset: %u %s\nregistered: %s\n", codePage,
              preferred, charSet, CharSetName(charSet),
              CV_IsValidCodePage(codePage) != 0 ? "yes" : "no");
  return std::fflush(stdout) == 0 ? kExitSuccess : kExitFailure;
}

}  // namespace corvane_tool
