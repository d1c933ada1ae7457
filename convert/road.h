// The road a code page's text takes, chosen once per call from the code page number: the only
// place where a number decides how text is converted or counted. Everything below it reads the
// road and never asks about code page numbers again.
//
//   kSystem      the platform's conversion (platform/platform.h), handed `codePage`: a number the
//                registry does not hold, a registered code page the system converts, or 0
//   kSingleByte  our single-byte tables of `record` (convert/single_byte.h)
//   kDoubleByte  our double-byte tables of `record`, through its direct `indexes` where it has
//                them, split into characters by `leads` (convert/double_byte.h)
//   kEucJp       EUC-JP and ISO-2022-JP, carried through Shift_JIS by byte arithmetic and then
//   kIso2022Jp   converted as 932: by the system when `record` is null, else by 932's tables
//                (convert/japanese.h)
//   kUtf8        the library's own UTF-8 codec (convert/utf8_road.h)
//
// A road also carries how its code page's bytes are counted (MeasureEncodedString), which
// follows the number itself: the pseudo code pages, given to CV_StrLength unresolved, count
// bytes; 932, 936, 949, 950, 51932 and 51936 count lead/trail pairs by their lead bytes
// (51936 has none); 2022 counts JIS characters; 65001 counts as the UTF-8 decoder does.
//
// A road is a few words, built without allocating, and stays valid for the life of the process,
// so a converter may keep one and copy it freely.
#pragma once

#include <array>
#include <cstdint>

#include "codepages/dbcs_lookup.h"
#include "codepages/registry.h"

namespace corvane {

// For each byte value, 1 when it opens a two-byte character in a code page (IsDbcsLeadByte).
using LeadByteMap = std::array<std::uint8_t, 256>;

enum class RoadKind : std::uint8_t { kSystem, kSingleByte, kDoubleByte, kEucJp, kIso2022Jp, kUtf8 };

enum class CountRule : std::uint8_t { kBytes, kPairs, kJisCharacters, kUtf8 };

struct Road {
  RoadKind kind = RoadKind::kSystem;
  std::uint32_t codePage = 0;              // kSystem: the number the system is handed
  const CodePageRecord* record = nullptr;  // the tables, when ours (932's for the Japanese roads)
  DbcsIndexes indexes;                     // direct indexes of record's tables, where it has them
  const LeadByteMap* leads = nullptr;      // lead bytes of the tables' code page (kDoubleByte)
  CountRule counting = CountRule::kBytes;
  const LeadByteMap* countLeads = nullptr;  // lead bytes counted by (kPairs)
};

// The road of a code page number, taken as it is (resolve pseudo code pages first, except for
// measuring exports that count them as bytes). 0, what a thread without a code page resolves
// to, is the system's ANSI code page: it takes the system road as 0, as Windows takes it, unless
// our own tables convert the ANSI code page (the POSIX backend leaves some to them), whose road
// it then takes, so that 0 always converts as the ANSI code page does.
Road RoadFor(std::uint32_t codePage);

// The road of our own tables for a registered single- or double-byte code page, whoever converts
// it here: what tests and benchmarks compare the system with. kSystem for any other number.
Road TableRoad(std::uint32_t codePage);

}  // namespace corvane
