// The POSIX backend's system conversion through glibc's iconv, as the library's system road sees
// it: which code pages it takes, both directions with Windows' outcomes for flags 0, and sizes.
// Expected characters come from the published mappings (Python's `encodings` carries them), not
// from iconv. Built without system conversion, every answer is 0.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/platform.h"

namespace corvane {
namespace {

using Units = std::vector<Utf16Unit>;
using Bytes = std::vector<std::uint8_t>;

Bytes FromHex(std::string_view hex) {
  Bytes bytes;
  for (std::size_t i = 0; i + 1 < hex.size();) {
    if (hex[i] == ' ') {
      ++i;
      continue;
    }
    bytes.push_back(
        static_cast<std::uint8_t>(std::stoul(std::string(hex.substr(i, 2)), nullptr, 16)));
    i += 2;
  }
  return bytes;
}

std::int32_t Size(const auto& v) {
  return static_cast<std::int32_t>(v.size());
}

// Decodes with a destination of exactly the size that a capacity-0 call asked for, and checks
// that the two agree.
std::optional<Units> Decode(std::uint32_t codePage, const Bytes& bytes, std::int32_t srcLen) {
  const std::int32_t needed =
      platform::MultiByteToWideChar(codePage, 0, bytes.data(), srcLen, nullptr, 0);
  if (needed <= 0) return std::nullopt;
  Units units(static_cast<std::size_t>(needed));
  const std::int32_t written =
      platform::MultiByteToWideChar(codePage, 0, bytes.data(), srcLen, units.data(), needed);
  EXPECT_EQ(written, needed) << "size query and conversion disagree, code page " << codePage;
  return units;
}

std::optional<Bytes> Encode(std::uint32_t codePage, const Units& units, std::int32_t srcLen,
                            const char* defaultChar = nullptr,
                            std::int32_t* defaultUsed = nullptr) {
  const std::int32_t needed = platform::WideCharToMultiByte(codePage, 0, units.data(), srcLen,
                                                            nullptr, 0, defaultChar, nullptr);
  if (needed <= 0) return std::nullopt;
  Bytes bytes(static_cast<std::size_t>(needed));
  const std::int32_t written = platform::WideCharToMultiByte(
      codePage, 0, units.data(), srcLen, bytes.data(), needed, defaultChar, defaultUsed);
  EXPECT_EQ(written, needed) << "size query and conversion disagree, code page " << codePage;
  return bytes;
}

// Code pages the backend hands to iconv, and some it must not.
constexpr std::uint32_t kSystemCodePages[] = {
    437,   850,   866,   874,   932,   936,   949,   950,   1200,  1201,  1250,
    1251,  1252,  1253,  1254,  1256,  1257,  1258,  10007, 10029, 12000, 20127,
    20866, 21866, 28591, 28597, 28605, 51932, 51949, 54936, 65001};
constexpr std::uint32_t kNotSystemCodePages[] = {
    0,                    // the ANSI code page is a request, not a code page
    3,                    // the thread's code page likewise
    1255,                 // glibc composes Hebrew into presentation forms
    10000,                // glibc's MACINTOSH differs from Mac OS Roman at 0xC6 and 0xF0
    10008,                // Windows' Mac Simplified Chinese: not in glibc
    50220,                // glibc's ISO-2022-JP lacks Windows' 932 mappings
    65000,                // glibc's UTF-7 rejects control bytes
    2022,  40850, 88591,  // the library's own numbers
    99999};

#if CORVANE_SYSTEM_CONVERSION

TEST(SystemIsValidCodePage, AnswersForTheCodePagesIconvConvertsFaithfully) {
  for (const std::uint32_t codePage : kSystemCodePages)
    EXPECT_TRUE(platform::IsValidCodePage(codePage)) << codePage;
  for (const std::uint32_t codePage : kNotSystemCodePages)
    EXPECT_FALSE(platform::IsValidCodePage(codePage)) << codePage;
}

struct RoundTripRow {
  std::uint32_t codePage;
  std::string_view bytes;  // hex
  Units units;
  const char* why;
};

const RoundTripRow kRoundTrips[] = {
    {1252, "80 E9 41", {0x20AC, 0x00E9, 0x0041}, "euro sign at 0x80"},
    {1251, "C0 FF", {0x0410, 0x044F}, "Cyrillic"},
    {1250, "8A", {0x0160}, "Central European"},
    {1253, "C1", {0x0391}, "Greek"},
    {1254, "D0", {0x011E}, "Turkish"},
    {1256, "C7", {0x0627}, "Arabic"},
    {1257, "C0", {0x0104}, "Baltic"},
    {1258, "C3 61", {0x0102, 0x0061}, "Vietnamese; the held-back last letter comes out"},
    {874, "A1", {0x0E01}, "Thai"},
    {932, "82 A0 88 9F 41", {0x3042, 0x4E9C, 0x0041}, "Shift_JIS pairs and ASCII"},
    {932, "87 40 81 60 B1", {0x2460, 0xFF5E, 0xFF71}, "NEC row 13, Windows' wave dash, kana"},
    {936, "B0 A1 80", {0x554A, 0x20AC}, "GBK with Microsoft's euro sign"},
    {949, "B0 A1 81 41", {0xAC00, 0xAC02}, "KS X 1001 and a UHC extension syllable"},
    {950, "A4 40 A3 E1 A1 45", {0x4E00, 0x20AC, 0x2027}, "Big5 as Microsoft maps it"},
    {54936, "81 30 81 30 B0 A1 90 30 81 30", {0x0080, 0x554A, 0xD800, 0xDC00}, "GB18030 forms"},
    {65001, "E2 82 AC F0 9F 98 80", {0x20AC, 0xD83D, 0xDE00}, "UTF-8 with a surrogate pair"},
    {1200, "41 00 AC 20", {0x0041, 0x20AC}, "UTF-16LE"},
    {1201, "00 41 20 AC", {0x0041, 0x20AC}, "UTF-16BE"},
    {12000, "00 00 01 00", {0xD800, 0xDC00}, "UTF-32LE"},
    {20866, "C1", {0x0430}, "KOI8-R"},
    {21866, "A4", {0x0454}, "KOI8-U"},
    {28591, "E9", {0x00E9}, "ISO 8859-1"},
    {28597, "C1", {0x0391}, "ISO 8859-7"},
    {28603, "D0", {0x0160}, "ISO 8859-13"},
    {28605, "A4", {0x20AC}, "ISO 8859-15"},
    {437, "B0", {0x2591}, "DOS United States"},
    {850, "82", {0x00E9}, "DOS Western Europe"},
    {858, "D5", {0x20AC}, "DOS Western Europe with euro"},
    {866, "80", {0x0410}, "DOS Cyrillic"},
    {10007, "80", {0x0410}, "Mac Cyrillic"},
    {10029, "80", {0x00C4}, "Mac Central European"},
    {51932, "A4 A2 A1 C1 8E B1", {0x3042, 0xFF5E, 0xFF71}, "EUC-JP as Windows' 932 maps it"},
    {51949, "B0 A1", {0xAC00}, "EUC-KR"},
    {20127, "41", {0x0041}, "ASCII"},
    {37, "C1", {0x0041}, "EBCDIC"},
};

TEST(SystemConversion, RoundTripsThePublishedMappings) {
  for (const RoundTripRow& row : kRoundTrips) {
    const Bytes bytes = FromHex(row.bytes);
    EXPECT_EQ(Decode(row.codePage, bytes, Size(bytes)), row.units)
        << row.codePage << ": " << row.why;
    std::int32_t used = -1;
    EXPECT_EQ(Encode(row.codePage, row.units, Size(row.units), nullptr, &used), bytes)
        << row.codePage << ": " << row.why;
    EXPECT_EQ(used, 0) << row.codePage << ": " << row.why;
  }
}

TEST(SystemConversion, DestinationOneShortFailsWithoutWritingPastIt) {
  constexpr Utf16Unit kGuardUnit = 0xA5A5;
  constexpr std::uint8_t kGuardByte = 0xA5;
  for (const RoundTripRow& row : kRoundTrips) {
    const Bytes bytes = FromHex(row.bytes);
    const std::int32_t shortUnits = Size(row.units) - 1;
    if (shortUnits > 0) {
      Units units(row.units.size() + 4, kGuardUnit);
      EXPECT_EQ(platform::MultiByteToWideChar(row.codePage, 0, bytes.data(), Size(bytes),
                                              units.data(), shortUnits),
                0)
          << row.codePage << ": " << row.why;
      for (std::size_t i = static_cast<std::size_t>(shortUnits); i < units.size(); ++i)
        EXPECT_EQ(units[i], kGuardUnit) << row.codePage << ": unit " << i << " written";
    }
    const std::int32_t shortBytes = Size(bytes) - 1;
    if (shortBytes > 0) {
      Bytes out(bytes.size() + 4, kGuardByte);
      EXPECT_EQ(platform::WideCharToMultiByte(row.codePage, 0, row.units.data(), Size(row.units),
                                              out.data(), shortBytes, nullptr, nullptr),
                0)
          << row.codePage << ": " << row.why;
      for (std::size_t i = static_cast<std::size_t>(shortBytes); i < out.size(); ++i)
        EXPECT_EQ(out[i], kGuardByte) << row.codePage << ": byte " << i << " written";
    }
  }
}

struct DecodeRow {
  std::uint32_t codePage;
  std::string_view bytes;  // hex
  Units units;
  const char* why;
};

TEST(SystemMultiByteToWideChar, InvalidInputBecomesReplacementCharacters) {
  const DecodeRow rows[] = {
      {932, "41 82", {0x0041, 0xFFFD}, "lead byte cut off by the end"},
      {932, "82 41", {0xFFFD, 0x0041}, "an ASCII byte after a lead byte is kept"},
      {932, "85 9F 82 A0", {0xFFFD, 0x3042}, "an unassigned pair is one character"},
      {932, "80", {0xFFFD}, "a byte Shift_JIS does not define"},
      {936, "81 20 B0 A1", {0xFFFD, 0x0020, 0x554A}, "GBK lead byte before a space"},
      {1253, "41 AA 42", {0x0041, 0xFFFD, 0x0042}, "undefined in windows-1253"},
      {20127, "E9", {0xFFFD}, "not ASCII"},
      {65001, "E3 81 41", {0xFFFD, 0x0041}, "maximal subpart of a cut-off sequence"},
      {65001, "ED A0 80", {0xFFFD, 0xFFFD, 0xFFFD}, "an encoded surrogate"},
      {65001, "C0 AF", {0xFFFD, 0xFFFD}, "an overlong form"},
      {65001, "41 F0 9F 98", {0x0041, 0xFFFD}, "a sequence cut off by the end"},
      {1200, "41 00 42", {0x0041, 0xFFFD}, "an odd byte at the end"},
      {1200, "00 D8 41 00", {0xFFFD, 0x0041}, "an unpaired surrogate in UTF-16"},
      {12000, "00 00 11 00", {0xFFFD}, "beyond U+10FFFF in UTF-32"},
  };
  for (const DecodeRow& row : rows) {
    const Bytes bytes = FromHex(row.bytes);
    EXPECT_EQ(Decode(row.codePage, bytes, Size(bytes)), row.units)
        << row.codePage << " " << row.bytes << ": " << row.why;
  }
}

struct EncodeRow {
  std::uint32_t codePage;
  Units units;
  const char* defaultChar;
  std::string_view bytes;  // hex
  std::int32_t defaultUsed;
  const char* why;
};

TEST(SystemWideCharToMultiByte, MissingCharactersBecomeTheDefaultCharacter) {
  const EncodeRow rows[] = {
      {1252, {0x0041, 0x4E00, 0x0042}, nullptr, "41 3F 42", 1, "'?' when none is given"},
      {1252, {0x0041, 0x4E00}, "*", "41 2A", 1, "the caller's default character"},
      {1252, {0x0041}, "*", "41", 0, "given but not needed"},
      {1252, {0xD83D, 0xDE00, 0x0041}, nullptr, "3F 41", 1, "a surrogate pair is one character"},
      {1252, {0xDC00, 0x0041}, nullptr, "3F 41", 1, "an unpaired surrogate"},
      {1252, {0x0041, 0xD800}, nullptr, "41 3F", 1, "a high surrogate cut off by the end"},
      {1251, {0x00E9}, "xy", "78", 1, "only the first character of the default string"},
      {932, {0x00E9}, "\x81\x48", "81 48", 1, "a double-byte default character"},
      {65001, {0xD800, 0x0041}, "*", "EF BF BD 41", 0, "UTF-8 writes U+FFFD, no default"},
      {1200, {0xDC00}, nullptr, "FD FF", 0, "UTF-16 writes U+FFFD, no default"},
  };
  for (const EncodeRow& row : rows) {
    std::int32_t used = -1;
    EXPECT_EQ(Encode(row.codePage, row.units, Size(row.units), row.defaultChar, &used),
              FromHex(row.bytes))
        << row.codePage << ": " << row.why;
    EXPECT_EQ(used, row.defaultUsed) << row.codePage << ": " << row.why;
  }
}

TEST(SystemConversion, MinusOneLengthConvertsAndCountsTheTerminator) {
  const Bytes bytes = FromHex("41 E9 00 43");
  EXPECT_EQ(Decode(1252, bytes, -1), (Units{0x0041, 0x00E9, 0x0000}));
  const Units units = {0x0041, 0x00E9, 0x0000, 0x0043};
  EXPECT_EQ(Encode(1252, units, -1), FromHex("41 E9 00"));
  // UTF-16 text ends at its first 0 unit, not at the first 0 byte.
  const Bytes utf16 = FromHex("41 00 E9 00 00 00 43 00");
  EXPECT_EQ(Decode(1200, utf16, -1), (Units{0x0041, 0x00E9, 0x0000}));
  EXPECT_EQ(Encode(1200, units, -1), FromHex("41 00 E9 00 00 00"));
}

// Long enough for many rounds of the size query's scratch buffer, with characters of three and
// five bytes that straddle every kind of chunk boundary.
TEST(SystemConversion, SizeQueryCountsTextLongerThanAnyScratchBuffer) {
  struct Row {
    std::uint32_t codePage;
    Bytes bytes;
    Units units;
  };
  const Row rows[] = {{932, {0x82, 0xA0, 0x41}, {0x3042, 0x0041}},
                      {65001, {0xF0, 0x9F, 0x98, 0x80, 0x41}, {0xD83D, 0xDE00, 0x0041}}};
  for (const Row& row : rows) {
    Bytes bytes;
    Units units;
    for (int i = 0; i < 5000; ++i) {
      bytes.insert(bytes.end(), row.bytes.begin(), row.bytes.end());
      units.insert(units.end(), row.units.begin(), row.units.end());
    }
    EXPECT_EQ(platform::MultiByteToWideChar(row.codePage, 0, bytes.data(), Size(bytes), nullptr, 0),
              Size(units))
        << row.codePage;
    EXPECT_EQ(platform::WideCharToMultiByte(row.codePage, 0, units.data(), Size(units), nullptr, 0,
                                            nullptr, nullptr),
              Size(bytes))
        << row.codePage;
    EXPECT_EQ(Decode(row.codePage, bytes, Size(bytes)), units) << row.codePage;
  }
}

TEST(SystemConversion, RejectsUnknownCodePagesAndBadArguments) {
  const Bytes bytes = FromHex("41 42");
  const Units units = {0x0041, 0x0042};
  Units wide(4);
  Bytes narrow(4);
  for (const std::uint32_t codePage : kNotSystemCodePages) {
    if (codePage == 0) continue;  // the ANSI code page converts
    EXPECT_EQ(platform::MultiByteToWideChar(codePage, 0, bytes.data(), 2, wide.data(), 4), 0)
        << codePage;
    EXPECT_EQ(platform::MultiByteToWideChar(codePage, 0, bytes.data(), 2, nullptr, 0), 0)
        << codePage;
    EXPECT_EQ(platform::WideCharToMultiByte(codePage, 0, units.data(), 2, narrow.data(), 4, nullptr,
                                            nullptr),
              0)
        << codePage;
  }
  EXPECT_EQ(platform::MultiByteToWideChar(1252, 0, bytes.data(), 0, wide.data(), 4), 0);
  EXPECT_EQ(platform::MultiByteToWideChar(1252, 0, bytes.data(), -2, wide.data(), 4), 0);
  EXPECT_EQ(platform::MultiByteToWideChar(1252, 0, bytes.data(), 2, wide.data(), -1), 0);
  EXPECT_EQ(platform::MultiByteToWideChar(1252, 0, bytes.data(), 2, nullptr, 4), 0);
  EXPECT_EQ(platform::MultiByteToWideChar(1252, 0, nullptr, 2, wide.data(), 4), 0);
  EXPECT_EQ(
      platform::WideCharToMultiByte(1252, 0, units.data(), 0, narrow.data(), 4, nullptr, nullptr),
      0);
  EXPECT_EQ(platform::WideCharToMultiByte(1252, 0, units.data(), 2, nullptr, 4, nullptr, nullptr),
            0);
  EXPECT_EQ(platform::WideCharToMultiByte(1252, 0, nullptr, 2, narrow.data(), 4, nullptr, nullptr),
            0);
}

TEST(SystemConversion, CodePageZeroIsTheAnsiCodePage) {
  const char* saved = getenv("LC_ALL");
  const std::optional<std::string> previous =
      saved ? std::optional<std::string>(saved) : std::nullopt;
  const Bytes bytes = FromHex("82 A0");
  setenv("LC_ALL", "ja_JP.UTF-8", 1);
  EXPECT_EQ(Decode(0, bytes, 2), (Units{0x3042}));
  setenv("LC_ALL", "C", 1);
  EXPECT_EQ(Decode(0, bytes, 2), (Units{0x201A, 0x00A0}));
  if (previous) {
    setenv("LC_ALL", previous->c_str(), 1);
  } else {
    unsetenv("LC_ALL");
  }
}

TEST(SystemConversion, ThreadsConvertAtOnce) {
  Bytes bytes;
  for (int i = 0; i < 200; ++i)
    bytes.insert(bytes.end(), {0x82, 0xA0, 0x88, 0x9F, 0x41, 0x85});
  const std::optional<Units> expected = Decode(932, bytes, Size(bytes));
  ASSERT_TRUE(expected.has_value());
  const std::optional<Bytes> expectedBytes = Encode(932, *expected, Size(*expected));
  std::vector<std::thread> threads;
  std::vector<int> mismatches(4, 0);
  for (std::size_t t = 0; t < mismatches.size(); ++t) {
    threads.emplace_back([&, t] {
      for (int round = 0; round < 50; ++round) {
        if (Decode(932, bytes, Size(bytes)) != expected) ++mismatches[t];
        if (Encode(932, *expected, Size(*expected)) != expectedBytes) ++mismatches[t];
      }
    });
  }
  for (std::thread& thread : threads)
    thread.join();
  for (const int count : mismatches)
    EXPECT_EQ(count, 0);
}

#else  // !CORVANE_SYSTEM_CONVERSION

TEST(SystemConversionOff, NothingIsTheSystemsAndEveryConversionAnswersZero) {
  const Bytes bytes = FromHex("41 42");
  const Units units = {0x0041, 0x0042};
  Units wide(4);
  Bytes narrow(4);
  std::vector<std::uint32_t> codePages(std::begin(kSystemCodePages), std::end(kSystemCodePages));
  codePages.insert(codePages.end(), std::begin(kNotSystemCodePages), std::end(kNotSystemCodePages));
  for (const std::uint32_t codePage : codePages) {
    EXPECT_FALSE(platform::IsValidCodePage(codePage)) << codePage;
    EXPECT_EQ(platform::MultiByteToWideChar(codePage, 0, bytes.data(), 2, wide.data(), 4), 0)
        << codePage;
    EXPECT_EQ(platform::WideCharToMultiByte(codePage, 0, units.data(), 2, narrow.data(), 4, nullptr,
                                            nullptr),
              0)
        << codePage;
    EXPECT_EQ(Decode(codePage, FromHex("41 42 00"), -1), std::nullopt)
        << "size query, " << codePage;
    EXPECT_EQ(Encode(codePage, units, 2), std::nullopt) << "size query, " << codePage;
  }
}

#endif

}  // namespace
}  // namespace corvane
