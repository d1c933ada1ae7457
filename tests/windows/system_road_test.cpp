// The system road under Windows' own conversions (Wine's in CI), against the library's table road
// on the same text. The registry was built at start-up by the static initialiser with the real
// IsValidCodePage, so a registered code page that Windows converts has the system as provider,
// and CV_MultiByteToWideChar hands it to MultiByteToWideChar; the table road of the same record
// is what the library would do without the system. The two agree wherever the library's tables
// follow the mapping Windows follows; the places where they do not are listed here with the
// reason, each of them a deliberate difference that tools/gen_*_tables.py documents (or, for
// 950, Microsoft's own departures from Big5), so a change on either side shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>

#include "codepages/dbcs_lookup.h"
#include "codepages/registry.h"
#include "convert/double_byte.h"
#include "convert/single_byte.h"
#include "corvane.h"
#include "japanese/byte_classes.h"
#include "platform/platform.h"
#include "tests/support/hex.h"

namespace corvane {
namespace {

// The registry hands Windows what Windows converts of the registered code pages, 10008 included
// (below), but the two Japanese encodings that always travel as 932. (CV_IsValidCodePage answers
// from the registry alone, whatever Windows answers: tests/abi/interface_test.cpp, which runs
// here too, has it refuse 874, 65001 and 28591, all of which Windows converts.)
TEST(SystemRoad, TheRegistryHandsWindowsWhatWindowsConverts) {
  std::set<std::uint32_t> system;
  for (const CodePageRecord* r = GetCodePageRegistry().records; r->id != 0xFFFFFFFFu; ++r) {
    const bool forced = r->id == 2022 || r->id == 51932;
    EXPECT_EQ(r->provider,
              platform::IsValidCodePage(r->id) && !forced ? ProviderSystem : ProviderTables)
        << r->id;
    if (r->provider == ProviderSystem) system.insert(r->id);
  }
  EXPECT_EQ(system, (std::set<std::uint32_t>{20866, 949, 10008, 10000, 932, 1256, 1251, 1250, 1253,
                                             1255, 1254, 1252, 950, 936, 28605, 1257}));
}

Units DecodeBySystem(std::uint32_t codePage, const Bytes& bytes) {
  Units out(bytes.size() * 2 + 2);
  out.resize(static_cast<std::size_t>(std::max(
      0, CV_MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<std::int32_t>(bytes.size()),
                                out.data(), static_cast<std::int32_t>(out.size()), nullptr,
                                nullptr))));
  return out;
}

Units DecodeByTables(std::uint32_t codePage, const Bytes& bytes) {
  Units out(bytes.size() * 2 + 2);
  const Road road = TableRoad(codePage);
  const ByteText text{bytes.data(), bytes.size(), false};
  out.resize(road.kind == RoadKind::kSingleByte ? DecodeSingleByte(*road.record, text, out)
                                                : DecodeDoubleByte(road, text, out));
  return out;
}

// Whether a double-byte table has a character for a two-byte key: no key of 932, 936, 949 or
// 950 has the unit of its own number, which is what a key the table lacks decodes to.
bool TableHolds(std::uint32_t codePage, int key) {
  Utf16Unit unit = 0;
  DbcsCodeToWide(&unit, static_cast<std::uint16_t>(key), *FindCodePageRecord(codePage));
  return unit != key;
}

// Every byte from 0x20 up that a single-byte table gives a character (bytes it leaves without
// one, U+003F, are the library's own and not compared), and every key that a double-byte table
// holds and the table road reads as a pair (its first byte passes the code page's lead-byte
// test; 949's table also holds the Unified Hangul Code additions at leads 0x81-0xA0, which that
// test does not take as leads), one at a time.
TEST(SystemRoad, CodePagesAgreeWithTheTablesButWhereTheLibraryDiffers) {
  // Big5's ETEN extensions C6A1-C8FE (kana, Cyrillic, symbols): Microsoft's 950 puts them in
  // the Private Use Area.
  std::set<int> differs950 = {0xA145, 0xA155, 0xA1C2, 0xA1CC, 0xA1CD, 0xA1CE, 0xA1D8,
                              0xA1D9, 0xA1E3, 0xA1F2, 0xA1F3, 0xA241, 0xA242, 0xA244,
                              0xA246, 0xA247, 0xA24C, 0xA24D, 0xA24E};
  for (int key = 0xC6A1; key <= 0xC8FE; ++key) {
    if (TableHolds(950, key)) differs950.insert(key);
  }
  EXPECT_GT(differs950.size(), 200u) << "the ETEN block is in our 950";

  const struct {
    std::uint32_t codePage;
    std::set<int> differs;
    const char* why;
  } rows[] = {
      {1250, {}, ""},
      {1251, {}, ""},
      {1252, {}, ""},
      {1253, {}, ""},
      {1254, {}, ""},
      {1257, {}, ""},
      {1255, {0xA4}, "our 1255 keeps the currency sign where Windows has the new sheqel sign"},
      {1256,
       {0x8A, 0x98, 0x9A, 0x9F, 0xAA, 0xC0, 0xFF},
       "our 1256 keeps the older Latin letters that the 1998 table replaced with Arabic ones"},
      {10000,
       {0xDB, 0xDE, 0xDF},
       "our Mac Roman keeps the currency sign (Windows: euro) and spells the fi and fl "
       "ligatures as two letters"},
      {28605, {0x80}, "our ISO 8859 tables also put the euro sign at 0x80 (Windows: U+0080)"},
      {20866,
       {0x7F, 0x80, 0x81, 0x88, 0x98, 0xAF, 0xB8},
       "our KOI8-R carries Ukrainian and Belarusian letters where KOI8-R has box drawing"},
      {932,
       {0x815F, 0x8160, 0x8161, 0x817C, 0x8191, 0x8192, 0x81CA},
       "our 932 has JIS X 0208's characters where Microsoft's 932 has fullwidth forms, and "
       "U+005C and U+30FC at 0x815F, 0x8160 and 0x817C"},
      {936,
       {0xA1A4, 0xA1AA, 0xA1AB, 0xA1AC},
       "our 936 is GB 2312's mapping where Microsoft's 936 (GBK) chose other dots and dashes"},
      {949, {}, "Unified Hangul Code on both sides"},
      {950, differs950,
       "Microsoft's 950 maps Big5's compatibility symbols to fullwidth and small forms, and the "
       "ETEN extensions to the Private Use Area"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.codePage) + ": " + row.why);
    ASSERT_EQ(FindCodePageRecord(row.codePage)->provider, ProviderSystem);
    const bool pairs = TableRoad(row.codePage).kind != RoadKind::kSingleByte;
    std::set<int> differs;
    std::size_t compared = 0;
    for (int key = pairs ? 0x8100 : 0x20; key <= (pairs ? 0xFFFF : 0xFF); ++key) {
      const auto lead = static_cast<std::uint8_t>(key >> 8), last = static_cast<std::uint8_t>(key);
      if (pairs && (IsDbcsLeadByte(lead, row.codePage) == 0 || !TableHolds(row.codePage, key)))
        continue;
      const Bytes bytes = pairs ? Bytes{lead, last} : Bytes{last};
      const Units tables = DecodeByTables(row.codePage, bytes);
      if (!pairs && tables == Units{0x3F} && key != 0x3F) continue;
      ++compared;
      const Units system = DecodeBySystem(row.codePage, bytes);
      if (system != tables && differs.insert(key).second && row.differs.count(key) == 0)
        ADD_FAILURE() << Hex(bytes) << ": system " << Hex(system) << ", tables " << Hex(tables);
    }
    EXPECT_GT(compared, pairs ? 6000u : 0u);
    EXPECT_EQ(differs, row.differs);
  }
}

}  // namespace
}  // namespace corvane
