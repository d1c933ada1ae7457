// The single-byte encodings of the C++ interface (ISO 8859, Windows, DOS, EBCDIC, KOI8, Mac):
// one table lookup a byte or a unit, eight at a time while nothing is missing, and the fault rule
// for the rest.
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "cxx/codec.h"
#include "cxx/no_unit_scan.h"

namespace corvane::cxx {
namespace {

using standard::EncodingRecord;
using standard::kNoUnit;

constexpr std::size_t kChunk = 8;     // bytes or units tested as one
constexpr std::size_t kStretch = 64;  // bytes decoded before one scan for a missing character

// Whether the eight bytes of `word` all lie in 0x01-0x7F (a 0 byte borrows into its high bit).
constexpr bool AllAsciiLetters(std::uint64_t word) {
  return ((word | (word - 0x0101010101010101u)) & 0x8080808080808080u) == 0;
}

// Stores eight bytes as eight units: one unpack where SSE2 is there (GCC does not vectorise the
// loop, for the bytes might be the units).
inline void WidenEight(const std::uint8_t* from, char16_t* to) {
#if defined(__SSE2__) || defined(_M_X64)
  const __m128i bytes = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(from));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_unpacklo_epi8(bytes, _mm_setzero_si128()));
#else
  for (std::size_t j = 0; j < kChunk; ++j)
    to[j] = from[j];
#endif
}

// The decoder, compiled once for the build's baseline and, where the compiler can, once for AVX2,
// whose scan for U+FFFD takes half the instructions.
template <bool (*kHasNoUnit)(const char16_t*, std::size_t)>
[[gnu::always_inline]] inline Progress DecodeSingleByteWith(const EncodingRecord& encoding,
                                                            PieceIn in, char16_t* out,
                                                            Faults& faults) {
  const std::uint16_t* const table = encoding.singleByte->decode;
  const bool keepsAscii = encoding.singleByte->keepsAscii;
  const bool complete = encoding.singleByte->complete;
  const std::uint8_t* const s = in.bytes;
  const std::size_t size = in.size;
  std::size_t i = 0;
  char16_t* o = out;
  while (i < size) {
    // A stretch at a time: ASCII widened as it stands where the table keeps it, every other byte
    // looked up, with no test a byte; then one scan for a byte without a character, which sends
    // the stretch to the rule below. The scan trails a stretch behind: 16-byte loads of units
    // just stored two bytes at a time would each wait for those stores to reach the cache.
    bool behind = false;  // the stretch before o is looked up but not yet scanned
    for (; size - i >= kStretch; i += kStretch) {
      for (std::size_t k = i; k < i + kStretch; k += kChunk) {
        std::uint64_t word;
        std::memcpy(&word, s + k, sizeof word);
        char16_t* const to = o + (k - i);
        if (keepsAscii && AllAsciiLetters(word)) {
          WidenEight(s + k, to);
        } else {
          for (std::size_t j = 0; j < kChunk; ++j)
            to[j] = table[s[k + j]];
        }
      }
      if (!complete && behind && kHasNoUnit(o - kStretch, kStretch)) {
        i -= kStretch;
        o -= kStretch;
        behind = false;  // it is the stretch the rule takes now
        break;
      }
      o += kStretch;
      behind = true;
    }
    if (!complete && behind && kHasNoUnit(o - kStretch, kStretch)) {
      i -= kStretch;
      o -= kStretch;
    }
    const std::size_t end = std::min(size, i + kStretch);
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

Progress DecodeSingleByteBaseline(const EncodingRecord& encoding, PieceIn in, char16_t* out,
                                  Faults& faults) {
  return DecodeSingleByteWith<HasNoUnit>(encoding, in, out, faults);
}

#if defined(CORVANE_CXX_AVX2)
CORVANE_CXX_TARGET_AVX2 Progress DecodeSingleByteAvx2(const EncodingRecord& encoding, PieceIn in,
                                                      char16_t* out, Faults& faults) {
  return DecodeSingleByteWith<HasNoUnitAvx2>(encoding, in, out, faults);
}
#endif

Progress DecodeSingleByte(const EncodingRecord& encoding, std::uint8_t&, PieceIn in, char16_t* out,
                          Faults& faults) {
#if defined(CORVANE_CXX_AVX2)
  if (ProcessorHasAvx2()) return DecodeSingleByteAvx2(encoding, in, out, faults);
#endif
  return DecodeSingleByteBaseline(encoding, in, out, faults);
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
  const int question = ByteFor(table, u'?');
  // Locals: stores through a char pointer may alias anything, and would make the compiler reload
  // what it reads through `in` and `table` for every unit.
  const bool keepsAscii = table.keepsAscii;
  const std::uint8_t* const pageOf = table.encodePageOf;
  const std::uint8_t* const pages = table.encodePages;
  const char16_t* const units = in.units;
  const std::size_t size = in.size;
  std::size_t i = 0;
  char* o = out;
  while (i < size) {
    for (; size - i >= kChunk; i += kChunk) {
      if (keepsAscii && NarrowEightAscii(units + i, o)) {  // U+0001-U+007F as they stand
        o += kChunk;
        continue;
      }
      bool missing = false;
      for (std::size_t k = 0; k < kChunk; ++k) {
        const char16_t u = units[i + k];
        const std::uint8_t b = pages[std::size_t{pageOf[u >> 8]} * 256 + (u & 0xFF)];
        o[k] = static_cast<char>(b);
        missing |= b == 0;  // U+0000 too: its byte is 0 like a missing one's
      }
      if (missing) break;
      o += kChunk;
    }
    const std::size_t end = std::min(size, i + kChunk);
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
