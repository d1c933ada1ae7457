// corvane list and corvane names: the encodings the tool converts, and what the C interface's
// charset name table says.
#include <cstdio>
#include <string>

#include "command_line.h"
#include "commands.h"
#include "corvane.h"
#include "corvane.hpp"

namespace corvane_tool {
namespace {

constexpr const char* kListHelp =
    "usage: corvane list\n"
    "\n"
    "Lists every encoding that 'corvane convert' converts, one per line: its Windows code page\n"
    "number ('-' for UTF-16 and UTF-32, which have none), its preferred name, and the other\n"
    "names -f and -t accept for it. Names match ignoring case and everything but letters and\n"
    "digits, so \"shiftjis\" finds Shift_JIS.\n";

constexpr const char* kNamesHelp =
    "usage: corvane names CODEPAGE|NAME\n"
    "\n"
    "Prints what the library's charset name table says: for a NAME (matched ignoring ASCII\n"
    "case) the code page it stands for, for a CODEPAGE its preferred name; then the code\n"
    "page's Windows GDI character set and whether the library registers it. One 'key: value'\n"
    "line each.\n"
    "\n"
    "Exit status: 0 success; 1 a name the table does not hold; 2 a usage error.\n";

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

  std::printf("%-8s  %-16s  %s\n", "CODEPAGE", "NAME", "ALSO");
  for (const corvane::Encoding& encoding : corvane::Encoding::all()) {
    const std::string codePage =
        encoding.code_page() != 0 ? std::to_string(encoding.code_page()) : "-";
    std::string aliases;
    for (const std::string_view alias : encoding.aliases())
      aliases += (aliases.empty() ? "" : ", ") + std::string(alias);
    std::printf("%-8s  %-16.*s  %s\n", codePage.c_str(), static_cast<int>(encoding.name().size()),
                encoding.name().data(), aliases.c_str());
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
    const std::optional<std::uint32_t> number = ParseNumber(query);
    if (!number) return UsageError("names ", "code page '" + query + "' is out of range");
    codePage = *number;
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
