// corvane detect: the Japanese encoding of each file, as CV_JapaneseAutoDetect sees it.
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "command_line.h"
#include "commands.h"
#include "corvane.h"
#include "file_scan.h"
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

// One file's detection: fed until a byte decides, then printed.
struct DetectScan {
  std::string path;
  JapaneseDetector detector;

  bool Feed(std::span<const std::uint8_t> chunk) {
    if (chunk.empty()) return false;
    detector.Feed(chunk);
    return !detector.Final();
  }

  void Report() const {
    char name[20] = "";
    CV_CodePageIDToName(detector.CodePage(), name);
    std::printf("%s\t%u\t%s\t%d\n", path.c_str(), detector.CodePage(), name,
                detector.Confident() ? 1 : 0);
  }
};

}  // namespace

int RunDetect(int argc, char** argv, int first) {
  OptionReader options("detect", {{'h', "help", false}});
  if (!options.Read(argc, argv, first)) return kExitUsage;
  if (options.Has("help")) {
    std::fputs(kHelp, stdout);
    return kExitSuccess;
  }
  return ScanFiles(options.Operands(), [](const std::string& path) {
    return DetectScan{path, JapaneseDetector()};
  });
}

}  // namespace corvane_tool
