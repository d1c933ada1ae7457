// Decoding bytes in any code page into UTF-16: the road chooser behind CV_MultiByteToWideChar.
#pragma once

#include <cstdint>

#include "codepages/table_types.h"
#include "japanese/byte_classes.h"

namespace corvane {

// Converts a byte string into UTF-16 by one of four roads: measuring (dstCap 0), the library's
// UTF-8 decoder (65001), the system's conversion (no registry record, or a record the system
// converts), or our own tables. ISO-2022-JP and EUC-JP travel as Shift_JIS.
//   codePage  in      any code page number, pseudo code pages 0, 3 and 2023 included
//   src       in      bytes, caller-owned, borrowed for this call; null = result 0
//   srcLen    in      byte count; -1 = ends at the first 0 byte, which is converted and counted;
//                     any other negative = empty
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
// nothing and returns 0. src and dst must not overlap.
// Temporaries: one buffer under 2022, 51932 and 65001, freed on every return path; none else.
std::int32_t MultiByteToWide(std::uint32_t codePage, const std::uint8_t* src, std::int32_t srcLen,
                             Utf16Unit* dst, std::int32_t dstCap, std::int32_t* consumed,
                             JisShiftState* state);

}  // namespace corvane
