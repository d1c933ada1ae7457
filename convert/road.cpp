#include "convert/road.h"

#include "japanese/byte_classes.h"
#include "platform/platform.h"

namespace corvane {
namespace {

constexpr std::uint32_t kAnsiCodePage = 0;
constexpr std::uint32_t kShiftJis = 932;
constexpr std::uint32_t kIso2022Jp = 2022;
constexpr std::uint32_t kEucJp = 51932;
constexpr std::uint32_t kUtf8 = 65001;

constexpr LeadByteMap MakeLeadByteMap(std::uint32_t codePage) {
  LeadByteMap map{};
  for (std::uint32_t b = 0; b < 256; ++b)
    map[b] = static_cast<std::uint8_t>(IsDbcsLeadByte(static_cast<std::uint8_t>(b), codePage));
  return map;
}

// The code pages whose bytes are counted in pairs, each with its lead bytes, worked out at
// compile time from IsDbcsLeadByte.
struct PairCounting {
  std::uint32_t codePage;
  LeadByteMap leads;
};
constexpr PairCounting kPairCounting[] = {
    {932, MakeLeadByteMap(932)}, {936, MakeLeadByteMap(936)},     {949, MakeLeadByteMap(949)},
    {950, MakeLeadByteMap(950)}, {51932, MakeLeadByteMap(51932)}, {51936, MakeLeadByteMap(51936)},
};

const LeadByteMap* PairLeads(std::uint32_t codePage) {
  for (const PairCounting& entry : kPairCounting) {
    if (entry.codePage == codePage) return &entry.leads;
  }
  return nullptr;
}

void SetCounting(Road& road, std::uint32_t codePage) {
  if (codePage == kIso2022Jp) {
    road.counting = CountRule::kJisCharacters;
  } else if (codePage == kUtf8) {
    road.counting = CountRule::kUtf8;
  } else if (const LeadByteMap* leads = PairLeads(codePage)) {
    road.counting = CountRule::kPairs;
    road.countLeads = leads;
  }
}

// Our tables' road for a registered code page (the system's for any other number), or, unless
// `always`, only when our tables are the ones that convert it.
void SetTablesOrSystem(Road& road, std::uint32_t codePage, bool always = false) {
  const CodePageRecord* record = FindCodePageRecord(codePage);
  if (record == nullptr || (!always && record->provider != ProviderTables)) {
    road.kind = RoadKind::kSystem;
    road.codePage = codePage;
    return;
  }
  road.record = record;
  road.codePage = codePage;
  if (record->isMultiByte == 0) {
    road.kind = RoadKind::kSingleByte;
    return;
  }
  road.kind = RoadKind::kDoubleByte;
  road.indexes = FindDbcsIndexes(codePage);
  road.leads = PairLeads(codePage);
}

}  // namespace

Road RoadFor(std::uint32_t codePage) {
  Road road;
  SetCounting(road, codePage);
  if (codePage == kUtf8) {
    road.kind = RoadKind::kUtf8;
  } else if (codePage == kIso2022Jp || codePage == kEucJp) {
    // Converted as Shift_JIS, by whoever converts 932.
    SetTablesOrSystem(road, kShiftJis);
    road.kind = codePage == kEucJp ? RoadKind::kEucJp : RoadKind::kIso2022Jp;
    if (road.record == nullptr) road.codePage = kShiftJis;
  } else if (codePage == kAnsiCodePage) {
    const std::uint32_t ansi = platform::AnsiCodePage();
    const CodePageRecord* record = FindCodePageRecord(ansi);
    if (record != nullptr && record->provider == ProviderTables) {
      SetTablesOrSystem(road, ansi);
    } else {
      road.kind = RoadKind::kSystem;
      road.codePage = kAnsiCodePage;
    }
  } else {
    SetTablesOrSystem(road, codePage);
  }
  return road;
}

Road TableRoad(std::uint32_t codePage) {
  Road road;
  SetCounting(road, codePage);
  SetTablesOrSystem(road, codePage, true);
  return road;
}

}  // namespace corvane
