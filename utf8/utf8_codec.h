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
#include <span>

#include "base/text.h"

namespace corvane {

struct Utf8Kernels;

// Decodes UTF-8 to UTF-16 without judging it: overlong forms, encoded surrogates and values past
// U+10FFFF all decode by plain arithmetic; only a bad lead byte, a missing or non-continuation
// byte stops decoding (its text goes to TraceMessage and decoding ends as at the end of input).
//   src       in   bytes, caller-owned, borrowed for this call; a terminated text's 0 is not
//                  decoded; in a count a 0 byte decodes to the unit 0
//   dst       out  UTF-16 units, caller-owned; empty = count only
//   consumed  out  may be null; bytes decoded: up to the end of the text or to the first byte of
//                  the faulty sequence, never the terminator
//   returns        units of the decoded text + 1 for the terminator, for either kind of text and
//                  whether or not they were stored
// Too small a dst: the decoder reads, checks and counts to the end regardless; it stores a unit
// only while it ends before dst's last position (a surrogate pair whole or not at all) and then a
// 0 unit right behind the stored text, so dst always holds a terminated prefix. A result above
// dst's size means the output was cut. src and dst must not overlap. Allocates nothing.
std::int32_t Utf8ToUcs2(ByteText src, std::span<Utf16Unit> dst, std::int32_t* consumed);
std::int32_t Utf8ToUcs2Scalar(ByteText src, std::span<Utf16Unit> dst, std::int32_t* consumed);
std::int32_t Utf8ToUcs2With(const Utf8Kernels& kernels, ByteText src, std::span<Utf16Unit> dst,
                            std::int32_t* consumed);

// What the decoder answers a null source: its diagnostic to TraceMessage, and -1.
std::int32_t Utf8NullSource();

// Encodes each UTF-16 unit by itself into one to three bytes: a surrogate pair becomes two
// three-byte forms, never one four-byte form. Every unit has an encoding, so there are no errors.
//   src       in   UTF-16 units, caller-owned, borrowed for this call; a terminated text's 0
//                  counts in the result; in a count a 0 unit encodes to the byte 0
//   dst       out  bytes, caller-owned; empty = count only
//   returns        a counted text: bytes of the encoded text, no terminator (counting or not);
//                  a terminated text: bytes + 1 for the terminator, except when the buffer
//                  filled up (see below), when it is dst's size
// Too small a dst: encoding stops at the first unit whose whole form no longer fits, and that
// unit is left out rather than cut, so no partial form is ever written by the encoding itself.
// For a terminated text the terminator then goes right behind the stored text; if the stored
// bytes reach dst's size exactly, the terminator overwrites the last of them (which may cut the
// form it belonged to) and the result is dst's size. A counted text gets nothing added. The
// surest way to size dst is a first call that counts. src and dst must not overlap. Allocates
// nothing.
std::int32_t Ucs2ToUtf8(WideText src, std::span<std::uint8_t> dst);
std::int32_t Ucs2ToUtf8Scalar(WideText src, std::span<std::uint8_t> dst);
std::int32_t Ucs2ToUtf8With(const Utf8Kernels& kernels, WideText src, std::span<std::uint8_t> dst);

}  // namespace corvane
