#include "japanese/auto_detect.h"

#include "japanese/byte_classes.h"

namespace corvane {

std::uint32_t DetectJapaneseEncoding(ByteText bytes, std::uint32_t& confident) {
  confident = 0;
  std::uint32_t guess = 2022;
  bool sjisSeen = false;
  bool eucSeen = false;
  for (std::size_t i = 0; i < bytes.size;) {
    const std::uint8_t b = bytes[i];
    if (b == 0x1B) {
      confident = 1;
      return guess;
    }
    if (b <= 0x80) {
      ++i;
      continue;
    }
    // A high byte with nothing after it has no pair; a terminator after it would fail both
    // tests, so the scan ends here either way.
    if (bytes.size - i < 2) break;
    const std::uint8_t* pair = bytes.data + i;
    if (IsSjisPair(pair)) sjisSeen = true;
    if (IsEucJpPair(pair)) eucSeen = true;
    if (sjisSeen != eucSeen) {
      confident = 1;
      return sjisSeen ? 932u : 51932u;
    }
    if (sjisSeen) guess = 51932;  // both seen: no later pair can decide
    i += 2;
  }
  return guess;
}

}  // namespace corvane
