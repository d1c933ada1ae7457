// corvane detect: the Japanese encoding of each file, as CV_JapaneseAutoDetect sees it.
#include <cstdio>
#include <string>
#include <vector>

#include "command_line.h"
#include "commands.h"
#include "corvane.h"
#include "files.h"
#include "japanese_detector.h"

namespace corvane_tool {
namespace {

constexpr const char* kHelp =
    "usage: corvane detect [FILE...]\n"
    "\n"
    "Guesses whether each FILE (standard input when none is given or for \"-\") is ISO-2022-JP,\n"
    "EUC-JP or Shift_JIS, as CV_JapaneseAutoDetect does over the whole file, and prints one\n"
    "line per file with four fields separated by tabs:\n"
    "\n"
    "  FILE  CODEPAGE  NAME  CONFIDENT\n"
    "\n"
    "CODEPAGE is 2022, 51932 or 932, NAME its charset name, CONFIDENT 1 when a byte decided\n"
    "the question and 0 when the text held none (the answer is then the default, 2022, or\n"
    "51932 when only pairs that both EUC-JP and Shift_JIS accept were seen).\n"
    "\n"
    "Exit status: 0 success; 1 a file that cannot be read; 2 a usage error.\n";

}  // namespace

int RunDetect(int argc, char** argv, int first) {
  OptionReader options("detect", {{'h', "help", false}});
  if (!options.Read(argc, argv, first)) return kExitUsage;
  if (options.Has("help")) {
    std::fputs(kHelp, stdout);
    return kExitSuccess;
  }
  std::vector<std::string> paths = options.Operands();
  if (paths.empty()) paths.emplace_back("-");

  int status = kExitSuccess;
  std::vector<std::uint8_t> buffer(ChunkSize());
  for (const std::string& path : paths) {
    InputFile input;
    if (!input.Open(path)) {
      status = kExitFailure;
      continue;
    }
    JapaneseDetector detector;
    while (!detector.Final()) {
      const std::size_t got = input.Read(buffer);
      if (got == 0) break;
      detector.Feed({buffer.data(), got});
    }
    if (input.Failed()) {
      status = kExitFailure;
      continue;
    }
    char name[20] = "";
    CV_CodePageIDToName(detector.CodePage(), name);
    std::printf("%s\t%u\t%s\t%d\n", path.c_str(), detector.CodePage(), name,
                detector.Confident() ? 1 : 0);
  }
  if (std::fflush(stdout) != 0) {
    PrintError("cannot write standard output");
    return kExitFailure;
  }
  return status;
}

}  // namespace corvane_tool
