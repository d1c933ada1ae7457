// The POSIX backend's system conversion through glibc's iconv, as the library's system road sees
// it: which code pages it takes, both directions with Windows' outcomes for flags 0, and sizes.
// Expected characters come from the published mappings (Python's `encodings` carries them), not
// from iconv. Built without system conversion, every answer is 0.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace corvane {
namespace {

using platform::MultiByteToWideChar;
using platform::WideCharToMultiByte;
using Units = std::vector<Utf16Unit>;
using Bytes = std::vector<std::uint8_t>;

std::int32_t Size(const auto& v) {
  return static_cast<std::int32_t>(v.size());
}

template <typename Text>
Text Repeated(const Text& piece, int copies) {
  Text text;
  for (int i = 0; i < copies; ++i)
    text.insert(text.end(), piece.begin(), piece.end());
  return text;
}

// Converts into a destination of exactly the size that a capacity-0 call asked for, and checks
// that the two agree; nullopt when the size query fails.
std::optional<Units> Decode(std::uint32_t cp, const Bytes& src, std::int32_t len) {
  const std::int32_t n = MultiByteToWideChar(cp, 0, src.data(), len, nullptr, 0);
  if (n <= 0) return std::nullopt;
  Units units(static_cast<std::size_t>(n));
  EXPECT_EQ(MultiByteToWideChar(cp, 0, src.data(), len, units.data(), n), n);
  return units;
}

std::optional<Bytes> Encode(std::uint32_t cp, const Units& src, std::int32_t len,
                            const char* def = nullptr, std::int32_t* used = nullptr) {
  const std::int32_t n = WideCharToMultiByte(cp, 0, src.data(), len, nullptr, 0, def, nullptr);
  if (n <= 0) return std::nullopt;
  Bytes bytes(static_cast<std::size_t>(n));
  EXPECT_EQ(WideCharToMultiByte(cp, 0, src.data(), len, bytes.data(), n, def, used), n);
  return bytes;
}

const std::uint32_t kSystemCodePages[] = {437,   850,   874,   932,   936,   949,   950,
                                          1200,  1201,  1252,  1258,  10007, 10029, 12000,
                                          20866, 28605, 51932, 54936, 65001};
// 3 is a request, not a code page; glibc composes 1255's Hebrew into presentation forms, its
// MACINTOSH differs from Mac OS Roman (10000) at 0xC6 and 0xF0, its ISO-2022-JP lacks Windows'
// 932 mappings (50220), and its UTF-7 rejects control bytes (65000); the rest are the library's
// own numbers or none at all.
const std::uint32_t kNotSystemCodePages[] = {3, 1255, 10000, 50220, 65000, 2022, 88591, 99999};

#if CORVANE_SYSTEM_CONVERSION
constexpr bool kSystemConverts = true;
#else
constexpr bool kSystemConverts = false;  // a build without system conversion converts nothing
#endif

TEST(SystemCodePages, TakesExactlyWhatIconvConvertsFaithfully) {
  for (const std::uint32_t codePage : kSystemCodePages) {
    EXPECT_EQ(platform::IsValidCodePage(codePage), kSystemConverts) << codePage;
    EXPECT_EQ(Decode(codePage, {0x41, 0x42}, 2).has_value(), kSystemConverts) << codePage;
    EXPECT_EQ(Encode(codePage, {0x41, 0x42}, 2).has_value(), kSystemConverts) << codePage;
  }
  for (const std::uint32_t codePage : kNotSystemCodePages) {
    EXPECT_FALSE(platform::IsValidCodePage(codePage)) << codePage;
    EXPECT_EQ(Decode(codePage, {0x41, 0x42}, 2), std::nullopt) << codePage;
    EXPECT_EQ(Encode(codePage, {0x41, 0x42}, 2), std::nullopt) << codePage;
  }
}

#if CORVANE_SYSTEM_CONVERSION

enum Way { kDecodes = 1, kEncodes = 2, kBoth = 3 };

// Each round trip tells the iconv charset chosen for its code page from its near relatives; it
// runs long, through many rounds of the size query's scratch buffer with characters straddling
// its every boundary. A destination one unit or byte short fails whole and writes nothing past.
TEST(SystemConversion, ConvertsAsWindowsDoesWithFlagsZero) {
  const struct {
    std::uint32_t codePage;
    Bytes bytes;
    Units units;
    Way way;
    const char* why;
    const char* defaultChar = nullptr;
    std::int32_t used = 0;  // the default-used flag the encoding sets
  } rows[] = {
      {1252, {0x80, 0xE9}, {0x20AC, 0xE9}, kBoth, "euro sign at 0x80"},
      {1258, {0xC3, 0x61}, {0x0102, 0x61}, kBoth, "Vietnamese; the held-back letter comes out"},
      {932, {0x87, 0x40, 0x81, 0x60, 0xB1}, {0x2460, 0xFF5E, 0xFF71}, kBoth, "NEC row 13, ~"},
      {936, {0xB0, 0xA1, 0x80}, {0x554A, 0x20AC}, kBoth, "GBK with Microsoft's euro sign"},
      {949, {0xB0, 0xA1, 0x81, 0x41}, {0xAC00, 0xAC02}, kBoth, "a UHC extension syllable"},
      {950, {0xA3, 0xE1, 0xA1, 0x45}, {0x20AC, 0x2027}, kBoth, "Big5 as Microsoft maps it"},
      {54936, {0x90, 0x30, 0x81, 0x30}, {0xD800, 0xDC00}, kBoth, "GB18030's four-byte form"},
      {65001, {0xE2, 0x82, 0xAC, 0xF0, 0x9F, 0x98, 0x80}, {0x20AC, 0xD83D, 0xDE00}, kBoth, "UTF-8"},
      {12000, {0x00, 0x00, 0x01, 0x00}, {0xD800, 0xDC00}, kBoth, "UTF-32LE"},
      {51932, {0xA1, 0xC1, 0x8E, 0xB1}, {0xFF5E, 0xFF71}, kBoth, "EUC-JP as Windows' 932 has it"},
      {932, {0x41, 0x82}, {0x41, 0xFFFD}, kDecodes, "lead byte cut off by the end"},
      {932, {0x82, 0x41}, {0xFFFD, 0x41}, kDecodes, "an ASCII byte after a lead byte is kept"},
      {932, {0x85, 0x9F, 0x82, 0xA0}, {0xFFFD, 0x3042}, kDecodes, "an unassigned pair is one"},
      {65001, {0xE3, 0x81, 0x41}, {0xFFFD, 0x41}, kDecodes, "maximal subpart of a cut sequence"},
      {1200, {0x41, 0x00, 0x42}, {0x41, 0xFFFD}, kDecodes, "an odd byte at the end"},
      {12000, {0x41, 0, 0, 0, 0, 0, 0x11, 0}, {0x41, 0xFFFD}, kDecodes, "beyond U+10FFFF"},
      {1252, {0x41, '?'}, {0x41, 0x4E00}, kEncodes, "'?' when no default is given", nullptr, 1},
      {1252, {0x41, '*'}, {0x41, 0x4E00}, kEncodes, "the caller's default character", "*", 1},
      {1252, {0x41, 0x42}, {0x41, 0x42}, kEncodes, "given but not needed", "*", 0},
      {1252, {'*', 0x41}, {0xD83D, 0xDE00, 0x41}, kEncodes, "a pair is one character", "*", 1},
      {1251, {0x41, 'x'}, {0x41, 0xE9}, kEncodes, "the first character of the default", "xy", 1},
      {932, {0x81, 0x48}, {0xE9}, kEncodes, "a double-byte default character", "\x81\x48", 1},
      {65001, {0xEF, 0xBF, 0xBD}, {0xD800}, kEncodes, "UTF-8 writes U+FFFD, no default", "*", 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.codePage) + ": " + row.why);
    const int copies = row.way == kBoth ? 3000 : 1;
    const Bytes bytes = Repeated(row.bytes, copies);
    const Units units = Repeated(row.units, copies);
    if (row.way & kDecodes) {
      EXPECT_EQ(Decode(row.codePage, bytes, Size(bytes)), units);
      Units out(units.size(), 0xA5A5);
      EXPECT_EQ(MultiByteToWideChar(row.codePage, 0, bytes.data(), Size(bytes), out.data(),
                                    Size(out) - 1),
                0);
      EXPECT_EQ(out.back(), 0xA5A5) << "written past the destination";
    }
    if (row.way & kEncodes) {
      std::int32_t used = -1;
      EXPECT_EQ(Encode(row.codePage, units, Size(units), row.defaultChar, &used), bytes);
      EXPECT_EQ(used, row.used);
      Bytes out(bytes.size(), 0xA5);
      EXPECT_EQ(WideCharToMultiByte(row.codePage, 0, units.data(), Size(units), out.data(),
                                    Size(out) - 1, row.defaultChar, nullptr),
                0);
      EXPECT_EQ(out.back(), 0xA5) << "written past the destination";
    }
  }
}

TEST(SystemConversion, MinusOneLengthConvertsAndCountsTheTerminator) {
  const Units units = {0x41, 0xE9, 0, 0x43};
  EXPECT_EQ(Decode(1252, {0x41, 0xE9, 0, 0x43}, -1), (Units{0x41, 0xE9, 0}));
  EXPECT_EQ(Encode(1252, units, -1), (Bytes{0x41, 0xE9, 0}));
  // UTF-16 text ends at its first 0 unit, not at the first 0 byte.
  EXPECT_EQ(Decode(1200, {0x41, 0, 0xE9, 0, 0, 0, 0x43, 0}, -1), (Units{0x41, 0xE9, 0}));
  EXPECT_EQ(Encode(1200, units, -1), (Bytes{0x41, 0, 0xE9, 0, 0, 0}));
}

TEST(SystemConversion, CodePageZeroIsTheAnsiCodePage) {
  const char* saved = getenv("LC_ALL");
  const std::string previous = saved != nullptr ? saved : "";
  setenv("LC_ALL", "ja_JP.UTF-8", 1);
  EXPECT_EQ(Decode(0, {0x82, 0xA0}, 2), (Units{0x3042}));
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(Decode(0, {0x82, 0xA0}, 2), (Units{0x201A, 0x00A0}));
  setenv("LC_ALL", previous.c_str(), 1);  // an empty LC_ALL counts as unset
}

#endif

}  // namespace
}  // namespace corvane
