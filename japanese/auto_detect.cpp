#include "japanese/auto_detect.h"

#include "japanese/byte_classes.h"

namespace corvane {

std::uint32_t DetectJapaneseEncoding(const std::uint8_t* bytes, std::int32_t length,
                                     std::uint32_t& confident) {
  confident = 0;
  std::uint32_t guess = 2022;
  bool sjisSeen = false;
  bool eucSeen = false;
  const bool nulMode = length == -1;
  // The end test of the scan; the pair tests below never read past it.
  const auto atEnd = [&](std::int32_t i) { return nulMode ? bytes[i] == 0 : i >= length; };

  std::int32_t i = 0;
  while (!atEnd(i)) {
    const std::uint8_t b = bytes[i];
    if (b == 0x1B) {
      confident = 1;
      return guess;
    }
    if (b <= 0x80) {
      ++i;
      continue;
    }
    // A high byte with nothing after it has no pair: in nul mode the terminator stands in as the
    // second byte (and fails both tests), in counted mode the scan simply ends.
    if (!nulMode && i + 1 >= length) break;
    const std::uint8_t* pair = bytes + i;
    if (IsSjisPair(pair)) sjisSeen = true;
    if (IsEucJpPair(pair)) eucSeen = true;
    if (sjisSeen != eucSeen) {
      confident = 1;
      return sjisSeen ? 932u : 51932u;
    }
    if (sjisSeen) guess = 51932;  // both seen: no later pair can decide
    if (nulMode && bytes[i + 1] == 0) break;
    i += 2;
  }
  return guess;
}

}  // namespace corvane
