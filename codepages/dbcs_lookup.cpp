// Lookups over the range-compressed double-byte tables. Format and miss rule: dbcs_lookup.h.
#include "codepages/dbcs_lookup.h"

#include <cstddef>

#include "codepages/tables/double_byte_index.h"
#include "codepages/tables/double_byte_tables.h"
#include "japanese/byte_classes.h"

namespace corvane {
namespace {

using namespace tables;

struct CodePageIndexes {
  std::uint32_t codePage;
  DbcsDecodeIndex forward;
  DbcsEncodeIndex reverse;
};

constexpr DbcsLeadRanges Leads(const std::uint8_t (&ranges)[4]) {
  return {ranges[0], ranges[1], ranges[2], ranges[3]};
}

constexpr CodePageIndexes kIndexes[] = {
    {932, {kDecodeUnits932, Leads(kDecodeLeads932)}, {kEncodeBytes932}},
    {936, {kDecodeUnits936, Leads(kDecodeLeads936)}, {kEncodeBytes936}},
    {949, {kDecodeUnits949, Leads(kDecodeLeads949)}, {kEncodeBytes949}},
    {950, {kDecodeUnits950, Leads(kDecodeLeads950)}, {kEncodeBytes950}},
};

constexpr DbcsDecodeIndex kEucJpIndex{kDecodeUnitsEucJp, Leads(kDecodeLeadsEucJp)};

// The generator ranks lead bytes through the ranges it writes; the loops take as lead bytes what
// IsDbcsLeadByte takes. The two must be the same bytes (EUC-JP's row bytes are 51932's).
constexpr bool RangesAreLeadBytes(const DbcsLeadRanges& r, std::uint32_t codePage) {
  for (std::uint32_t b = 0; b < 256; ++b) {
    if (IsLeadByteOf(r, b) != (IsDbcsLeadByte(static_cast<std::uint8_t>(b), codePage) != 0)) {
      return false;
    }
  }
  return r.secondLow > r.secondHigh || r.firstHigh < r.secondLow;
}
static_assert(RangesAreLeadBytes(kIndexes[0].forward.leads, 932));
static_assert(RangesAreLeadBytes(kIndexes[1].forward.leads, 936));
static_assert(RangesAreLeadBytes(kIndexes[2].forward.leads, 949));
static_assert(RangesAreLeadBytes(kIndexes[3].forward.leads, 950));
static_assert(RangesAreLeadBytes(kEucJpIndex.leads, 51932));

DbcsRange ReadDbcsRange(const std::uint16_t* ranges, std::uint32_t row) {
  const std::size_t at = std::size_t{row} * kWordsPerDbcsRange;
  return DbcsRange{ranges[at], ranges[at + 1], ranges[at + 2]};
}

// Bisection over the rows of one table; both directions share it so that they can never
// disagree on what a hit is. Returns false for a miss, leaving *value untouched.
bool SearchDbcsTable(const std::uint16_t* ranges, std::uint32_t count, const std::uint16_t* values,
                     std::uint16_t key, std::uint16_t* value) {
  std::uint32_t lo = 0;
  std::uint32_t hi = count - 1;
  // Keys outside the whole table (ASCII in every code page) are settled without a probe.
  if (key > ReadDbcsRange(ranges, hi).last || key < ReadDbcsRange(ranges, 0).first) {
    return false;
  }
  while (lo <= hi) {
    const std::uint32_t mid = lo + (hi - lo) / 2;
    const DbcsRange row = ReadDbcsRange(ranges, mid);
    if (key < row.first) {
      // key >= row 0's first here, so mid > 0 and hi cannot wrap.
      hi = mid - 1;
    } else if (key <= row.last) {
      *value = values[row.offset + (key - row.first)];
      return true;
    } else {
      lo = mid + 1;
    }
  }
  return false;
}

}  // namespace

std::uint32_t StoreWideUnit(Utf16Unit* out, Utf16Unit unit) {
  if (out != nullptr) {
    *out = unit == 0 ? Utf16Unit{0x003F} : unit;
  }
  return 1;
}

std::uint32_t DbcsCodeToWide(Utf16Unit* out, std::uint16_t key, const CodePageRecord& record) {
  std::uint16_t unit = key;
  SearchDbcsTable(record.forwardRanges, record.forwardRangeCount, record.forwardValues, key, &unit);
  return StoreWideUnit(out, unit);
}

std::uint32_t WideToDbcsCode(std::uint8_t* out, Utf16Unit unit, const CodePageRecord& record) {
  std::uint16_t code = 0;  // stays 0 on a miss; no table value is 0
  SearchDbcsTable(record.reverseRanges, record.reverseRangeCount, record.reverseValues, unit,
                  &code);
  if (code > 0xFF) {
    out[0] = static_cast<std::uint8_t>(code >> 8);
    out[1] = static_cast<std::uint8_t>(code & 0xFF);
    return 2;
  }
  out[0] = static_cast<std::uint8_t>((code != 0 ? code : unit) & 0xFF);
  return 1;
}

DbcsIndexes FindDbcsIndexes(std::uint32_t codePage) {
  for (const CodePageIndexes& entry : kIndexes) {
    if (entry.codePage == codePage) return {&entry.forward, &entry.reverse};
  }
  return {};
}

const DbcsDecodeIndex& EucJpDecodeIndex() {
  return kEucJpIndex;
}

}  // namespace corvane
