// The single-byte encodings of the C++ interface (ISO 8859, Windows, DOS, EBCDIC, KOI8, Mac):
// one table lookup a byte or a unit, eight at a time while nothing is missing, and the fault rule
// for the rest.
#include "cxx/codec.h"

namespace corvane::cxx {
namespace {

using standard::EncodingRecord;
using standard::kNoUnit;

constexpr std::size_t kChunk = 8;

Progress DecodeSingleByte(const EncodingRecord& encoding, std::uint8_t&, PieceIn in, char16_t* out,
                          Faults& faults) {
  const std::uint16_t* table = encoding.singleByte->decode;
  const std::uint8_t* s = in.bytes;
  std::size_t i = 0;
  char16_t* o = out;
  while (i < in.size) {
    // Whole chunks go in one go while every byte has a character: one lookup and one store a
    // byte, and one test a chunk.
    for (; in.size - i >= kChunk; i += kChunk) {
      bool missing = false;
      for (std::size_t k = 0; k < kChunk; ++k) {
        const std::uint16_t u = table[s[i + k]];
        o[k] = u;
        missing |= u == kNoUnit;
      }
      if (missing) break;
      o += kChunk;
    }
    const std::size_t end = std::min(in.size, i + kChunk);
    for (; i < end; ++i) {
      const std::uint16_t u = table[s[i]];
      if (u != kNoUnit) {
        *o++ = u;
      } else if (faults.Malformed(i, encoding)) {
        *o++ = 0xFFFD;
      }
    }
  }
  return {i, static_cast<std::size_t>(o - out)};
}

// The byte for unit u, or -1 when the encoding has none.
int ByteFor(const standard::SingleByteTable& table, char32_t u) {
  if (u > 0xFFFF) return -1;
  const std::uint8_t page = table.encodePageOf[u >> 8];
  const std::uint8_t b = table.encodePages[std::size_t{page} * 256 + (u & 0xFF)];
  return b != 0 || u == 0 ? b : -1;
}

Progress EncodeSingleByte(const EncodingRecord& encoding, std::uint8_t&, UnitsIn in, char* out,
                          Faults& faults) {
  const standard::SingleByteTable& table = *encoding.singleByte;
  const std::uint8_t* lowPage = table.encodePages + std::size_t{table.encodePageOf[0]} * 256;
  const int question = ByteFor(table, u'?');
  std::size_t i = 0;
  char* o = out;
  while (i < in.size) {
    for (; in.size - i >= kChunk; i += kChunk) {
      bool missing = false;
      for (std::size_t k = 0; k < kChunk; ++k) {
        const char16_t u = in.units[i + k];
        const std::uint8_t b = lowPage[u & 0xFF];
        o[k] = static_cast<char>(b);
        missing |= u > 0xFF || (b == 0 && u != 0);
      }
      if (missing) break;
      o += kChunk;
    }
    const std::size_t end = std::min(in.size, i + kChunk);
    while (i < end) {
      std::size_t length;
      const char32_t c = CodePointAt(in, i, length);
      if (length == 0) return {i, static_cast<std::size_t>(o - out)};
      const int b = ByteFor(table, c);
      if (b >= 0) {
        *o++ = static_cast<char>(b);
      } else if (faults.Unmappable(i, c, encoding) && question >= 0) {
        *o++ = static_cast<char>(question);
      }
      i += length;
    }
  }
  return {i, static_cast<std::size_t>(o - out)};
}

}  // namespace

const FamilyCodec kSingleByteCodec = {DecodeSingleByte, EncodeSingleByte, 1};

}  // namespace corvane::cxx
