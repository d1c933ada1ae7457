// corvane::detect: the cheap certainties first (a byte order mark, seven-bit text, UTF-16's zero
// bytes, valid UTF-8), then the Japanese rules of the C interface.
#include <cstring>

#include "corvane.hpp"
#include "detect/unicode_forms.h"
#include "japanese/auto_detect.h"

namespace corvane {
namespace {

using detection::Bytes;

Detection Sure(const char* name, double confidence = 1.0) {
  return {Encoding(name), confidence, true};
}

// ESC $ or ESC ( opens every designation ISO-2022-JP uses; any other escape is a terminal's.
bool HasJisEscape(Bytes bytes) {
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
    if (bytes[i] == 0x1B && (bytes[i + 1] == '$' || bytes[i + 1] == '(')) return true;
  return false;
}

bool AllSevenBit(Bytes bytes) {
  std::size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + i, 8);
    if (word & 0x8080808080808080u) return false;
  }
  for (; i < bytes.size(); ++i)
    if (bytes[i] >= 0x80) return false;
  return true;
}

}  // namespace

Detection detect(std::span<const std::uint8_t> bytes) {
  if (const char* marked = detection::MarkedEncoding(bytes)) return Sure(marked);

  // No byte encoding puts a zero byte in text; UTF-16 does in every Latin character.
  std::size_t zerosEven = 0, zerosOdd = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i)
    if (bytes[i] == 0) ++(i % 2 ? zerosOdd : zerosEven);
  if (zerosEven + zerosOdd > 0) {
    const bool little = zerosOdd >= zerosEven;
    if (detection::IsPlausibleUtf16(bytes, little)) return Sure(little ? "UTF-16LE" : "UTF-16BE");
  }

  if (AllSevenBit(bytes)) return HasJisEscape(bytes) ? Sure("ISO-2022-JP") : Sure("US-ASCII");

  const detection::Utf8Shape utf8 = detection::ExamineUtf8(bytes);
  if (utf8.valid) return Sure("UTF-8", utf8.multiByte > 1 ? 1.0 : 0.9);

  std::uint32_t confident = 0;
  const std::uint32_t japanese =
      DetectJapaneseEncoding(ByteText{bytes.data(), bytes.size(), false}, confident);
  if (confident && japanese != 2022) return {Encoding(japanese), 0.5, false};
  return {Encoding("windows-1252"), 0.1, false};
}

Detection detect(std::string_view bytes) {
  return detect(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

}  // namespace corvane
