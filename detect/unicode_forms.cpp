#include "detect/unicode_forms.h"

#include <cstring>

namespace corvane::detection {
namespace {

struct Mark {
  std::uint8_t bytes[4];
  std::size_t size;
  const char* encoding;
};
constexpr Mark kMarks[] = {
    {{0x00, 0x00, 0xFE, 0xFF}, 4, "UTF-32BE"},
    {{0xFF, 0xFE, 0x00, 0x00}, 4, "UTF-32LE"},
    {{0xEF, 0xBB, 0xBF}, 3, "UTF-8"},
    {{0xFE, 0xFF}, 2, "UTF-16BE"},
    {{0xFF, 0xFE}, 2, "UTF-16LE"},
};

// Eight bytes at a time: text is mostly ASCII even where it is not English, and the runs between
// multi-byte sequences pass here at a fraction of a cycle per byte.
std::size_t AsciiRun(const std::uint8_t* p, std::size_t size) {
  std::size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, p + i, 8);
    if (word & 0x8080808080808080u) break;
  }
  while (i < size && p[i] < 0x80)
    ++i;
  return i;
}

}  // namespace

const char* MarkedEncoding(Bytes bytes) {
  for (const Mark& mark : kMarks)
    if (bytes.size() >= mark.size && std::memcmp(bytes.data(), mark.bytes, mark.size) == 0)
      return mark.encoding;
  return nullptr;
}

Utf8Shape ExamineUtf8(Bytes bytes) {
  Utf8Shape shape;
  const std::uint8_t* p = bytes.data();
  const std::size_t size = bytes.size();
  std::size_t i = 0;
  while (true) {
    i += AsciiRun(p + i, size - i);
    if (i >= size) break;
    const std::uint8_t lead = p[i];
    std::size_t length;
    std::uint8_t lo = 0x80, hi = 0xBF;   // the second byte's range, narrowed against overlong
    if (lead >= 0xC2 && lead <= 0xDF) {  // and surrogate and too large forms
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) lo = 0xA0;
      if (lead == 0xED) hi = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) lo = 0x90;
      if (lead == 0xF4) hi = 0x8F;
    } else {
      return shape;
    }
    for (std::size_t k = 1; k < length; ++k) {
      if (i + k >= size) {  // cut off by the end
        shape.valid = true;
        return shape;
      }
      const std::uint8_t b = p[i + k];
      if (k == 1 ? (b < lo || b > hi) : (b & 0xC0) != 0x80) return shape;
    }
    ++shape.multiByte;
    i += length;
  }
  shape.valid = true;
  return shape;
}

bool IsPlausibleUtf16(Bytes bytes, bool little) {
  const std::size_t units = bytes.size() / 2;
  const std::uint8_t* p = bytes.data();
  bool expectLow = false;
  for (std::size_t u = 0; u < units; ++u) {
    const std::uint16_t unit = little ? static_cast<std::uint16_t>(p[2 * u] | p[2 * u + 1] << 8)
                                      : static_cast<std::uint16_t>(p[2 * u] << 8 | p[2 * u + 1]);
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (expectLow != low) return false;
    if (unit >= 0xFFFE) return false;
    expectLow = high;
  }
  return true;  // a high surrogate at the end waits for its partner
}

}  // namespace corvane::detection
