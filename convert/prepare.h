// The one place that knows the special code pages of the two general conversions: ISO-2022-JP
// and EUC-JP travel through Shift_JIS (932), and UTF-8 goes through the library's own codec.
// Everything after preparation sees either finished text or an ordinary code page.
#pragma once

#include <cstdint>
#include <memory>

#include "codepages/table_types.h"
#include "convert/temporary_buffer.h"
#include "japanese/byte_classes.h"

namespace corvane {

enum class PreparedKind : std::uint32_t {
  PreparedWide = 1,   // finished UTF-16 text (decoded UTF-8)
  PreparedBytes = 2,  // Shift_JIS bytes (from ISO-2022-JP or EUC-JP), to convert as 932
  PreparedNone = 3,   // nothing prepared: convert the caller's source directly
};

// The temporary buffer of one call; it frees itself on every return path. The one its kind names
// is null when it could not be allocated.
struct PreparedBuffer {
  TemporaryBuffer<Utf16Unit> units;     // PreparedWide
  TemporaryBuffer<std::uint8_t> bytes;  // PreparedBytes
};

// Prepares a byte source for decoding.
//   codePage  in/out  resolved code page; 2022 and 51932 become 932
//   src       in      bytes, caller-owned, not null
//   srcLen    in      byte count, or -1 = ends at the first 0 byte (its terminator transcoded too)
//   buffer    out     owns the prepared text, if any
//   kind      out     what the buffer holds
//   state     in/out  JisShiftState, may be null (= single-byte): read and written under 2022 only
//   returns           prepared length in bytes: 2 x decoded units (PreparedWide), bytes written
//                     with their terminator (PreparedBytes), 0 (PreparedNone)
// Temporaries: one buffer, sized from one measuring pass (nul mode) or from srcLen (counted).
std::int32_t PrepareMultiByteInput(std::uint32_t* codePage, const std::uint8_t* src,
                                   std::int32_t srcLen, PreparedBuffer& buffer, PreparedKind& kind,
                                   JisShiftState* state);

enum class WideOutcome { kFinished, kDirect, kThroughSjis };

// Prepares a UTF-16 source for encoding.
//   codePage  in/out  resolved code page; 2022 and 51932 become 932 (kThroughSjis)
//   src       in      UTF-16 units, caller-owned, not null
//   srcLen    in      unit count, or -1 = ends at the first 0 unit
//   utf8      out     under 65001 (kFinished): the whole UTF-8 encoding, terminator included in
//                     nul mode; null (and 0 returned) when it could not be allocated
//   outcome   out
//   returns           kFinished: bytes in utf8; otherwise 0
std::int32_t PrepareWideInput(std::uint32_t* codePage, const Utf16Unit* src, std::int32_t srcLen,
                              TemporaryBuffer<std::uint8_t>& utf8, WideOutcome& outcome);

// Transcodes Shift_JIS text (from = 932) into to = 2022 or 51932, counted, into dst.
//   returns  bytes written; the transcoder keeps dst's last byte free, as for any terminator
std::int32_t PostConvertFromSjis(std::uint32_t from, std::uint32_t to, const std::uint8_t* sjis,
                                 std::int32_t count, std::uint8_t* dst, std::int32_t dstCap);

}  // namespace corvane
