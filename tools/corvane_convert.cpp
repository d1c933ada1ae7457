// corvane-convert: converts a file from one code page to another through UTF-16, using only the
// library's public interface, so it shows what a host program does.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "corvane.h"

namespace {

constexpr const char* kUsage =
    "usage: corvane-convert -f FROM -t TO [-o OUTPUT] [INPUT]\n"
    "       corvane-convert --detect [INPUT]\n"
    "\n"
    "Converts INPUT (standard input when absent or \"-\") from code page FROM to code page TO\n"
    "and writes the result to OUTPUT (standard output when absent).\n"
    "FROM and TO are code page numbers (932, 1252, 65001, ...) or charset names (Shift_JIS,\n"
    "iso-8859-1, utf-8, ...). FROM may be 2023 or \"auto-japanese\" to detect ISO-2022-JP,\n"
    "EUC-JP or Shift_JIS; 0 is the system's ANSI code page, 3 the code page of the locale.\n"
    "--detect prints the Japanese encoding the input appears to use.\n";

int Fail(const std::string& message) {
  std::fprintf(stderr, "corvane-convert: %s\n", message.c_str());
  return 1;
}

// A number, or a charset name; 0 is a real answer only when spelled as a number.
bool ParseCodePage(const char* text, uint32_t& codePage) {
  if (std::strcmp(text, "auto-japanese") == 0) {
    codePage = 2023;
    return true;
  }
  char* end = nullptr;
  errno = 0;
  const unsigned long number = std::strtoul(text, &end, 10);
  if (*text != '\0' && *end == '\0' && errno == 0 && number <= 0xFFFFFFFFul) {
    codePage = static_cast<uint32_t>(number);
    return true;
  }
  codePage = CV_CodePageNameToID(text);
  return codePage != 0;
}

bool ReadAll(const char* path, std::vector<uint8_t>& data) {
  FILE* f = (path == nullptr || std::strcmp(path, "-") == 0) ? stdin : std::fopen(path, "rb");
  if (f == nullptr) return false;
  uint8_t chunk[65536];
  size_t n = 0;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
    data.insert(data.end(), chunk, chunk + n);
  const bool ok = std::ferror(f) == 0;
  if (f != stdin) std::fclose(f);
  return ok;
}

bool WriteAll(const char* path, const uint8_t* data, size_t size) {
  FILE* f = path == nullptr ? stdout : std::fopen(path, "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(data, 1, size, f) == size;
  return (f == stdout ? std::fflush(f) == 0 : std::fclose(f) == 0) && ok;
}

}  // namespace

int main(int argc, char** argv) {
  const char* from = nullptr;
  const char* to = nullptr;
  const char* output = nullptr;
  const char* input = nullptr;
  bool detect = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "-f" || arg == "-t" || arg == "-o") && i + 1 < argc) {
      (arg == "-f" ? from : arg == "-t" ? to : output) = argv[++i];
    } else if (arg == "--detect") {
      detect = true;
    } else if (arg == "-h" || arg == "--help") {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (input == nullptr && (arg == "-" || arg[0] != '-')) {
      input = argv[i];
    } else {
      std::fputs(kUsage, stderr);
      return 2;
    }
  }
  if (!detect && (from == nullptr || to == nullptr)) {
    std::fputs(kUsage, stderr);
    return 2;
  }

  std::vector<uint8_t> bytes;
  if (!ReadAll(input, bytes)) return Fail(std::string("cannot read ") + (input ? input : "stdin"));
  if (bytes.size() > 0x10000000u) return Fail("input larger than 256 MiB");
  const auto length = static_cast<int32_t>(bytes.size());

  if (detect) {
    uint32_t confident = 0;
    const uint32_t cp = CV_JapaneseAutoDetect(bytes.data(), length, &confident);
    char name[20] = "";
    CV_CodePageIDToName(cp, name);
    std::printf("%u %s%s\n", cp, name, confident ? "" : " (no deciding byte: a guess)");
    return 0;
  }

  uint32_t fromCp = 0;
  uint32_t toCp = 0;
  if (!ParseCodePage(from, fromCp))
    return Fail(std::string("unknown code page or charset: ") + from);
  if (!ParseCodePage(to, toCp)) return Fail(std::string("unknown code page or charset: ") + to);
  if (bytes.empty()) return WriteAll(output, nullptr, 0) ? 0 : Fail("cannot write output");

  // One byte never stands for more than three UTF-16 units.
  std::vector<uint16_t> wide(bytes.size() * 3 + 4);
  const int32_t units = CV_MultiByteToWideChar(fromCp, 0, bytes.data(), length, wide.data(),
                                               static_cast<int32_t>(wide.size()), nullptr, nullptr);
  if (units <= 0)
    return Fail("the input cannot be converted from code page " + std::to_string(fromCp));
  int32_t textUnits = units;
  // The UTF-8 decoder ends its output with a terminator unit of its own; it is not text.
  const uint32_t resolvedFrom =
      fromCp == 2023 ? CV_JapaneseAutoDetect(bytes.data(), length, nullptr) : fromCp;
  if (resolvedFrom == 65001 && wide[static_cast<size_t>(units) - 1] == 0) --textUnits;

  // ISO-2022-JP may need an escape sequence around every character.
  std::vector<uint8_t> out(static_cast<size_t>(textUnits) * 8 + 64);
  const int32_t written =
      CV_WideCharToMultiByte(toCp, 0, wide.data(), textUnits, out.data(),
                             static_cast<int32_t>(out.size()), nullptr, nullptr);
  if (written <= 0)
    return Fail("the text cannot be converted to code page " + std::to_string(toCp));
  if (!WriteAll(output, out.data(), static_cast<size_t>(written)))
    return Fail("cannot write output");
  return 0;
}
