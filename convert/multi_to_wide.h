// Decoding bytes in any code page into UTF-16: the body of CV_MultiByteToWideChar, which hands it
// the caller's arguments with the source settled.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "japanese/byte_classes.h"

namespace corvane {

// Resolves the code page, picks its road (convert/road.h) and measures or converts.
//   codePage  in      any code page number, pseudo code pages 0, 3 and 2023 included
//   src       in      bytes, caller-owned, borrowed for this call; a terminated text converts and
//                     counts its terminator
//   dst       out     UTF-16 units, caller-owned; may be null only when dstCap is 0
//   dstCap    in      capacity in units; 0 = measure only, nothing written; below 0 = result 0
//   consumed  out     may be null; bytes that form whole characters (see MeasureEncodedString).
//                     With a counted source it also stops the conversion before a character cut
//                     off at the end, so the rest can be carried into the next call
//   state     in/out  JisShiftState, may be null (= single-byte at the start): read, and written
//                     back at the end, only by a conversion (not a measurement) under 2022
//   returns           measuring: characters (+1 for a terminator; 65001: units + 1); otherwise
//                     units written, terminator included when written; 0 = nothing converted
// Too small a dstCap on our own roads: the units that fit, no terminator. The system road
// reports a short destination as the system does (0). A null dst with dstCap > 0 converts
// nothing and returns 0, as does a failed allocation. src and dst must not overlap.
// Temporaries: under 2022 and 51932 the Shift_JIS text of what the straight road leaves; under
// 65001 the decoded text when dst cannot hold it; each freed on every return path.
std::int32_t MultiByteToWide(std::uint32_t codePage, const ByteText& src, Utf16Unit* dst,
                             std::int32_t dstCap, std::int32_t* consumed, JisShiftState* state);

}  // namespace corvane
