// What the decoders and encoders of each family share with the streaming shells (decoder.cpp,
// encoder.cpp): one function per direction and family that converts a piece in one go, and the
// fault rule that each of them applies where the input cannot be converted.
//
// A piece function converts everything it can see whole. Not `last`, it stops before a character
// the end of the piece cuts off (at most three bytes, or one high surrogate), and the shell
// carries those into the next piece; `last`, what is cut off is malformed. Output room is the
// shell's concern: it hands over at least Decoder::max_units or Encoder::max_bytes, and the
// functions never test for room.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "corvane.hpp"
#include "cxx/tables/standard_tables.h"

namespace corvane::cxx {

struct Progress {
  std::size_t read;     // bytes (decoding) or units (encoding) taken
  std::size_t written;  // units or bytes written
};

// Applies the caller's OnError to each fault and keeps the Report. `base` is the stream offset
// of the piece's first element, so that offsets count from the start of the stream.
class Faults {
 public:
  Faults(OnError policy, Report& report, std::uint64_t base) noexcept
      : policy_(policy), report_(report), base_(base) {}

  // A malformed sequence at piece offset `at`; true when a replacement is to be written.
  bool Malformed(std::size_t at, const standard::EncodingRecord& encoding) {
    if (policy_ == OnError::strict) ThrowMalformed(at, encoding);
    Count(at);
    return policy_ == OnError::replace;
  }
  // A character (code point `c`) the encoding lacks, at piece offset `at`.
  bool Unmappable(std::size_t at, char32_t c, const standard::EncodingRecord& encoding) {
    if (policy_ == OnError::strict) ThrowUnmappable(at, c, encoding);
    Count(at);
    return policy_ == OnError::replace;
  }

 private:
  void Count(std::size_t at) noexcept {
    if (report_.replaced++ == 0) report_.first = static_cast<std::size_t>(base_ + at);
  }
  [[noreturn]] void ThrowMalformed(std::size_t at, const standard::EncodingRecord& encoding);
  [[noreturn]] void ThrowUnmappable(std::size_t at, char32_t c,
                                    const standard::EncodingRecord& encoding);

  OnError policy_;
  Report& report_;
  std::uint64_t base_;
};

// The per-stream state a family keeps between pieces: ISO-2022-JP's shift (Jis* below), the
// byte order of "UTF-16" and "UTF-32" (kBigEndian, kLittleEndian once decided).
enum : std::uint8_t { kUndecided = 0, kBigEndian = 1, kLittleEndian = 2 };
enum : std::uint8_t { kJisAscii = 0, kJisRoman = 1, kJis0208 = 2 };

struct PieceIn {
  const std::uint8_t* bytes;
  std::size_t size;
  bool last;
};
struct UnitsIn {
  const char16_t* units;
  std::size_t size;
  bool last;
};

using DecodePiece = Progress (*)(const standard::EncodingRecord& encoding, std::uint8_t& mode,
                                 PieceIn in, char16_t* out, Faults& faults);
using EncodePiece = Progress (*)(const standard::EncodingRecord& encoding, std::uint8_t& mode,
                                 UnitsIn in, char* out, Faults& faults);

struct FamilyCodec {
  DecodePiece decode;
  EncodePiece encode;
  std::size_t maxBytesPerUnit;  // encoding, a replacement and a change of shift state included
};

const FamilyCodec& CodecOf(standard::Family family);

// The families' codecs, one per file.
extern const FamilyCodec kUnicodeCodecs[7];  // kUtf8 ... kUtf32, in Family order
extern const FamilyCodec kSingleByteCodec;
extern const FamilyCodec kDoubleByteCodec;  // kDoubleByte, kEucJp, kGb18030, kGbk
extern const FamilyCodec kIso2022JpCodec;

// Shared by the families.
constexpr bool IsSurrogate(char32_t u) {
  return u >= 0xD800 && u <= 0xDFFF;
}
constexpr bool IsHighSurrogate(char32_t u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
constexpr bool IsLowSurrogate(char32_t u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}
constexpr char32_t JoinPair(char32_t high, char32_t low) {
  return 0x10000 + ((high - 0xD800) << 10) + (low - 0xDC00);
}
inline char16_t* PutCodePoint(char32_t c, char16_t* out) {
  if (c < 0x10000) {
    *out++ = static_cast<char16_t>(c);
  } else {
    *out++ = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
    *out++ = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
  }
  return out;
}

// Stores eight units as eight bytes if all are U+0001-U+007F; false (and o's eight bytes
// scribbled on) otherwise.
inline bool NarrowEightAscii(const char16_t* units, char* o) {
#if defined(__SSE2__) || defined(_M_X64)
  const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units));
  const __m128i zero = _mm_setzero_si128();
  const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(u, _mm_set1_epi16(-0x80)), zero);
  const __m128i good = _mm_andnot_si128(_mm_cmpeq_epi16(u, zero), ascii);
  _mm_storel_epi64(reinterpret_cast<__m128i*>(o), _mm_packus_epi16(u, u));
  return _mm_movemask_epi8(good) == 0xFFFF;
#else
  bool other = false;
  for (std::size_t k = 0; k < 8; ++k)
    other |= units[k] - 1u >= 0x7Fu;
  for (std::size_t k = 0; k < 8; ++k)
    o[k] = static_cast<char>(units[k]);
  return !other;
#endif
}

// The unit at units[i] as a code point, a surrogate pair joined. Sets `length` to the units it
// took (1 or 2); 0 when units[i] is a high surrogate at the end of a piece that is not the last,
// which waits for the next piece.
inline char32_t CodePointAt(const UnitsIn& in, std::size_t i, std::size_t& length) {
  const char32_t u = in.units[i];
  length = 1;
  if (!IsHighSurrogate(u)) return u;
  if (i + 1 == in.size) {
    if (!in.last) length = 0;
    return u;
  }
  const char32_t low = in.units[i + 1];
  if (!IsLowSurrogate(low)) return u;
  length = 2;
  return JoinPair(u, low);
}

}  // namespace corvane::cxx
