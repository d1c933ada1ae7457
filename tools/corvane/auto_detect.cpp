#include "auto_detect.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace corvane_tool {
namespace {

constexpr std::uint32_t kIso2022Jp = 2022;

struct Mark {
  std::uint8_t bytes[4];
  std::size_t size;
  const char* encoding;
};
// UTF-32LE's mark begins with UTF-16LE's, so the longer marks are tried first: a UTF-16LE text
// that starts with U+0000 is rarer than a UTF-32LE one.
constexpr Mark kMarks[] = {
    {{0x00, 0x00, 0xFE, 0xFF}, 4, "UTF-32BE"},
    {{0xFF, 0xFE, 0x00, 0x00}, 4, "UTF-32LE"},
    {{0xEF, 0xBB, 0xBF}, 3, "UTF-8"},
    {{0xFE, 0xFF}, 2, "UTF-16BE"},
    {{0xFF, 0xFE}, 2, "UTF-16LE"},
};

}  // namespace

const char* AutoDetector::MarkedEncoding() const {
  for (const Mark& mark : kMarks)
    if (headSize_ >= mark.size && std::memcmp(head_, mark.bytes, mark.size) == 0)
      return mark.encoding;
  return nullptr;
}

void AutoDetector::CheckUtf8(bool atEnd, std::span<const std::uint8_t> bytes) {
  if (utf8Broken_) return;
  std::vector<char16_t> scratch(corvane::Decoder::max_units(bytes.size()));
  try {
    if (atEnd)
      utf8_.finish(scratch);
    else
      utf8_.decode(bytes, scratch);
  } catch (const corvane::Error&) {
    utf8Broken_ = true;
  }
}

void AutoDetector::Feed(std::span<const std::uint8_t> bytes) {
  const std::size_t take = std::min(bytes.size(), sizeof head_ - headSize_);
  std::copy_n(bytes.begin(), take, head_ + headSize_);
  headSize_ += take;
  ascii_ =
      ascii_ && std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b < 0x80; });
  CheckUtf8(false, bytes);
  japanese_.Feed(bytes);
}

bool AutoDetector::Decided() const {
  if (headSize_ == sizeof head_ && MarkedEncoding() != nullptr) return true;
  return utf8Broken_ && japanese_.Final();
}

AutoDetector::Answer AutoDetector::Settle() {
  if (const char* marked = MarkedEncoding()) return {corvane::Encoding(marked), true, true};
  CheckUtf8(true, {});
  if (!utf8Broken_) {
    // Seven-bit text with an escape sequence is ISO-2022-JP, which is valid UTF-8 too.
    if (ascii_ && japanese_.Confident() && japanese_.CodePage() == kIso2022Jp)
      return {corvane::Encoding(kIso2022Jp), false, true};
    return {corvane::Encoding("UTF-8"), false, true};
  }
  return {corvane::Encoding(japanese_.CodePage()), false, japanese_.Confident()};
}

}  // namespace corvane_tool
