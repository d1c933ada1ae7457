// corvane detect: the encoding of each file, as corvane::detect sees its first 64 KiB.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "command_line.h"
#include "commands.h"
#include "corvane.hpp"
#include "file_scan.h"

namespace corvane_tool {
namespace {

constexpr const char* kHelp =
    "usage: corvane detect [FILE...]\n"
    "\n"
    "Guesses the encoding of each FILE (standard input when none is given or for \"-\") from\n"
    "its first 64 KiB and prints one line per file with four fields separated by tabs:\n"
    "\n"
    "  FILE  ENCODING  CONFIDENCE  SURE\n"
    "\n"
    "ENCODING is a name 'corvane convert -f' takes: a byte order mark's encoding (UTF-8,\n"
    "UTF-16LE/BE, UTF-32LE/BE), US-ASCII for seven-bit text, ISO-2022-JP, UTF-8, UTF-16LE/BE\n"
    "without a mark, Shift_JIS, EUC-JP, GBK, Big5, EUC-KR, windows-1250 to windows-1257,\n"
    "KOI8-R, IBM866 or ISO-8859-5. CONFIDENCE runs from 0.00 to 1.00; SURE is 1 when the text\n"
    "tells, 0 when ENCODING is only the likeliest (short or mixed text).\n"
    "\n"
    "  $ printf '\\xcd\\xe5 \\xf3\\xe4\\xe0\\xeb\\xee\\xf1\\xfc "
    "\\xee\\xf2\\xea\\xf0\\xfb\\xf2\\xfc\\n' | corvane detect\n"
    "  -\twindows-1251\t1.00\t1\n"
    "  $ printf 'caf\\xe9 cr\\xe8me br\\xfbl\\xe9e\\n' | corvane detect\n"
    "  -\twindows-1252\t0.09\t0\n"
    "\n"
    "Exit status: 0 success; 1 a file that cannot be read; 2 a usage error.\n";

constexpr std::size_t kLooked = 64 * 1024;

// One file's first kLooked bytes, then its line.
struct DetectScan {
  std::string path;
  std::vector<std::uint8_t> bytes;

  bool Feed(std::span<const std::uint8_t> chunk) {
    const std::size_t take = std::min(chunk.size(), kLooked - bytes.size());
    bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(take));
    return !chunk.empty() && bytes.size() < kLooked;
  }

  void Report() const {
    const corvane::Detection d = corvane::detect(bytes);
    std::printf("%s\t%s\t%.2f\t%d\n", path.c_str(), std::string(d.encoding.name()).c_str(),
                d.confidence, d.sure ? 1 : 0);
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
    return DetectScan{path, {}};
  });
}

}  // namespace corvane_tool
