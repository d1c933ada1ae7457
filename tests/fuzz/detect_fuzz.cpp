// corvane::detect on any bytes: it answers one of the encodings it knows, with a confidence
// between 0 and 1 that is high wherever it says it is sure, reads nothing past the text
// (AddressSanitizer watches the copy, which is exactly as long as the input), and takes seven-bit
// text without zero bytes or controls for US-ASCII or ISO-2022-JP.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "corvane.hpp"
#include "fuzz_check.h"

namespace {

constexpr std::string_view kAnswers[] = {
    "US-ASCII",     "UTF-8",        "UTF-16LE",     "UTF-16BE",     "UTF-32LE",     "UTF-32BE",
    "Shift_JIS",    "EUC-JP",       "ISO-2022-JP",  "GBK",          "Big5",         "EUC-KR",
    "windows-1250", "windows-1251", "windows-1252", "windows-1253", "windows-1254", "windows-1255",
    "windows-1256", "windows-1257", "KOI8-R",       "IBM866",       "ISO-8859-5"};

bool PlainSevenBit(const std::uint8_t* data, std::size_t size) {
  for (std::size_t i = 0; i < size; ++i)
    if (data[i] >= 0x80 || data[i] == 0 || (data[i] < 0x20 && data[i] != '\n' && data[i] != 0x1B))
      return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto copy = std::make_unique<std::uint8_t[]>(size);
  if (size > 0) std::memcpy(copy.get(), data, size);
  const corvane::Detection d = corvane::detect(std::span<const std::uint8_t>(copy.get(), size));
  FUZZ_CHECK(d.confidence >= 0.0 && d.confidence <= 1.0);
  FUZZ_CHECK(!d.sure || d.confidence >= 0.5);
  bool known = false;
  for (std::string_view name : kAnswers)
    known = known || d.encoding.name() == name;
  FUZZ_CHECK(known);
  if (PlainSevenBit(data, size))
    FUZZ_CHECK(d.encoding.name() == "US-ASCII" || d.encoding.name() == "ISO-2022-JP");
  return 0;
}
