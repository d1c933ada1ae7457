#include "convert/measure.h"

#include <cstddef>

#include "japanese/byte_classes.h"
#include "utf8/utf8_codec.h"

namespace corvane {
namespace {

// The byte string with its length mode settled once: in nul mode `length` is unused.
struct ByteString {
  const std::uint8_t* bytes;
  std::size_t length;
  bool nulMode;

  // In nul mode this reads bytes[i], so i may pass a byte only once that byte is known not to
  // be 0.
  bool EndsAt(std::size_t i) const { return nulMode ? bytes[i] == 0 : i >= length; }
};

ByteString SettleLength(const std::uint8_t* bytes, std::int32_t length) {
  return {bytes, length < 0 ? 0 : static_cast<std::size_t>(length), length == -1};
}

// Both counters end alike: the terminator of nul mode is one more character, and the bytes that
// formed whole characters go to the caller.
std::int32_t FinishCount(const ByteString& text, std::size_t characters, std::size_t read,
                         std::int32_t* consumed) {
  if (consumed != nullptr) *consumed = static_cast<std::int32_t>(read);
  return static_cast<std::int32_t>(text.nulMode ? characters + 1 : characters);
}

constexpr std::uint8_t kEsc = 0x1B;

}  // namespace

std::int32_t CountDbcsCharacters(const std::uint8_t* bytes, std::uint32_t codePage,
                                 std::int32_t length, std::int32_t* consumed) {
  const ByteString text = SettleLength(bytes, length);
  std::size_t characters = 0;
  std::size_t i = 0;
  while (!text.EndsAt(i)) {
    if (IsDbcsLeadByte(bytes[i], codePage) == 1) {
      // A lead byte with nothing behind it is not a character yet.
      if (text.EndsAt(i + 1)) break;
      i += 2;
    } else {
      i += 1;
    }
    ++characters;
  }
  return FinishCount(text, characters, i, consumed);
}

std::int32_t CountIso2022JpCharacters(const std::uint8_t* bytes, std::uint32_t /*codePage*/,
                                      std::int32_t length, std::int32_t* consumed) {
  const ByteString text = SettleLength(bytes, length);
  JisShiftState mode = kJisSingleByte;
  std::size_t characters = 0;
  std::size_t i = 0;
  while (!text.EndsAt(i)) {
    const std::uint8_t b = bytes[i];
    if (b == kEsc) {
      // An escape sequence cut off by the end is left whole for the next piece.
      const std::size_t start = i;
      i += 1;
      if (text.EndsAt(i)) {
        i = start;
        break;
      }
      i += static_cast<std::size_t>(ParseJisEscape(bytes[i], mode));
      if (text.EndsAt(i)) {
        i = start;
        break;
      }
      i += 1;
      continue;
    }
    if (b == 0x0A || b == 0x0D) {
      mode = kJisSingleByte;
      i += 1;
    } else if (mode == kJisTwoByte) {
      if (text.EndsAt(i + 1)) break;
      i += 2;
    } else {
      i += 1;
    }
    ++characters;
  }
  return FinishCount(text, characters, i, consumed);
}

std::int32_t MeasureEncodedString(const std::uint8_t* bytes, std::uint32_t codePage,
                                  std::int32_t length, std::int32_t* consumed) {
  if (consumed != nullptr) *consumed = -1;
  // The decoder answers a null pointer with -1 itself; elsewhere a null pointer (an empty
  // vector's, say) is read as nothing at all, like a negative count.
  if (codePage == 65001) return Utf8ToUcs2(bytes, length, nullptr, 0, consumed);
  if (bytes == nullptr) length = 0;
  switch (codePage) {
    case 932:
    case 936:
    case 949:
    case 950:
    case 51932:
    case 51936:
      return CountDbcsCharacters(bytes, codePage, length, consumed);
    case 2022:
      return CountIso2022JpCharacters(bytes, codePage, length, consumed);
    default:
      break;
  }
  // Every other number, pseudo code pages included, is one byte per character.
  const ByteString text = SettleLength(bytes, length);
  std::size_t i = 0;
  if (text.nulMode) {
    while (bytes[i] != 0)
      ++i;
  } else {
    i = text.length;
  }
  return FinishCount(text, i, i, consumed);
}

}  // namespace corvane
