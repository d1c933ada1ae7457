#include "codepages/registry.h"

#include <bit>
#include <cstddef>
#include <cstring>

#include "codepages/tables/double_byte_tables.h"
#include "codepages/tables/single_byte_tables.h"
#include "platform/platform.h"

namespace corvane {
namespace {

constexpr std::uint32_t kPageLastIndex = kWideToBytePageSize - 1;

constexpr CodePageRecord SingleByte(std::uint32_t id, const ByteToWideTable& byteToWide,
                                    const WideToBytePage& lowPage, const WideToBytePage& highPage) {
  CodePageRecord r{};
  r.id = id;
  r.lowPage = lowPage;
  r.lowPageLast = kPageLastIndex;
  r.highPage = highPage;
  r.highPageLast = kPageLastIndex;
  r.byteToWide = byteToWide;
  r.byteToWideSize = sizeof(ByteToWideTable);
  return r;
}

struct DoubleByteTables {
  std::uint32_t reverseRangeCount;
  const std::uint16_t* reverseValues;
  std::uint32_t reverseValuesSize;
  const std::uint16_t* reverseRanges;
  std::uint32_t reverseRangesSize;
  std::uint32_t forwardRangeCount;
  const std::uint16_t* forwardValues;
  std::uint32_t forwardValuesSize;
  const std::uint16_t* forwardRanges;
  std::uint32_t forwardRangesSize;
};

constexpr CodePageRecord DoubleByte(std::uint32_t id, const DoubleByteTables& t) {
  CodePageRecord r{};
  r.id = id;
  r.isMultiByte = 1;
  r.reverseRangeCount = t.reverseRangeCount;
  r.reverseValues = t.reverseValues;
  r.reverseValuesSize = t.reverseValuesSize;
  r.reverseRanges = t.reverseRanges;
  r.reverseRangesSize = t.reverseRangesSize;
  r.forwardRangeCount = t.forwardRangeCount;
  r.forwardValues = t.forwardValues;
  r.forwardValuesSize = t.forwardValuesSize;
  r.forwardRanges = t.forwardRanges;
  r.forwardRangesSize = t.forwardRangesSize;
  return r;
}

// The 33 code pages in registry order. Lookups are linear from the first record, so the order is
// part of the behaviour, not a matter of taste.
constexpr CodePageRecord kRecordTemplates[] = {
    SingleByte(40866, tables::kByteToWide40866, tables::kLowPage40866, tables::kHighPage40866),
    SingleByte(40869, tables::kByteToWide40869, tables::kLowPage40869, tables::kHighPage40869),
    SingleByte(88591, tables::kByteToWide88591, tables::kLowPage88591, tables::kHighPage88591),
    SingleByte(88592, tables::kByteToWide88592, tables::kLowPage88592, tables::kHighPage88592),
    SingleByte(88593, tables::kByteToWide88593, tables::kLowPage88593, tables::kHighPage88593),
    SingleByte(88594, tables::kByteToWide88594, tables::kLowPage88594, tables::kHighPage88594),
    SingleByte(88595, tables::kByteToWide88595, tables::kLowPage88595, tables::kHighPage88595),
    SingleByte(88596, tables::kByteToWide88596, tables::kLowPage88596, tables::kHighPage88596),
    SingleByte(88597, tables::kByteToWide88597, tables::kLowPage88597, tables::kHighPage88597),
    SingleByte(88598, tables::kByteToWide88598, tables::kLowPage88598, tables::kHighPage88598),
    SingleByte(88599, tables::kByteToWide88599, tables::kLowPage88599, tables::kHighPage88599),
    DoubleByte(51932, {tables::kReverseRangeCount51932, tables::kReverseValues51932,
                       tables::kReverseValuesSize51932, tables::kReverseRanges51932,
                       tables::kReverseRangesSize51932, tables::kForwardRangeCount51932,
                       tables::kForwardValues51932, tables::kForwardValuesSize51932,
                       tables::kForwardRanges51932, tables::kForwardRangesSize51932}),
    DoubleByte(2022, {tables::kReverseRangeCount2022, tables::kReverseValues2022,
                      tables::kReverseValuesSize2022, tables::kReverseRanges2022,
                      tables::kReverseRangesSize2022, tables::kForwardRangeCount2022,
                      tables::kForwardValues2022, tables::kForwardValuesSize2022,
                      tables::kForwardRanges2022, tables::kForwardRangesSize2022}),
    SingleByte(20866, tables::kByteToWide20866, tables::kLowPage20866, tables::kHighPage20866),
    DoubleByte(949, {tables::kReverseRangeCount949, tables::kReverseValues949,
                     tables::kReverseValuesSize949, tables::kReverseRanges949,
                     tables::kReverseRangesSize949, tables::kForwardRangeCount949,
                     tables::kForwardValues949, tables::kForwardValuesSize949,
                     tables::kForwardRanges949, tables::kForwardRangesSize949}),
    SingleByte(10008, tables::kByteToWide10008, tables::kLowPage10008, tables::kHighPage10008),
    SingleByte(10000, tables::kByteToWide10000, tables::kLowPage10000, tables::kHighPage10000),
    DoubleByte(932, {tables::kReverseRangeCount932, tables::kReverseValues932,
                     tables::kReverseValuesSize932, tables::kReverseRanges932,
                     tables::kReverseRangesSize932, tables::kForwardRangeCount932,
                     tables::kForwardValues932, tables::kForwardValuesSize932,
                     tables::kForwardRanges932, tables::kForwardRangesSize932}),
    SingleByte(1256, tables::kByteToWide1256, tables::kLowPage1256, tables::kHighPage1256),
    SingleByte(1251, tables::kByteToWide1251, tables::kLowPage1251, tables::kHighPage1251),
    SingleByte(1250, tables::kByteToWide1250, tables::kLowPage1250, tables::kHighPage1250),
    SingleByte(1253, tables::kByteToWide1253, tables::kLowPage1253, tables::kHighPage1253),
    SingleByte(1255, tables::kByteToWide1255, tables::kLowPage1255, tables::kHighPage1255),
    SingleByte(1254, tables::kByteToWide1254, tables::kLowPage1254, tables::kHighPage1254),
    SingleByte(1252, tables::kByteToWide1252, tables::kLowPage1252, tables::kHighPage1252),
    DoubleByte(950, {tables::kReverseRangeCount950, tables::kReverseValues950,
                     tables::kReverseValuesSize950, tables::kReverseRanges950,
                     tables::kReverseRangesSize950, tables::kForwardRangeCount950,
                     tables::kForwardValues950, tables::kForwardValuesSize950,
                     tables::kForwardRanges950, tables::kForwardRangesSize950}),
    DoubleByte(936, {tables::kReverseRangeCount936, tables::kReverseValues936,
                     tables::kReverseValuesSize936, tables::kReverseRanges936,
                     tables::kReverseRangesSize936, tables::kForwardRangeCount936,
                     tables::kForwardValues936, tables::kForwardValuesSize936,
                     tables::kForwardRanges936, tables::kForwardRangesSize936}),
    SingleByte(40850, tables::kByteToWide40850, tables::kLowPage40850, tables::kHighPage40850),
    SingleByte(40852, tables::kByteToWide40852, tables::kLowPage40852, tables::kHighPage40852),
    SingleByte(40861, tables::kByteToWide40861, tables::kLowPage40861, tables::kHighPage40861),
    SingleByte(40862, tables::kByteToWide40862, tables::kLowPage40862, tables::kHighPage40862),
    SingleByte(28605, tables::kByteToWide28605, tables::kLowPage28605, tables::kHighPage28605),
    SingleByte(1257, tables::kByteToWide1257, tables::kLowPage1257, tables::kHighPage1257),
};

static_assert(sizeof(kRecordTemplates) / sizeof(kRecordTemplates[0]) == 33);

// Code pages that our own codecs always handle, whatever the system could do.
bool AlwaysOwnTables(std::uint32_t id) {
  return id == 2022 || id == 51932 || id == 51936 || id == 65000 || id == 65001;
}

void Terminate(CodePageRegistry& registry, std::uint32_t slot) {
  std::memset(&registry.records[slot], 0, sizeof(CodePageRecord));
  registry.records[slot].id = kTerminatorId;
}

void Fill(CodePageRegistry& registry) {
  registry.count = 0;
  Terminate(registry, 0);
  for (const CodePageRecord& source : kRecordTemplates) {
    // The registry stays terminated after every step, so a walk can never run off its end.
    registry.records[registry.count] = source;
    ++registry.count;
    Terminate(registry, registry.count);
  }
  // Decided once, on the system the library runs on.
  for (CodePageRecord* r = registry.records; r->id != kTerminatorId; ++r) {
    if (AlwaysOwnTables(r->id)) {
      r->provider = ProviderTables;
    } else {
      r->provider = platform::IsValidCodePage(r->id) ? ProviderSystem : ProviderTables;
    }
  }
}

// The registry with a hash index of its ids, so that finding a code page reads one slot and one
// record instead of walking up to 33 records of 128 bytes each, a cost every conversion pays. The
// index holds the first record of each id, so it finds what the walk in registry order would.
constexpr std::size_t kIndexSlots = 2 * RegistryCapacity;  // a power of two, never full
static_assert((kIndexSlots & (kIndexSlots - 1)) == 0 && RegistryCapacity < 256);

struct IndexedRegistry {
  CodePageRegistry registry;
  std::uint8_t slots[kIndexSlots];  // record number + 1; 0 = empty
};

// Fibonacci hashing: the top bits of id times 2^32 / golden ratio.
constexpr std::size_t FirstSlot(std::uint32_t id) {
  constexpr int kSlotBits = std::countr_zero(kIndexSlots);
  return static_cast<std::size_t>((id * 2654435769u) >> (32 - kSlotBits));
}

constexpr std::size_t NextSlot(std::size_t slot) {
  return (slot + 1) & (kIndexSlots - 1);
}

void FillWithIndex(IndexedRegistry& indexed) {
  Fill(indexed.registry);
  std::memset(indexed.slots, 0, sizeof indexed.slots);
  const CodePageRecord* records = indexed.registry.records;
  for (std::uint32_t i = 0; records[i].id != kTerminatorId; ++i) {
    std::size_t slot = FirstSlot(records[i].id);
    while (indexed.slots[slot] != 0 && records[indexed.slots[slot] - 1].id != records[i].id)
      slot = NextSlot(slot);
    if (indexed.slots[slot] == 0) indexed.slots[slot] = static_cast<std::uint8_t>(i + 1);
  }
}

// The registry lives behind a function-local static: it is built by whichever comes first, the
// load-time build below or a lookup from a host's own static initialiser that runs before it
// (a static library's initialisers may run after the host's), and the language makes that one
// build safe against concurrent first calls.
IndexedRegistry& Registry() {
  static IndexedRegistry indexed = [] {
    IndexedRegistry built{};
    FillWithIndex(built);
    return built;
  }();
  return indexed;
}

}  // namespace

std::uint32_t BuildCodePageRegistry() {
  FillWithIndex(Registry());
  return 1;
}

const CodePageRecord* FindCodePageRecord(std::uint32_t codePage) {
  const IndexedRegistry& indexed = Registry();
  for (std::size_t slot = FirstSlot(codePage); indexed.slots[slot] != 0; slot = NextSlot(slot)) {
    const CodePageRecord& record = indexed.registry.records[indexed.slots[slot] - 1];
    if (record.id == codePage) return &record;
  }
  return nullptr;
}

const CodePageRegistry& GetCodePageRegistry() {
  return Registry().registry;
}

// Load-time build: the registry is complete before the library's entry routine runs, whatever
// calls come later.
[[maybe_unused]] const CodePageRegistry& kRegistryBuilt = Registry().registry;

}  // namespace corvane
