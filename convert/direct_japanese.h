// EUC-JP and ISO-2022-JP straight to and from UTF-16 with the Shift_JIS tables: the same result
// that going through Shift_JIS text and the transcoders would give, without the intermediate
// text, for the ordinary bulk of the input. Each stops at the first byte or unit that needs the
// transcoder's decision, on a character boundary of both roads, leaving the rest to the ordinary
// road.
#pragma once

#include <cstdint>

#include "codepages/dbcs_lookup.h"
#include "japanese/byte_classes.h"

namespace corvane {

//   sjis     in      the direct index of the 932 forward table
//   src, n   in      counted bytes, caller-owned
//   dst      out     UTF-16 units; stores while written < dstCap
//   written  in/out  units stored so far
//   mode     in/out  (ISO-2022-JP) the shift mode at the start and where the run stopped
//   returns          bytes taken; the rest starts on a character boundary of both roads
std::int32_t DecodeEucJpRun(const DbcsDirectIndex& sjis, const std::uint8_t* src, std::int32_t n,
                            Utf16Unit* dst, std::int32_t dstCap, std::int32_t& written);
std::int32_t DecodeIso2022JpRun(const DbcsDirectIndex& sjis, const std::uint8_t* src,
                                std::int32_t n, Utf16Unit* dst, std::int32_t dstCap,
                                std::int32_t& written, JisShiftState& mode);

// Encodes UTF-16 as EUC-JP through the 932 reverse table. The caller gives two bytes per unit,
// so room never runs out. Stops before a unit whose one-byte result would be a Shift_JIS lead
// byte (the transcoder would pair it with the next character's byte).
//   sjis     in      the direct index of the 932 reverse table
//   written  in/out  bytes stored so far
//   returns          units taken
std::int32_t EncodeEucJpRun(const DbcsDirectIndex& sjis, const Utf16Unit* src, std::int32_t n,
                            std::uint8_t* dst, std::int32_t& written);

}  // namespace corvane
