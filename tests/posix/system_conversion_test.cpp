// The POSIX backend's system conversion through glibc's iconv, as the library's system road sees
// it: which code pages it takes, both directions with Windows' outcomes for flags 0, and sizes.
// Expected characters come from the published mappings (Python's `encodings` carries them), not
// from iconv. Built without system conversion, every answer is 0.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/platform.h"
#include "tests/support/hex.h"

namespace corvane {
namespace {

using platform::MultiByteToWideChar;
using platform::WideCharToMultiByte;

// Each conversion runs three times: the capacity-0 size query, a destination one place short
// (which must fail whole and write nothing past it), and a destination of exactly the size the
// query gave. The source is the whole vector, or nul-terminated (length -1); nullopt when the
// size query fails.
std::optional<Units> Decode(std::uint32_t cp, const Bytes& src, bool nul = false) {
  const auto len = nul ? -1 : static_cast<std::int32_t>(src.size());
  const std::int32_t n = MultiByteToWideChar(cp, 0, src.data(), len, nullptr, 0);
  if (n <= 0) return std::nullopt;
  Units units(static_cast<std::size_t>(n), 0xA5A5);
  EXPECT_EQ(n > 1 ? MultiByteToWideChar(cp, 0, src.data(), len, units.data(), n - 1) : 0, 0);
  EXPECT_EQ(units.back(), 0xA5A5) << "written past the destination";
  EXPECT_EQ(MultiByteToWideChar(cp, 0, src.data(), len, units.data(), n), n);
  return units;
}

std::optional<Bytes> Encode(std::uint32_t cp, const Units& src, bool nul = false,
                            const char* def = nullptr, std::int32_t* used = nullptr) {
  const auto len = nul ? -1 : static_cast<std::int32_t>(src.size());
  const std::int32_t n = WideCharToMultiByte(cp, 0, src.data(), len, nullptr, 0, def, nullptr);
  if (n <= 0) return std::nullopt;
  Bytes bytes(static_cast<std::size_t>(n), 0xA5);
  const std::int32_t m = n - 1;  // one byte short; 0 would be a size query
  EXPECT_EQ(m > 0 ? WideCharToMultiByte(cp, 0, src.data(), len, bytes.data(), m, def, used) : 0, 0);
  EXPECT_EQ(bytes.back(), 0xA5) << "written past the destination";
  EXPECT_EQ(WideCharToMultiByte(cp, 0, src.data(), len, bytes.data(), n, def, used), n);
  return bytes;
}

#ifndef CORVANE_SYSTEM_CONVERSION
#define CORVANE_SYSTEM_CONVERSION 0  // a build without system conversion converts nothing
#endif

TEST(SystemCodePages, TakesExactlyWhatIconvConvertsFaithfully) {
  // 3 is a request, not a code page; glibc composes 1255's Hebrew into presentation forms, its
  // MACINTOSH differs from Mac OS Roman (10000) at 0xC6 and 0xF0, its ISO-2022-JP lacks Windows'
  // 932 mappings (50220), and its UTF-7 rejects control bytes (65000); the rest are the
  // library's own numbers (2022, 51932 and 65001 it converts itself) or none at all.
  // clang-format off
  const std::vector<std::uint32_t> taken = {437, 850, 874, 932, 936, 949, 950, 1200, 1201, 1252,
      1258, 10007, 10029, 12000, 20866, 28605, 54936};
  // clang-format on
  const std::vector<std::uint32_t> refused = {3,    1255,  10000, 50220, 65000,
                                              2022, 51932, 65001, 88591, 99999};
  for (const bool listed : {true, false}) {
    for (const std::uint32_t codePage : listed ? taken : refused) {
      const bool converts = listed && CORVANE_SYSTEM_CONVERSION;
      EXPECT_EQ(platform::IsValidCodePage(codePage), converts) << codePage;
      EXPECT_EQ(Decode(codePage, {0x41, 0x42}).has_value(), converts) << codePage;
      EXPECT_EQ(Encode(codePage, {0x41, 0x42}).has_value(), converts) << codePage;
    }
  }
}

#if CORVANE_SYSTEM_CONVERSION

// kNul: length -1; kUsed: the encoding sets the default-used flag.
enum Way { kDecodes = 1, kEncodes = 2, kBoth = 3, kNul = 4, kUsed = 8 };

// Each round trip tells the iconv charset chosen for its code page from its near relatives; it
// runs long, through many rounds of the size query's scratch buffer with characters straddling
// its every boundary.
TEST(SystemConversion, ConvertsAsWindowsDoesWithFlagsZero) {
  // Code page, bytes, units, what is tested, the caller's default character, why.
  // clang-format off
  const std::tuple<unsigned, const char*, const char*, int, const char*, const char*> rows[] = {
      {1258, "C3 80 61", "0102 20AC 0061", kBoth, nullptr, "Vietnamese; a letter held back"},
      {932, "87 40 81 60 B1", "2460 FF5E FF71", kBoth, nullptr, "NEC row 13, ~"},
      {936, "B0 A1 80", "554A 20AC", kBoth, nullptr, "GBK with Microsoft's euro sign"},
      {949, "B0 A1 81 41", "AC00 AC02", kBoth, nullptr, "a UHC extension syllable"},
      {950, "A3 E1 A1 45", "20AC 2027", kBoth, nullptr, "Big5 as Microsoft maps it"},
      {54936, "90 30 81 30", "D800 DC00", kBoth, nullptr, "GB18030's four-byte form"},
      {12000, "00 00 01 00", "D800 DC00", kBoth, nullptr, "UTF-32LE"},
      {932, "41 82", "0041 FFFD", kDecodes, nullptr, "lead byte cut off by the end"},
      {932, "82 41", "FFFD 0041", kDecodes, nullptr, "an ASCII byte after a lead byte is kept"},
      {932, "85 9F 82 A0", "FFFD 3042", kDecodes, nullptr, "an unassigned pair is one"},
      {1200, "41 00 42", "0041 FFFD", kDecodes, nullptr, "an odd byte at the end"},
      {1252, "41 E9 00 43", "0041 00E9 0000", kDecodes | kNul, nullptr, "ends at 0, which counts"},
      {1200, "41 00 00 00 43 00", "0041", kDecodes | kNul, nullptr, "ends at the first 0 byte"},
      {1200, "41 00 00 00", "0041 0000 0043", kEncodes | kNul, nullptr, "a 0 unit: two 0 bytes"},
      {1200, "41 00 FD FF", "0041 D800", kEncodes, nullptr, "a high surrogate at the end: U+FFFD"},
      {1201, "00 41 FF FD", "0041 DBFF", kEncodes, nullptr, "the same, big-endian"},
      {1252, "41 3F", "0041 4E00", kEncodes | kUsed, nullptr, "'?' when no default is given"},
      {1252, "2A 41", "D83D DE00 0041", kEncodes | kUsed, "*", "a pair is one character"},
      {1251, "41 78", "0041 00E9", kEncodes | kUsed, "xy", "the first character of the default"},
      {932, "81 48", "00E9", kEncodes | kUsed, "\x81\x48", "a double-byte default character"},
  };
  // clang-format on
  for (const auto& [codePage, hexBytes, hexUnits, way, def, why] : rows) {
    SCOPED_TRACE(std::to_string(codePage) + ": " + why);
    std::string manyBytes, manyUnits;
    for (int copy = 0; copy < (way == kBoth ? 3000 : 1); ++copy) {
      manyBytes.append(hexBytes).append(" ");
      manyUnits.append(hexUnits).append(" ");
    }
    const Bytes bytes = B(manyBytes.c_str());
    const Units units = U(manyUnits.c_str());
    // A direction not tested stands in its expected result.
    EXPECT_EQ(way & kDecodes ? Decode(codePage, bytes, way & kNul) : units, units);
    std::int32_t used = (way & kUsed) != 0;
    EXPECT_EQ(way & kEncodes ? Encode(codePage, units, way & kNul, def, &used) : bytes, bytes);
    EXPECT_EQ(used, (way & kUsed) != 0) << "the default-used flag";
  }
}

TEST(SystemConversion, CodePageZeroIsTheAnsiCodePage) {
  const std::string previous = getenv("LC_ALL") != nullptr ? getenv("LC_ALL") : "";
  setenv("LC_ALL", "ja_JP.UTF-8", 1);
  EXPECT_EQ(Decode(0, {0x82, 0xA0}), (Units{0x3042}));
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(Decode(0, {0x82, 0xA0}), (Units{0x201A, 0x00A0}));
  setenv("LC_ALL", previous.c_str(), 1);  // an empty LC_ALL counts as unset
}

#endif

}  // namespace
}  // namespace corvane
