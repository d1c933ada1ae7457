// Encoding UTF-16 into any code page: the road chooser behind CV_WideCharToMultiByte.
#pragma once

#include <cstdint>

#include "codepages/registry.h"

namespace corvane {

// Converts UTF-16 text into the bytes of a code page: 65001 by the library's own encoder; the
// system's conversion for code pages without a record or with a record the system converts;
// our own tables otherwise; 2022 and 51932 as 932 and then transcoded from Shift_JIS.
//   codePage     in   any code page number, pseudo code pages 0, 3 and 2023 included (2023
//                     examines the bytes dst holds when the call begins, dstCap of them)
//   flags        in   handed to the system conversion; our own roads ignore it
//   src          in   UTF-16 units, caller-owned, borrowed for this call; null = result 0
//   srcLen       in   unit count; -1 = ends at the first 0 unit, which is converted and counted
//   dst          out  bytes, caller-owned; may be null only when dstCap is 0
//   dstCap       in   capacity in bytes; 0 = measure: convert into a scratch buffer of
//                     3 x units + 60 bytes and return what that conversion wrote
//   defaultChar  in   handed to the system conversion; our own roads ignore it
//   defaultUsed  out  handed to the system conversion; our own roads never write it
//   returns           bytes written, a terminating 0 byte included when written; 0 = nothing
// Too small a dstCap: UTF-8 gets the first dstCap bytes (cut, and unterminated unless the
// terminator falls inside); our tables stop before the unit that no longer fits, without a
// terminator; the system reports it as the system does. A null dst with dstCap > 0 converts
// nothing and returns 0. src and dst must not overlap.
// Temporaries: the UTF-8 buffer, the scratch buffer when measuring, the Shift_JIS copy for 2022
// and 51932; each freed on every return path.
std::int32_t WideToMultiByte(std::uint32_t codePage, std::uint32_t flags, const Utf16Unit* src,
                             std::int32_t srcLen, std::uint8_t* dst, std::int32_t dstCap,
                             const char* defaultChar, std::int32_t* defaultUsed);

}  // namespace corvane
