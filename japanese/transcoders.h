// Byte-arithmetic transcoders between Shift_JIS and the two other Japanese encodings. The library
// converts EUC-JP and ISO-2022-JP through Shift_JIS in both directions, so these four functions
// and no tables are all it needs for them. They carry JIS X 0208, ASCII and single bytes.
//
// Shared rules, all four:
//   in       in   bytes, caller-owned, borrowed for this call, never kept
//   inLen    in   byte count; -1 = ends at the first 0 byte (nul mode); other negatives = empty
//   out      out  bytes, caller-owned; never read
//   outSize  in   capacity in bytes; the last byte is kept for the terminator, so at most
//                 outSize - 1 bytes of text are written
//   returns       bytes written, the terminator included when one was written
// Terminator: in nul mode, when the input position stands at the input's 0 byte as conversion
// stops (end of input, or the room ran out exactly there), a 0 byte follows the text. Counted mode
// never writes one. A character cut off by the end of the input is dropped and ends the
// conversion. A character (or an escape sequence with the character that follows it) that does
// not fit in the room left is left out whole and ends the conversion: no partial character is
// ever written. in and out must not overlap.
#pragma once

#include <cstdint>

#include "japanese/byte_classes.h"

namespace corvane {

// EUC-JP to Shift_JIS. 0x8E k becomes the single byte k; JIS X 0212 (0x8F x y) is dropped;
// a high byte whose partner is not a high byte passes through with it unchanged.
std::int32_t EucJpToSjis(const std::uint8_t* in, std::int32_t inLen, std::uint8_t* out,
                         std::int32_t outSize);

// ISO-2022-JP to Shift_JIS.
//   state  in/out  JisShiftState, may be null: read on entry (anything but kJisTwoByte means
//                  single-byte; null means single-byte), written on exit with the final mode
// CR and LF end two-byte mode even without an escape sequence.
std::int32_t Iso2022JpToSjis(const std::uint8_t* in, std::int32_t inLen, std::uint8_t* out,
                             std::int32_t outSize, JisShiftState* state);

// Shift_JIS to EUC-JP. Half-width katakana and 0xF0-0xFF pass through as single bytes.
std::int32_t SjisToEucJp(const std::uint8_t* in, std::int32_t inLen, std::uint8_t* out,
                         std::int32_t outSize);

// Shift_JIS to ISO-2022-JP, always starting in single-byte mode.
//   state  out  JisShiftState, may be null: the final mode; never read. No escape back to
//               single-byte mode is written at the end.
std::int32_t SjisToIso2022Jp(const std::uint8_t* in, std::int32_t inLen, std::uint8_t* out,
                             std::int32_t outSize, JisShiftState* state);

}  // namespace corvane
