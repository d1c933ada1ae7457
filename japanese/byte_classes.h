// Pure byte tests and code arithmetic for the Japanese encodings, and the lead-byte test of every
// double-byte code page. None keeps state or checks that its input lies in the encoding's range:
// out-of-range input yields whatever the arithmetic gives, stored back into a byte.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace corvane {

// The ISO-2022-JP shift mode, as carried between calls in a caller's variable.
using JisShiftState = std::uint32_t;
inline constexpr JisShiftState kJisSingleByte = 1;  // bytes stand for themselves
inline constexpr JisShiftState kJisTwoByte = 2;     // bytes pair up as JIS X 0208 row/cell

// 1 when b opens a two-byte character in codePage, else 0. Shift_JIS stops at 0xEF (0xF0-0xFC
// are single bytes here); the EUC-style pages start at 0xA1. Every other code page, 2022, 51936
// and 65001 included, has no lead bytes.
constexpr int IsDbcsLeadByte(std::uint8_t b, std::uint32_t codePage) {
  switch (codePage) {
    case 932:
      return (InRange(b, 0x81, 0x9F) || InRange(b, 0xE0, 0xEF)) ? 1 : 0;
    case 51932:
    case 936:
    case 949:
    case 950:
      return InRange(b, 0xA1, 0xFE) ? 1 : 0;
    default:
      return 0;
  }
}

// Reads the byte that follows an ESC (both already consumed by the caller), sets mode, and
// returns how many bytes of the sequence still follow (0 or 1). The final byte of a three-byte
// sequence is never examined: ESC $ x selects two-byte mode and ESC ( x single-byte mode for any x.
constexpr int ParseJisEscape(std::uint8_t byteAfterEsc, JisShiftState& mode) {
  switch (byteAfterEsc) {
    case 0x24:  // '$'
      mode = kJisTwoByte;
      return 1;
    case 0x28:  // '('
      mode = kJisSingleByte;
      return 1;
    case 0x4B:  // 'K'
      mode = kJisTwoByte;
      return 0;
    default:
      mode = kJisSingleByte;
      return 0;
  }
}

// JIS X 0208 row/cell bytes to the Shift_JIS lead and trail bytes. Written with comparisons as
// numbers rather than branches: the transcoders run it once per character of mixed text, where a
// branch would be mispredicted at every change of row parity or half.
//   lead  = ((row + 1) >> 1) + (row < 0x5F ? 0x70 : 0xB0)
//   trail = cell + (odd row ? (cell <= 0x5F ? 0x1F : 0x20) : 0x7E)
constexpr void JisPairToSjis(std::uint8_t row, std::uint8_t cell, std::uint8_t& lead,
                             std::uint8_t& trail) {
  const unsigned r = row;
  const unsigned c = cell;
  const unsigned odd = r & 1u;
  lead = static_cast<std::uint8_t>(((r + 1) >> 1) + 0x70u + 0x40u * unsigned{r >= 0x5F});
  trail = static_cast<std::uint8_t>(c + 0x7Eu - 0x5Fu * odd + odd * unsigned{c >= 0x60});
}

// Shift_JIS lead and trail bytes to JIS X 0208 row/cell bytes. Trail 0x7F, which no JIS
// position produces, gives the same cell as 0x80. Branch-free for the same reason.
//   a    = trail < 0x9F
//   row  = ((lead - (lead < 0xA0 ? 0x70 : 0xB0)) << 1) - a
//   cell = trail - (a ? (trail > 0x7F ? 0x20 : 0x1F) : 0x7E)
constexpr void SjisPairToJis(std::uint8_t lead, std::uint8_t trail, std::uint8_t& row,
                             std::uint8_t& cell) {
  const unsigned s = lead;
  const unsigned t = trail;
  const unsigned a = unsigned{t < 0x9F};
  row = static_cast<std::uint8_t>(((s - 0x70u - 0x40u * unsigned{s >= 0xA0}) << 1) - a);
  cell = static_cast<std::uint8_t>(t - 0x7Eu + 0x5Fu * a - a * unsigned{t > 0x7F});
}

// 1 when both bytes lie in 0xA1-0xFE, as an EUC-JP two-byte character's do.
constexpr int IsEucJpPair(const std::uint8_t* pair) {
  return (IsDbcsLeadByte(pair[0], 51932) && IsDbcsLeadByte(pair[1], 51932)) ? 1 : 0;
}

// 1 when the bytes can be a Shift_JIS pair: lead 0x81-0x9F or 0xE0-0xFC (wider than the
// lead-byte test), trail 0x40-0x7E or 0x80-0xFC.
constexpr int IsSjisPair(const std::uint8_t* pair) {
  const bool lead = InRange(pair[0], 0x81, 0x9F) || InRange(pair[0], 0xE0, 0xFC);
  const bool trail = InRange(pair[1], 0x40, 0x7E) || InRange(pair[1], 0x80, 0xFC);
  return (lead && trail) ? 1 : 0;
}

}  // namespace corvane
