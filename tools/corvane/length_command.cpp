// corvane length: characters and whole-character bytes of encoded files, as CV_StrLength
// counts them over the whole file, measured chunk by chunk.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "command_line.h"
#include "commands.h"
#include "corvane.h"
#include "file_scan.h"

namespace corvane_tool {
namespace {

constexpr const char* kHelp =
    "usage: corvane length -f CODEPAGE [FILE...]\n"
    "\n"
    "Measures each FILE (standard input when none is given or for \"-\") in CODEPAGE as\n"
    "CV_StrLength does over the whole file, and prints one line per file with three fields\n"
    "separated by tabs:\n"
    "\n"
    "  FILE  CHARACTERS  BYTES\n"
    "\n"
    "CHARACTERS counts one per byte, one per double-byte pair on 932, 936, 949, 950 and\n"
    "51932, one per JIS character on 2022 (escape sequences not counted), and UTF-16 units\n"
    "plus 1 on 65001. BYTES counts the bytes that form whole characters: an unfinished\n"
    "character at the end (and on 65001 everything from the first invalid sequence on) is\n"
    "left out. Pseudo code pages are not resolved: 0, 3 and 2023 count bytes.\n"
    "\n"
    "Exit status: 0 success; 1 a file that cannot be read; 2 a usage error.\n";

constexpr std::uint32_t kIso2022Jp = 2022;
constexpr std::uint32_t kUtf8 = 65001;
constexpr std::size_t kHeadroom = 3;
constexpr std::uint8_t kToTwoByteMode[kHeadroom] = {0x1B, '$', 'B'};
constexpr std::uint32_t kTwoByteMode = 2;

struct Measure {
  std::uint64_t characters = 0;
  std::uint64_t bytes = 0;
};

// Measures one file. Each call measures everything held; the bytes after the last whole
// character wait for the next chunk. ISO-2022-JP is measured from single-byte mode, so a piece
// that starts in two-byte mode is measured behind ESC $ B, which selects it and counts nothing;
// the mode a piece ends in comes from converting it.
class FileMeasurer {
 public:
  explicit FileMeasurer(std::uint32_t codePage) : codePage_(codePage), held_(kHeadroom) {}

  // Returns false when the library stopped counting for good (invalid UTF-8).
  bool Feed(std::span<const std::uint8_t> chunk, bool atEnd) {
    held_.insert(held_.end(), chunk.begin(), chunk.end());
    const std::size_t n = held_.size() - kHeadroom;
    if (n == 0) return true;
    const bool behindEscape = codePage_ == kIso2022Jp && shiftState_ == kTwoByteMode;
    const std::size_t skip = behindEscape ? 0 : kHeadroom;
    if (behindEscape)
      std::copy(std::begin(kToTwoByteMode), std::end(kToTwoByteMode), held_.begin());
    const std::uint8_t* text = held_.data() + skip;
    const auto length = static_cast<std::int32_t>(held_.size() - skip);

    std::int32_t consumed = 0;
    std::int32_t characters = CV_StrLength(codePage_, text, length, &consumed);
    if (codePage_ == kUtf8) --characters;  // the 1 the decoder adds, counted once at the end
    const auto prefix = static_cast<std::int32_t>(kHeadroom - skip);
    const auto whole = static_cast<std::size_t>(std::max(consumed - prefix, 0));
    result_.characters += static_cast<std::uint64_t>(std::max(characters, 0));
    result_.bytes += whole;

    if (codePage_ == kIso2022Jp && whole > 0) {
      std::vector<std::uint16_t> scratch(3 * static_cast<std::size_t>(consumed) + 4);
      std::uint32_t state = 1;
      CV_MultiByteToWideChar(codePage_, 0, text, consumed, scratch.data(),
                             static_cast<std::int32_t>(scratch.size()), nullptr, &state);
      shiftState_ = state;
    }
    held_.erase(held_.begin() + kHeadroom,
                held_.begin() + static_cast<std::ptrdiff_t>(kHeadroom + whole));
    // The UTF-8 decoder stops at an invalid sequence; more than three bytes after it means it
    // is no unfinished character but the end of the count.
    constexpr std::size_t kLongestUnfinished = 3;
    return !(codePage_ == kUtf8 && (atEnd || n - whole > kLongestUnfinished) && whole < n);
  }

  Measure Result() const {
    Measure measure = result_;
    if (codePage_ == kUtf8) ++measure.characters;
    return measure;
  }

 private:
  std::uint32_t codePage_;
  std::vector<std::uint8_t> held_;
  std::uint32_t shiftState_ = 1;
  Measure result_;
};

// One file's measurement, printed once the whole file is counted.
struct LengthScan {
  std::string path;
  FileMeasurer measurer;

  bool Feed(std::span<const std::uint8_t> chunk) { return measurer.Feed(chunk, chunk.empty()); }

  void Report() const {
    const Measure measure = measurer.Result();
    std::printf("%s\t%llu\t%llu\n", path.c_str(),
                static_cast<unsigned long long>(measure.characters),
                static_cast<unsigned long long>(measure.bytes));
  }
};

}  // namespace

int RunLength(int argc, char** argv, int first) {
  OptionReader options("length", {{'f', "from", true}, {'h', "help", false}});
  if (!options.Read(argc, argv, first)) return kExitUsage;
  if (options.Has("help")) {
    std::fputs(kHelp, stdout);
    return kExitSuccess;
  }
  const std::string* from = options.Value("from");
  if (from == nullptr) return UsageError("length ", "missing -f CODEPAGE");
  const std::optional<std::uint32_t> parsed = ParseCodePage(*from);
  if (!parsed) return UsageError("length ", "unknown code page or charset '" + *from + "' (-f)");

  const std::uint32_t codePage = *parsed;
  return ScanFiles(options.Operands(), [codePage](const std::string& path) {
    return LengthScan{path, FileMeasurer(codePage)};
  });
}

}  // namespace corvane_tool
