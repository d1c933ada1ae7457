// Japanese auto-detection through the exported entry point.
#include <gtest/gtest.h>

#include <vector>

#include "corvane.h"

namespace {

struct Row {
  std::vector<std::uint8_t> bytes;
  std::int32_t length;  // -1: the bytes carry their own terminator
  std::uint32_t codePage;
  std::uint32_t confident;
  const char* why;
};

TEST(JapaneseAutoDetect, Rows) {
  const Row rows[] = {
      {{}, 0, 2022, 0, "empty counted text"},
      {{0x00}, -1, 2022, 0, "empty nul-terminated text"},
      {{'a', 'b', 'c', 0}, -1, 2022, 0, "ASCII only: the default"},
      {{0x1B, '$', 'B', 0}, -1, 2022, 1, "ESC first decides ISO-2022-JP"},
      {{0x82, 0xA0}, 2, 932, 1, "a pair only Shift_JIS accepts"},
      {{0xA4, 0xA2}, 2, 51932, 1, "a pair only EUC-JP accepts"},
      {{0xE0, 0xA1, 0x82, 0xA0}, 4, 51932, 0, "both accept the first pair; nothing decides later"},
      {{0xE0, 0xA1, 0x1B}, 3, 51932, 1, "ESC after an ambiguous pair"},
      {{0xB1, 0x41}, 2, 2022, 0, "katakana byte then ASCII: neither test passes"},
      {{0x80, 0xA4, 0xA2}, 3, 51932, 1, "0x80 is passed over as a single byte"},
      {{0x81, 0x40}, 2, 932, 1, "but 0x81 is the first Shift_JIS lead"},
      {{0x82}, 1, 2022, 0, "a high byte with no second byte"},
      {{0x82, 0x00}, -1, 2022, 0, "the terminator is no second byte"},
      {{0x82, 0xA0, 0x00}, 1, 2022, 0, "the length cuts the pair"},
      {{'x', 0x00, 0x82, 0xA0}, 4, 932, 1, "counted text reads past a 0 byte"},
      {{'x', 0x00, 0x82, 0xA0}, -1, 2022, 0, "nul-terminated text stops at it"},
      {{0x82, 0xA0}, -3, 2022, 0, "a negative count is an empty text"},
      {{0xA1, 0x41, 0x8E, 0xB1, 0xA4, 0xA2}, 6, 932, 1, "the first pair that one side takes wins"},
  };
  for (const Row& r : rows) {
    std::uint32_t confident = 99;
    const std::uint8_t* bytes = r.bytes.empty() ? nullptr : r.bytes.data();
    if (bytes == nullptr && r.length == 0) {
      static const std::uint8_t nothing = 0xFF;
      bytes = &nothing;  // must not be read
    }
    EXPECT_EQ(CV_JapaneseAutoDetect(bytes, r.length, &confident), r.codePage) << r.why;
    EXPECT_EQ(confident, r.confident) << r.why;
  }
}

}  // namespace
