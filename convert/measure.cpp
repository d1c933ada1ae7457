#include "convert/measure.h"

#include "japanese/byte_classes.h"
#include "utf8/utf8_codec.h"

namespace corvane {
namespace {

// Every counter ends alike: the terminator is one more character, and the bytes that formed
// whole characters go to the caller.
std::int32_t FinishCount(ByteText text, std::size_t characters, std::size_t read,
                         std::int32_t* consumed) {
  if (consumed != nullptr) *consumed = static_cast<std::int32_t>(read);
  return static_cast<std::int32_t>(text.terminated ? characters + 1 : characters);
}

constexpr std::uint8_t kEsc = 0x1B;

}  // namespace

std::int32_t CountDbcsCharacters(ByteText text, const LeadByteMap& leads, std::int32_t* consumed) {
  std::size_t characters = 0;
  std::size_t i = 0;
  while (i < text.size) {
    if (leads[text[i]] != 0) {
      // A lead byte with nothing behind it is not a character yet.
      if (text.size - i < 2) break;
      i += 2;
    } else {
      i += 1;
    }
    ++characters;
  }
  return FinishCount(text, characters, i, consumed);
}

std::int32_t CountIso2022JpCharacters(ByteText text, std::int32_t* consumed) {
  JisShiftState mode = kJisSingleByte;
  std::size_t characters = 0;
  std::size_t i = 0;
  while (i < text.size) {
    const std::uint8_t b = text[i];
    if (b == kEsc) {
      // An escape sequence cut off by the end is left whole for the next piece.
      if (text.size - i < 2) break;
      const auto length = 2 + static_cast<std::size_t>(ParseJisEscape(text[i + 1], mode));
      if (text.size - i < length) break;
      i += length;
      continue;
    }
    if (b == 0x0A || b == 0x0D) {
      mode = kJisSingleByte;
      i += 1;
    } else if (mode == kJisTwoByte) {
      if (text.size - i < 2) break;
      i += 2;
    } else {
      i += 1;
    }
    ++characters;
  }
  return FinishCount(text, characters, i, consumed);
}

std::int32_t MeasureEncodedString(const Road& road, ByteText text, std::int32_t* consumed) {
  switch (road.counting) {
    case CountRule::kPairs:
      return CountDbcsCharacters(text, *road.countLeads, consumed);
    case CountRule::kJisCharacters:
      return CountIso2022JpCharacters(text, consumed);
    case CountRule::kUtf8:
      return Utf8ToUcs2(text, {}, consumed);
    case CountRule::kBytes:
      break;
  }
  return FinishCount(text, text.size, text.size, consumed);
}

}  // namespace corvane
