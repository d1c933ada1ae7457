// The library's own UTF-8 codec: Utf8ToUcs2 decodes UTF-8 bytes to UTF-16 units, Ucs2ToUtf8
// encodes UTF-16 units to UTF-8 bytes. The two directions deliberately differ in how they count
// the terminator and in what a full buffer means; callers (the exports, measurement, and both
// general conversions) rely on each set of rules as written below.
//
// Each direction comes twice: the plain function hands runs it can prove are ordinary to a bulk
// kernel (the implementation ChosenUtf8Kernels gives; see utf8_kernels.h), the `...Scalar`
// function applies the rules one character at a time and is the definition of correct. Both give
// identical results, output, consumed count and diagnostics for every input, and leave the same
// destination positions untouched; tests hold every kernel implementation to that through the
// `...With` functions, which are the plain ones with the kernels given.
#pragma once

#include <cstdint>

#include "codepages/table_types.h"

namespace corvane {

struct Utf8Kernels;

// Decodes UTF-8 to UTF-16 without judging it: overlong forms, encoded surrogates and values past
// U+10FFFF all decode by plain arithmetic; only a bad lead byte, a missing or non-continuation
// byte stops decoding (its text goes to TraceMessage and decoding ends as at the end of input).
//   src       in   bytes, caller-owned, borrowed for this call; null = result -1 and nothing else
//   srcLen    in   byte count; -1 = ends at the first 0 byte, which is not decoded; any other
//                  negative = empty; in a count a 0 byte decodes to the unit 0
//   dst       out  UTF-16 units, caller-owned; null = count only
//   dstSize   in   capacity in units; 0 = count only, dst untouched; below 0 = nothing stored
//   consumed  out  may be null; bytes decoded: up to the end of input or to the first byte of the
//                  faulty sequence, never the terminator; not written when src is null
//   returns        units of the decoded text + 1 for the terminator, in both length modes and
//                  whether or not they were stored; -1 for a null src
// Too small a dstSize: the decoder reads, checks and counts to the end regardless; it stores a
// unit only while it ends before dst's last position (a surrogate pair whole or not at all) and
// then a 0 unit right behind the stored text, so dst always holds a terminated prefix. A result
// above dstSize means the output was cut. src and dst must not overlap. Allocates nothing.
std::int32_t Utf8ToUcs2(const std::uint8_t* src, std::int32_t srcLen, Utf16Unit* dst,
                        std::int32_t dstSize, std::int32_t* consumed);
std::int32_t Utf8ToUcs2Scalar(const std::uint8_t* src, std::int32_t srcLen, Utf16Unit* dst,
                              std::int32_t dstSize, std::int32_t* consumed);
std::int32_t Utf8ToUcs2With(const Utf8Kernels& kernels, const std::uint8_t* src,
                            std::int32_t srcLen, Utf16Unit* dst, std::int32_t dstSize,
                            std::int32_t* consumed);

// Encodes each UTF-16 unit by itself into one to three bytes: a surrogate pair becomes two
// three-byte forms, never one four-byte form. Every unit has an encoding, so there are no errors.
//   src       in   UTF-16 units, caller-owned, borrowed for this call; must not be null
//   srcLen    in   unit count; -1 = ends at the first 0 unit, which then counts in the result;
//                  any other negative = empty; in a count a 0 unit encodes to the byte 0
//   dst       out  bytes, caller-owned; must not be null unless dstSize is 0
//   dstSize   in   capacity in bytes; 0 = count only, dst untouched; below 0 = result 0, nothing
//                  written
//   returns        counted mode: bytes of the encoded text, no terminator (counting or not);
//                  nul mode: bytes + 1 for the terminator, except when the buffer filled up
//                  (see below), when it is dstSize
// Too small a dstSize: encoding stops at the first unit whose whole form no longer fits, and that
// unit is left out rather than cut, so no partial form is ever written by the encoding itself. In
// nul mode the terminator then goes right behind the stored text; if the stored bytes reach
// dstSize exactly, the terminator overwrites the last of them (which may cut the form it
// belonged to) and the result is dstSize. In counted mode nothing is added. The surest way to
// size dst is a first call with dstSize 0. src and dst must not overlap. Allocates nothing.
std::int32_t Ucs2ToUtf8(const Utf16Unit* src, std::int32_t srcLen, std::uint8_t* dst,
                        std::int32_t dstSize);
std::int32_t Ucs2ToUtf8Scalar(const Utf16Unit* src, std::int32_t srcLen, std::uint8_t* dst,
                              std::int32_t dstSize);
std::int32_t Ucs2ToUtf8With(const Utf8Kernels& kernels, const Utf16Unit* src, std::int32_t srcLen,
                            std::uint8_t* dst, std::int32_t dstSize);

}  // namespace corvane
