#include "convert/direct_japanese.h"

#include <cstddef>

namespace corvane {

// Fast path for counted EUC-JP on our own tables: an ASCII byte or a well-formed pair becomes
// exactly the unit that transcoding it to Shift_JIS and decoding that would give, without the
// intermediate text. Every pair's Shift_JIS lead is a lead byte, and no single byte below 0x80
// is, so each step is one whole character on both roads and the rest of the text can follow the
// ordinary road from where this stops: at the first byte that needs the transcoder's decision,
// at the last byte, or when the destination is full. Returns the bytes taken.
std::int32_t DecodeEucJpRun(const DbcsDirectIndex& sjis, const std::uint8_t* src, std::int32_t n,
                            Utf16Unit* dst, std::int32_t dstCap, std::int32_t& written) {
  // Copied out of the index: stores through dst would otherwise make the compiler reload them.
  const std::uint8_t* const blockOf = sjis.blockOf;
  const std::uint16_t* const values = sjis.values;
  std::int32_t i = 0;
  std::int32_t w = written;
  // A branch per character, not arithmetic: predicted branches let the next character's loads
  // start before this one is classified, which a data dependency would not.
  while (i + 1 < n && w < dstCap) {
    const unsigned b = src[i];
    if (b < 0x80) {
      // Below 0x80 no byte is a Shift_JIS lead and no key has a character: the byte passes
      // through, except 0, which has no character.
      dst[w++] = static_cast<Utf16Unit>(b != 0 ? b : 0x003Fu);
      i += 1;
      continue;
    }
    const unsigned c = src[i + 1];
    if (!InRange(b, 0xA1, 0xFE) || !InRange(c, 0xA1, 0xFE)) break;
    std::uint8_t lead = 0;
    std::uint8_t trail = 0;
    JisPairToSjis(static_cast<std::uint8_t>(b - 0x80), static_cast<std::uint8_t>(c - 0x80), lead,
                  trail);
    // lead < 256 and blockOf's entries are below the block count: inside values.
    const unsigned unit = values[std::size_t{blockOf[lead]} * 256 + trail];
    dst[w++] = static_cast<Utf16Unit>(unit != 0 ? unit : (unsigned{lead} << 8 | trail));
    i += 2;
  }
  written = w;
  return i;
}

// The same for ISO-2022-JP, with escape sequences and line ends read on the way and the mode
// carried in `mode`. A pair's row byte 0x21-0x7E gives a Shift_JIS lead byte, and a single byte
// below 0x80 is none, so again every step is one whole character on both roads.
std::int32_t DecodeIso2022JpRun(const DbcsDirectIndex& sjis, const std::uint8_t* src,
                                std::int32_t n, Utf16Unit* dst, std::int32_t dstCap,
                                std::int32_t& written, JisShiftState& mode) {
  const std::uint8_t* const blockOf = sjis.blockOf;
  const std::uint16_t* const values = sjis.values;
  std::int32_t i = 0;
  std::int32_t w = written;
  while (i + 2 < n && w < dstCap) {  // an escape sequence that starts here is whole
    const unsigned b = src[i];
    if (b == 0x1B) {
      i += 2 + ParseJisEscape(src[i + 1], mode);
    } else if (b == 0x0A || b == 0x0D) {
      mode = kJisSingleByte;
      dst[w++] = static_cast<Utf16Unit>(b);
      i += 1;
    } else if (mode == kJisTwoByte) {
      if (!InRange(b, 0x21, 0x7E)) break;  // its Shift_JIS lead would be no lead byte
      std::uint8_t lead = 0;
      std::uint8_t trail = 0;
      JisPairToSjis(static_cast<std::uint8_t>(b), src[i + 1], lead, trail);
      const unsigned unit = values[std::size_t{blockOf[lead]} * 256 + trail];
      dst[w++] = static_cast<Utf16Unit>(unit != 0 ? unit : (unsigned{lead} << 8 | trail));
      i += 2;
    } else {
      if (b >= 0x80) break;  // could be a Shift_JIS lead byte
      dst[w++] = static_cast<Utf16Unit>(b != 0 ? b : 0x003Fu);
      i += 1;
    }
  }
  written = w;
  return i;
}

std::int32_t EncodeEucJpRun(const DbcsDirectIndex& sjis, const Utf16Unit* src, std::int32_t n,
                            std::uint8_t* dst, std::int32_t& written) {
  const std::uint8_t* const blockOf = sjis.blockOf;
  const std::uint16_t* const values = sjis.values;
  std::int32_t i = 0;
  std::int32_t w = written;
  for (; i < n; ++i) {
    const unsigned unit = src[i];
    // unit >> 8 < 256 and blockOf's entries are below the block count: inside values.
    const unsigned code = values[std::size_t{blockOf[unit >> 8]} * 256 + (unit & 0xFFu)];
    if (code > 0xFF) {
      const auto lead = static_cast<std::uint8_t>(code >> 8);
      const auto trail = static_cast<std::uint8_t>(code);
      if (!InRange(trail, 0x40, 0xFC)) break;  // the transcoder would not take it as a pair
      std::uint8_t row = 0;
      std::uint8_t cell = 0;
      SjisPairToJis(lead, trail, row, cell);
      dst[w] = static_cast<std::uint8_t>(row + 0x80);
      dst[w + 1] = static_cast<std::uint8_t>(cell + 0x80);
      w += 2;
    } else {
      // A found one-byte code, or on a miss the unit's low byte, as the table road writes it.
      const auto byte = static_cast<std::uint8_t>(code != 0 ? code : unit & 0xFFu);
      if (IsDbcsLeadByte(byte, 932) != 0) break;
      dst[w++] = byte;
    }
  }
  written = w;
  return i;
}

}  // namespace corvane
