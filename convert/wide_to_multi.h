// Encoding UTF-16 into any code page: the body of CV_WideCharToMultiByte, which hands it the
// caller's arguments with the source settled.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace corvane {

// Resolves the code page, picks its road (convert/road.h) and converts.
//   codePage     in   any code page number, pseudo code pages 0, 3 and 2023 included (2023
//                     examines the bytes dst holds when the call begins, dstCap of them)
//   flags        in   handed to the system conversion; our own roads ignore it
//   src          in   UTF-16 units, caller-owned, borrowed for this call; a terminated text
//                     converts and counts its terminator
//   dst          out  bytes, caller-owned; may be null only when dstCap is 0
//   dstCap       in   capacity in bytes; 0 = measure: convert into a scratch buffer of
//                     3 x units + 60 bytes and return what that conversion wrote
//   defaultChar  in   handed to the system conversion; our own roads ignore it
//   defaultUsed  out  handed to the system conversion; our own roads never write it
//   returns           bytes written, a terminating 0 byte included when written; 0 = nothing,
//                     also for a failed allocation
// Too small a dstCap: UTF-8 gets the first dstCap bytes (cut, and unterminated unless the
// terminator falls inside); our tables stop before the unit that no longer fits, without a
// terminator; the system reports it as the system does. A negative dstCap: UTF-8 returns the
// length, the system is handed it, our tables return 0. A null dst with dstCap > 0 converts
// nothing and returns 0. src and dst must not overlap.
// Temporaries: the scratch buffer when measuring, the Shift_JIS copy for 2022 and 51932, the
// UTF-8 text when dst cannot hold it whole; each freed on every return path.
std::int32_t WideToMultiByte(std::uint32_t codePage, std::uint32_t flags, const WideText& src,
                             std::uint8_t* dst, std::int32_t dstCap, const char* defaultChar,
                             std::int32_t* defaultUsed);

}  // namespace corvane
