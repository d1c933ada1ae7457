// The fast table roads against the scalar loops that define them: the direct double-byte index
// against the bisection for every key and unit, and both conversion directions, on every
// registered code page, against DecodeWithTablesScalar / EncodeWithTablesScalar on random and
// adversarial text. Results, output and the places left untouched must all be identical.
// Destinations are sized exactly (and one short), so that AddressSanitizer sees any overrun.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include "codepages/dbcs_lookup.h"
#include "convert/table_decode.h"
#include "convert/table_encode.h"
#include "corvane.h"
#include "tests/support/conversion_fixture.h"

namespace corvane {
namespace {

constexpr Utf16Unit kUnitGuard = 0xEEEE;
constexpr std::uint8_t kByteGuard = 0xEE;
constexpr std::uint32_t kDoubleByte[] = {932, 936, 949, 950, 51932, 2022};

// The conversions never search the reverse tables of 51932 and 2022 (both go through 932), and
// the registry points at the size word that opens those arrays, so a search through those two
// records would read garbage rows; the encoding tests leave them out.
bool ReverseSearchable(const CodePageRecord& record) {
  return record.id != 51932 && record.id != 2022;
}

std::vector<const CodePageRecord*> AllRecords() {
  std::vector<const CodePageRecord*> records;
  for (const CodePageRecord* r = GetCodePageRegistry().records; r->id != kTerminatorId; ++r)
    records.push_back(r);
  return records;
}

// The record with its reverse arrays past the size word of 51932 and 2022, as a search needs it.
CodePageRecord Searchable(const CodePageRecord& registered) {
  CodePageRecord record = registered;
  if (!ReverseSearchable(record)) {
    ++record.reverseRanges;
    ++record.reverseValues;
  }
  return record;
}

// The lookups ---------------------------------------------------------------------------------

TEST(DbcsDirectIndex, GivesTheBisectionsAnswerForEveryKeyAndUnit) {
  for (std::uint32_t cp : kDoubleByte) {
    const CodePageRecord record = Searchable(*FindCodePageRecord(cp));
    // The four tables that conversions search have an index; without one this test would only
    // compare the bisection with itself.
    const bool searched = cp != 51932 && cp != 2022;
    EXPECT_EQ(FindDbcsForwardIndex(record) != nullptr, searched) << cp;
    EXPECT_EQ(FindDbcsReverseIndex(record) != nullptr, searched) << cp;
    int differences = 0;
    for (std::uint32_t k = 0; k <= 0xFFFF && differences < 5; ++k) {
      const auto key = static_cast<std::uint16_t>(k);
      Utf16Unit fast = kUnitGuard;
      Utf16Unit scalar = kUnitGuard;
      const std::uint32_t fastCount = DbcsCodeToWide(&fast, key, record);
      if (fastCount != DbcsCodeToWideScalar(&scalar, key, record) || fast != scalar) {
        ADD_FAILURE() << cp << " forward 0x" << std::hex << k;
        ++differences;
      }
      std::uint8_t fastBytes[2] = {kByteGuard, kByteGuard};
      std::uint8_t scalarBytes[2] = {kByteGuard, kByteGuard};
      const std::uint32_t fastLength = WideToDbcsCode(fastBytes, key, record);
      if (fastLength != WideToDbcsCodeScalar(scalarBytes, key, record) ||
          fastBytes[0] != scalarBytes[0] || fastBytes[1] != scalarBytes[1]) {
        ADD_FAILURE() << cp << " reverse U+" << std::hex << k;
        ++differences;
      }
    }
  }
}

// The double-byte decoding loop hands every byte that is not a lead byte straight through,
// which is right only because no forward table holds a one-byte key.
TEST(DbcsDirectIndex, EverySingleByteKeyPassesThrough) {
  for (std::uint32_t cp : kDoubleByte) {
    for (std::uint32_t b = 0; b <= 0xFF; ++b) {
      Utf16Unit unit = kUnitGuard;
      DbcsCodeToWideScalar(&unit, static_cast<std::uint16_t>(b), *FindCodePageRecord(cp));
      EXPECT_EQ(unit, b == 0 ? 0x3F : b) << cp << " byte " << b;
    }
  }
}

// Decoding ------------------------------------------------------------------------------------

struct DecodeOutcome {
  std::int32_t result;
  Units dst;  // the whole destination: what was written and what was left alone
  bool operator==(const DecodeOutcome&) const = default;
};

using DecodeFunction = std::int32_t (*)(const CodePageRecord&, std::uint32_t, const std::uint8_t*,
                                        std::int32_t, bool, Utf16Unit*, std::int32_t);

DecodeOutcome Decode(DecodeFunction decode, const CodePageRecord& record, const Bytes& text,
                     bool nul, std::int32_t cap) {
  DecodeOutcome out{0, Units(static_cast<std::size_t>(cap), kUnitGuard)};
  out.result = decode(record, record.id, text.data(),
                      nul ? -1 : static_cast<std::int32_t>(text.size()), nul, out.dst.data(), cap);
  return out;
}

// Both roads on one text, counted and (up to its first 0 byte) nul-terminated, with room to
// spare, the room for the whole result, one place less, and a single place.
void ExpectSameDecoding(const CodePageRecord& record, const Bytes& counted, const char* what) {
  Bytes terminated(counted.begin(), std::find(counted.begin(), counted.end(), 0));
  terminated.push_back(0);
  for (const bool nul : {false, true}) {
    const Bytes& text = nul ? terminated : counted;
    const std::int32_t roomy = static_cast<std::int32_t>(text.size()) * 2 + 8;
    const std::int32_t whole = Decode(DecodeWithTablesScalar, record, text, nul, roomy).result;
    for (const std::int32_t cap : {roomy, whole, whole - 1, std::int32_t{1}}) {
      if (cap <= 0) continue;
      const DecodeOutcome fast = Decode(DecodeWithTables, record, text, nul, cap);
      const DecodeOutcome scalar = Decode(DecodeWithTablesScalar, record, text, nul, cap);
      if (fast == scalar) continue;
      ADD_FAILURE() << record.id << " " << what << (nul ? " nul" : " counted") << " cap " << cap
                    << "\n  text   " << Hex(text) << "\n  fast   " << fast.result << ": "
                    << Hex(fast.dst) << "\n  scalar " << scalar.result << ": " << Hex(scalar.dst);
      return;
    }
  }
}

// Bytes that decide something somewhere: controls and 0, ASCII, lead bytes of each double-byte
// page and their edges, single bytes above 0x80, and the multi-unit bytes of 10000 and 10008.
const std::uint8_t kInterestingBytes[] = {0x00, 0x0A, 0x41, 0x7F, 0x80, 0x81, 0x8E,
                                          0x9F, 0xA0, 0xA1, 0xB0, 0xC0, 0xDE, 0xE0,
                                          0xEA, 0xEF, 0xF0, 0xFE, 0xFF};
const std::uint8_t kFollowers[] = {0x00, 0x40, 0x7F, 0xA1, 0xFE};

TEST(TableRoadDifferential, DecodesInterestingBytesAtEveryOffset) {
  for (const CodePageRecord* record : AllRecords()) {
    // Every double-byte page; of the single-byte ones, two plain pages and the two whose
    // bytes can stand for two units.
    const bool chosen = record->isMultiByte != 0 || record->id == 1252 || record->id == 20866 ||
                        record->id == 10000 || record->id == 10008;
    if (!chosen) continue;
    for (std::size_t pad = 0; pad < 32; ++pad) {
      for (std::uint8_t b : kInterestingBytes) {
        for (int follower = -1; follower < static_cast<int>(std::size(kFollowers)); ++follower) {
          // Without a tail the byte (or the pair) ends the text; with one, the text is long
          // enough for the single-byte fast path to start (256 bytes), or to put the byte well
          // inside the double-byte one.
          const std::size_t longTail = record->isMultiByte != 0 ? 20 : 300;
          for (const std::size_t tail : {std::size_t{0}, longTail}) {
            Bytes text(pad, 'a');
            text.push_back(b);
            if (follower >= 0) text.push_back(kFollowers[follower]);
            text.insert(text.end(), tail, 'z');
            ExpectSameDecoding(*record, text, "interesting byte");
          }
        }
      }
    }
  }
}

Bytes RandomBytes(std::mt19937& rng, std::size_t length, int mix) {
  Bytes text(length);
  for (std::uint8_t& b : text) {
    const auto r = static_cast<std::uint32_t>(rng());
    switch (mix) {
      case 0:  // anything
        b = static_cast<std::uint8_t>(r);
        break;
      case 1:  // text: mostly ASCII, some high bytes
        b = static_cast<std::uint8_t>(r % 4 == 0 ? 0x80 + (r >> 8) % 0x80 : 0x20 + (r >> 8) % 0x5F);
        break;
      case 2:  // lead-heavy, so that pairs chain and cut each other off
        b = static_cast<std::uint8_t>(r % 8 == 0 ? (r >> 8) % 0x80 : 0x81 + (r >> 8) % 0x7E);
        break;
      default:  // zeros among anything
        b = static_cast<std::uint8_t>(r % 16 == 0 ? 0 : r >> 8);
        break;
    }
  }
  return text;
}

TEST(TableRoadDifferential, DecodesRandomText) {
  std::mt19937 rng(20240601);
  for (const CodePageRecord* record : AllRecords()) {
    for (int i = 0; i < 120; ++i) {
      ExpectSameDecoding(*record, RandomBytes(rng, rng() % 700, i % 4), "random");
    }
  }
}

// Encoding ------------------------------------------------------------------------------------

struct EncodeOutcome {
  std::int32_t result;
  Bytes dst;
  bool operator==(const EncodeOutcome&) const = default;
};

using EncodeFunction = std::int32_t (*)(const CodePageRecord&, const Utf16Unit*, std::int32_t,
                                        std::uint8_t*, std::int32_t);

EncodeOutcome Encode(EncodeFunction encode, const CodePageRecord& record, const Units& text,
                     bool nul, std::int32_t cap) {
  EncodeOutcome out{0, Bytes(static_cast<std::size_t>(cap), kByteGuard)};
  out.result = encode(record, text.data(), nul ? -1 : static_cast<std::int32_t>(text.size()),
                      out.dst.data(), cap);
  return out;
}

// Both roads on one text, counted and nul-terminated, with room to spare (where a byte written
// past the result would show), the room for the whole result, one byte more and less (which
// leaves a last two-byte code one byte of room), and one and two bytes.
void ExpectSameEncoding(const CodePageRecord& record, const Units& counted, const char* what) {
  Units terminated(counted.begin(), std::find(counted.begin(), counted.end(), 0));
  terminated.push_back(0);
  for (const bool nul : {false, true}) {
    const Units& text = nul ? terminated : counted;
    const std::int32_t roomy = static_cast<std::int32_t>(text.size()) * 2 + 8;
    const std::int32_t whole = Encode(EncodeWithTablesScalar, record, text, nul, roomy).result;
    for (const std::int32_t cap :
         {roomy, whole, whole + 1, whole - 1, std::int32_t{1}, std::int32_t{2}}) {
      if (cap <= 0) continue;
      const EncodeOutcome fast = Encode(EncodeWithTables, record, text, nul, cap);
      const EncodeOutcome scalar = Encode(EncodeWithTablesScalar, record, text, nul, cap);
      if (fast == scalar) continue;
      ADD_FAILURE() << record.id << " " << what << (nul ? " nul" : " counted") << " cap " << cap
                    << "\n  text   " << Hex(text) << "\n  fast   " << fast.result << ": "
                    << Hex(fast.dst) << "\n  scalar " << scalar.result << ": " << Hex(scalar.dst);
      return;
    }
  }
}

// Units that decide something somewhere: 0, ASCII (Big5 gives # and @ two bytes), the edges of
// the two single-byte windows, characters with and without bytes in various pages, a surrogate
// pair, and the units 932 sends back to another code.
const Utf16Unit kInterestingUnits[] = {0x0000, 0x0023, 0x0040, 0x0041, 0x005C, 0x007F, 0x0080,
                                       0x00A5, 0x00E9, 0x0141, 0x0410, 0x05B4, 0x07FF, 0x0800,
                                       0x1FFF, 0x2000, 0x20AC, 0x2225, 0x27FF, 0x2800, 0x3042,
                                       0x30FC, 0x4E00, 0xAC00, 0xD83D, 0xDE00, 0xFF71, 0xFFFF};

TEST(TableRoadDifferential, EncodesInterestingUnitsAtEveryOffset) {
  for (const CodePageRecord* record : AllRecords()) {
    const bool chosen = (record->isMultiByte != 0 && ReverseSearchable(*record)) ||
                        record->id == 1252 || record->id == 20866 || record->id == 88596 ||
                        record->id == 10000;
    if (!chosen) continue;
    for (std::size_t pad = 0; pad < 32; ++pad) {
      for (Utf16Unit u : kInterestingUnits) {
        for (const Utf16Unit follower : {Utf16Unit{0}, Utf16Unit{0x3044}, Utf16Unit{'b'}}) {
          for (const std::size_t tail : {std::size_t{0}, std::size_t{40}}) {
            Units text(pad, 'a');
            text.push_back(u);
            if (follower != 0) text.push_back(follower);
            text.insert(text.end(), tail, 'z');
            ExpectSameEncoding(*record, text, "interesting unit");
          }
        }
      }
    }
  }
}

// Units the record's tables give bytes to, so that random text is mostly found, not missed.
Units RepertoireOf(const CodePageRecord& record) {
  Units units;
  for (std::uint32_t u = 1; u <= 0xFFFF; ++u) {
    std::uint8_t bytes[2];
    const auto unit = static_cast<Utf16Unit>(u);
    if (record.isMultiByte != 0 ? WideToDbcsCodeScalar(bytes, unit, record) == 2
                                : WideUnitToBytes(bytes, unit, 0, record) == 1) {
      units.push_back(unit);
    }
  }
  return units;
}

TEST(TableRoadDifferential, EncodesRandomText) {
  std::mt19937 rng(20240602);
  for (const CodePageRecord* record : AllRecords()) {
    if (!ReverseSearchable(*record)) continue;
    const Units repertoire = RepertoireOf(*record);
    ASSERT_FALSE(repertoire.empty()) << record->id;
    for (int i = 0; i < 120; ++i) {
      Units text(rng() % 500);
      for (Utf16Unit& u : text) {
        const auto r = static_cast<std::uint32_t>(rng());
        switch (r % 8) {
          case 0:
            u = static_cast<Utf16Unit>(r >> 8);  // anything, surrogates included
            break;
          case 1:
            u = static_cast<Utf16Unit>(i % 4 == 0 && r % 32 == 1 ? 0 : 0x20 + (r >> 8) % 0x5F);
            break;
          default:
            u = repertoire[(r >> 8) % repertoire.size()];
            break;
        }
      }
      ExpectSameEncoding(*record, text, "random");
    }
  }
}

// Through the exports ---------------------------------------------------------------------------

// The exports reach the fast roads; on the table road they give what the scalar loops give.
class TableRoadThroughExports : public ConversionTest {};

TEST_F(TableRoadThroughExports, ConvertAsTheScalarLoops) {
  std::mt19937 rng(20240603);
  for (const CodePageRecord* record : AllRecords()) {
    if (record->id == 2022 || record->id == 51932) continue;  // these go through Shift_JIS
    for (int i = 0; i < 20; ++i) {
      const Bytes text = RandomBytes(rng, 300 + rng() % 300, i % 3);
      const auto length = static_cast<std::int32_t>(text.size());
      Units viaExport(text.size(), kUnitGuard);
      Units viaScalar(text.size(), kUnitGuard);
      EXPECT_EQ(CV_MultiByteToWideChar(record->id, 0, text.data(), length, viaExport.data(), length,
                                       nullptr, nullptr),
                DecodeWithTablesScalar(*record, record->id, text.data(), length, false,
                                       viaScalar.data(), length))
          << record->id;
      EXPECT_EQ(viaExport, viaScalar) << record->id;

      Bytes bytesViaExport(text.size() * 2, kByteGuard);
      Bytes bytesViaScalar(text.size() * 2, kByteGuard);
      const auto cap = static_cast<std::int32_t>(bytesViaExport.size());
      EXPECT_EQ(
          CV_WideCharToMultiByte(record->id, 0, viaScalar.data(), length, bytesViaExport.data(),
                                 cap, nullptr, nullptr),
          EncodeWithTablesScalar(*record, viaScalar.data(), length, bytesViaScalar.data(), cap))
          << record->id;
      EXPECT_EQ(bytesViaExport, bytesViaScalar) << record->id;
    }
  }
}

}  // namespace
}  // namespace corvane
