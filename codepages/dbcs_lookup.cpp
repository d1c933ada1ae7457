// Lookups over the range-compressed double-byte tables. Format and miss rule: dbcs_lookup.h.
#include "codepages/dbcs_lookup.h"

#include <cstddef>

#include "codepages/tables/double_byte_index.h"
#include "codepages/tables/double_byte_tables.h"

namespace corvane {
namespace {

using namespace tables;

struct CodePageIndexes {
  std::uint32_t codePage;
  DbcsDirectIndex forward;
  DbcsDirectIndex reverse;
};

constexpr CodePageIndexes kIndexes[] = {
    {932,
     {kForwardIndexBlockOf932, kForwardIndexValues932},
     {kReverseIndexBlockOf932, kReverseIndexValues932}},
    {936,
     {kForwardIndexBlockOf936, kForwardIndexValues936},
     {kReverseIndexBlockOf936, kReverseIndexValues936}},
    {949,
     {kForwardIndexBlockOf949, kForwardIndexValues949},
     {kReverseIndexBlockOf949, kReverseIndexValues949}},
    {950,
     {kForwardIndexBlockOf950, kForwardIndexValues950},
     {kReverseIndexBlockOf950, kReverseIndexValues950}},
};

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
  return WriteDbcsCode(out, unit, code);
}

DbcsIndexes FindDbcsIndexes(std::uint32_t codePage) {
  for (const CodePageIndexes& entry : kIndexes) {
    if (entry.codePage == codePage) return {&entry.forward, &entry.reverse};
  }
  return {};
}

}  // namespace corvane
