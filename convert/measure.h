// Measuring an encoded byte string: how many characters it holds, and how many of its bytes form
// whole characters, so that a caller reading a stream in pieces knows what to keep for the next
// piece. A character is one single byte, one lead/trail pair, one JIS character of ISO-2022-JP
// (escape sequences are not characters), or one UTF-16 unit of decoded UTF-8.
//
// Common to the three functions:
//   text      in   caller-owned, borrowed for this call; a terminated text counts its terminator
//                  as one more character; in a count a 0 byte is an ordinary single byte
//   consumed  out  may be null; set to the bytes from the start that form whole characters: the
//                  terminator, a lead byte at the end, the first byte of an unfinished JIS pair
//                  and an unfinished escape sequence are left out
//   returns        characters, + 1 for the terminator of a terminated text
// Nothing is reported as an error; none of them allocates.
#pragma once

#include <cstdint>

#include "convert/road.h"

namespace corvane {

// Counts by the road's rule: lead/trail pairs, JIS characters, as Utf8ToUcs2 counts (units + 1
// for either kind of text, the bytes up to the end or to the first faulty sequence), or bytes.
std::int32_t MeasureEncodedString(const Road& road, ByteText text, std::int32_t* consumed);

// Counts single bytes and lead/trail pairs. A lead byte with nothing after it ends the count
// before it.
std::int32_t CountDbcsCharacters(ByteText text, const LeadByteMap& leads, std::int32_t* consumed);

// Counts ISO-2022-JP characters, always starting in single-byte mode (there is no shift state to
// carry in): escape sequences switch the mode and are not counted, LF and CR count and return to
// single-byte mode, and in two-byte mode a pair is one character. An unfinished escape sequence
// or pair at the end ends the count before it.
std::int32_t CountIso2022JpCharacters(ByteText text, std::int32_t* consumed);

}  // namespace corvane
