// Byte-arithmetic transcoders between Shift_JIS and the two other Japanese encodings. The library
// converts EUC-JP and ISO-2022-JP through Shift_JIS in both directions, so these four functions
// and no tables are all it needs for them. They carry JIS X 0208, ASCII and single bytes.
//
// Shared rules, all four:
//   in       in   bytes, caller-owned, borrowed for this call, never kept; a terminated text is
//                 followed by its 0 byte
//   out      out  bytes, caller-owned; never read; the last byte is kept for the terminator, so
//                 at most out.size() - 1 bytes of text are written
//   returns       bytes written, the terminator included when one was written
// Terminator: for a terminated text, when the input position stands at its end as conversion
// stops (end of input, or the room ran out exactly there), a 0 byte follows the text. A counted
// text never gets one. A character cut off by the end of the input is dropped and ends the
// conversion. A character (or an escape sequence with the character that follows it) that does
// not fit in the room left is left out whole and ends the conversion: no partial character is
// ever written. in and out must not overlap.
//
// Three of them convert the ordinary bulk of the text in fast runs that stop wherever a decision
// is due; their ...Scalar twins take one character at a time and define what is correct.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "base/text.h"
#include "japanese/byte_classes.h"

namespace corvane {

// EUC-JP to Shift_JIS. 0x8E k becomes the single byte k; JIS X 0212 (0x8F x y) is dropped;
// a high byte whose partner is not a high byte passes through with it unchanged.
std::size_t EucJpToSjis(ByteText in, std::span<std::uint8_t> out);
std::size_t EucJpToSjisScalar(ByteText in, std::span<std::uint8_t> out);

// ISO-2022-JP to Shift_JIS.
//   state  in/out  JisShiftState, may be null: read on entry (anything but kJisTwoByte means
//                  single-byte; null means single-byte), written on exit with the final mode
// CR and LF end two-byte mode even without an escape sequence.
std::size_t Iso2022JpToSjis(ByteText in, std::span<std::uint8_t> out, JisShiftState* state);
std::size_t Iso2022JpToSjisScalar(ByteText in, std::span<std::uint8_t> out, JisShiftState* state);

// The mode Iso2022JpToSjis ends in after the whole of text, starting in `mode`, without the
// Shift_JIS text: for a caller whose destination is full before the text ends, the shift state
// still reports where the text leaves off.
JisShiftState JisModeAfter(ByteText text, JisShiftState mode);

// Shift_JIS to EUC-JP. Half-width katakana and 0xF0-0xFF pass through as single bytes.
std::size_t SjisToEucJp(ByteText in, std::span<std::uint8_t> out);
std::size_t SjisToEucJpScalar(ByteText in, std::span<std::uint8_t> out);

// Shift_JIS to ISO-2022-JP, always starting in single-byte mode.
//   state  out  JisShiftState, may be null: the final mode; never read. No escape back to
//               single-byte mode is written at the end.
std::size_t SjisToIso2022Jp(ByteText in, std::span<std::uint8_t> out, JisShiftState* state);

}  // namespace corvane
