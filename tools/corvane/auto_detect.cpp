#include "auto_detect.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace corvane_tool {
namespace {

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

bool TellsSomething(std::uint8_t b) {
  return b >= 0x80 || b == 0 || b == 0x1B;
}

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

void AutoDetector::Sample(std::span<const std::uint8_t> bytes) {
  std::size_t from = 0;
  if (!sampling_) {
    const auto first = std::find_if(bytes.begin(), bytes.end(), TellsSomething);
    if (first == bytes.end()) return;
    sampling_ = true;
    from = static_cast<std::size_t>(first - bytes.begin());
    // Start at an even offset of the file, where a UTF-16 unit would.
    if ((offset_ + from) % 2 != 0) {
      if (from > 0)
        --from;
      else
        sample_.push_back(last_);
    }
  }
  const std::size_t take = std::min(bytes.size() - from, kSampleSize - sample_.size());
  sample_.insert(sample_.end(), bytes.begin() + static_cast<std::ptrdiff_t>(from),
                 bytes.begin() + static_cast<std::ptrdiff_t>(from + take));
}

void AutoDetector::Feed(std::span<const std::uint8_t> bytes) {
  if (bytes.empty()) return;
  const std::size_t take = std::min(bytes.size(), sizeof head_ - headSize_);
  std::copy_n(bytes.begin(), take, head_ + headSize_);
  headSize_ += take;
  zeroSeen_ = zeroSeen_ || std::find(bytes.begin(), bytes.end(), 0) != bytes.end();
  CheckUtf8(false, bytes);
  if (sample_.size() < kSampleSize) Sample(bytes);
  offset_ += bytes.size();
  last_ = bytes.back();
}

bool AutoDetector::Decided() const {
  if (headSize_ == sizeof head_ && MarkedEncoding() != nullptr) return true;
  return utf8Broken_ && sample_.size() >= kSampleSize;
}

AutoDetector::Answer AutoDetector::Settle() {
  if (const char* marked = MarkedEncoding()) return {corvane::Encoding(marked), true, true};
  CheckUtf8(true, {});
  const corvane::Detection detected = corvane::detect(sample_);
  if (!utf8Broken_) {
    // Seven-bit text with an escape sequence is ISO-2022-JP, which is valid UTF-8 too; zero
    // bytes are valid UTF-8 but no text's, unless UTF-16's.
    const std::string_view name = detected.encoding.name();
    if (name == "ISO-2022-JP" || (zeroSeen_ && detected.sure && name.starts_with("UTF-16")))
      return {detected.encoding, false, true};
    return {corvane::Encoding("UTF-8"), false, true};
  }
  return {detected.encoding, false, detected.sure};
}

}  // namespace corvane_tool
