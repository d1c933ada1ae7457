// The double-byte encodings of the C++ interface: Shift_JIS (CP932), Big5 (CP950), EUC-KR (UHC),
// GBK and GB18030, and EUC-JP, which add three- and four-byte forms to the same lead and trail
// tables.
//
// Decoding goes by the C interface's block kernels (convert/double_byte_blocks.h), which read
// these tables as they read the C interface's own: every character's unit in one lookup, with
// no test of what it is. A table marks "no character" with U+FFFD, which no byte sequence of
// these encodings stands for, so a run of blocks whose units hold none was all characters; a run
// that holds one goes again through the character rule below, which tells malformed input from
// a three- or four-byte form and applies the caller's OnError.
//
// The character rule, for a lead byte whose pair has no character: a second byte below 0x80 is
// not taken with it (it may be ASCII that a cut-off pair left behind) and is read again as a
// character of its own; any other second byte is taken, and the pair is one malformed sequence.
#include <algorithm>

#include "convert/double_byte_blocks.h"
#include "cxx/codec.h"
#include "cxx/no_unit_scan.h"

namespace corvane::cxx {
namespace {

using standard::EncodingRecord;
using standard::Family;
using standard::kElsewhere;
using standard::kNoUnit;

constexpr std::size_t kKernelMinimum = 128;  // bytes left below which the blocks do not pay
constexpr std::size_t kStretch = 16384;      // bytes per run of blocks that is checked as one
constexpr std::uint32_t kSupplementaryLinear = 189000;
constexpr std::size_t kChunk = 16;  // units the encoder takes in one go

constexpr bool IsGb18030Digit(std::uint8_t b) {
  return b >= 0x30 && b <= 0x39;
}
constexpr bool IsGb18030Byte(std::uint8_t b) {
  return b >= 0x81 && b <= 0xFE;
}

// The code point of a four-byte GB18030 form by its linear index, or 0 for none.
char32_t Gb18030CodePoint(const standard::Gb18030Ranges& ranges, std::uint32_t linear) {
  if (linear >= kSupplementaryLinear) {
    const std::uint32_t c = 0x10000 + (linear - kSupplementaryLinear);
    return c <= 0x10FFFF ? c : 0;
  }
  if (linear >= ranges.bmpLinearEnd) return 0;
  const std::uint32_t* end = ranges.firstLinear + ranges.count;
  const std::size_t r = static_cast<std::size_t>(std::upper_bound(ranges.firstLinear, end, linear) -
                                                 ranges.firstLinear);
  if (r == 0) return 0;
  return ranges.firstUnit[r - 1] + (linear - ranges.firstLinear[r - 1]);
}

// The linear index of a BMP unit whose form is four bytes.
std::uint32_t Gb18030Linear(const standard::Gb18030Ranges& ranges, char32_t unit) {
  const std::uint16_t* end = ranges.firstUnit + ranges.count;
  const std::size_t r = static_cast<std::size_t>(
      std::upper_bound(ranges.firstUnit, end, static_cast<std::uint16_t>(unit)) - ranges.firstUnit);
  return ranges.firstLinear[r - 1] + (static_cast<std::uint32_t>(unit) - ranges.firstUnit[r - 1]);
}

char* PutGb18030Linear(std::uint32_t linear, char* o) {
  *o++ = static_cast<char>(0x81 + linear / 12600);
  *o++ = static_cast<char>(0x30 + linear / 1260 % 10);
  *o++ = static_cast<char>(0x81 + linear / 10 % 126);
  *o++ = static_cast<char>(0x30 + linear % 10);
  return o;
}

// One character at s[i] by the rule: how many bytes it takes (0: the piece cuts it off and is not
// the last), what it stores going through `o`.
std::size_t DecodeCharacter(const EncodingRecord& encoding, const PieceIn& in, std::size_t i,
                            char16_t*& o, Faults& faults) {
  const DbcsDecodeIndex& index = encoding.doubleByte->decode;
  const std::uint8_t* s = in.bytes + i;
  const std::size_t left = in.size - i;
  const auto fault = [&](std::size_t length) {
    if (faults.Malformed(i, encoding)) *o++ = 0xFFFD;
    return length;
  };
  // Whether the piece holds `need` bytes here; when not, the caller waits or it is a fault.
  const auto cut = [&](std::size_t need) { return left < need && !in.last; };
  const std::uint8_t b = s[0];
  if (!IsLeadByteOf(index.leads, b)) {
    const std::uint16_t u = index.units[b];
    if (u != kNoUnit) {
      *o++ = u;
      return 1;
    }
    if (encoding.family != Family::kEucJp || b != 0x8F) return fault(1);
    // JIS X 0212: 0x8F, row, cell.
    if (cut(3)) return 0;
    if (left < 3 || s[1] < 0xA1 || s[1] > 0xFE || s[2] < 0xA1 || s[2] > 0xFE) return fault(1);
    const std::uint16_t v = encoding.jis0212->decode[(s[1] - 0xA1) * 94 + (s[2] - 0xA1)];
    if (v == kNoUnit) return fault(3);
    *o++ = v;
    return 3;
  }
  if (cut(2)) return 0;
  if (left < 2) return fault(1);
  const std::uint16_t u = DecodePair(index, b, s[1]);
  if (u != kNoUnit) {
    *o++ = u;
    return 2;
  }
  const bool fourByte = encoding.family == Family::kGb18030 || encoding.family == Family::kGbk;
  if (fourByte && IsGb18030Digit(s[1])) {
    if (cut(4)) return 0;
    if (left < 4 || !IsGb18030Byte(s[2]) || !IsGb18030Digit(s[3])) return fault(1);
    const std::uint32_t linear =
        (b - 0x81u) * 12600 + (s[1] - 0x30u) * 1260 + (s[2] - 0x81u) * 10 + (s[3] - 0x30u);
    const char32_t c = Gb18030CodePoint(*encoding.gb18030, linear);
    if (c == 0) return fault(4);
    o = PutCodePoint(c, o);
    return 4;
  }
  return fault(s[1] < 0x80 ? 1 : 2);
}

Progress DecodeDoubleByte(const EncodingRecord& encoding, std::uint8_t&, PieceIn in, char16_t* out,
                          Faults& faults) {
  const DbcsDecodeIndex& index = encoding.doubleByte->decode;
  std::size_t i = 0;
  std::size_t byRule = 0;  // up to here the character rule decodes: a run of blocks held a fault
  char16_t* o = out;
  while (i < in.size) {
    if (i >= byRule && in.size - i >= kKernelMinimum) {
      const std::size_t stretch = std::min(in.size - i, kStretch);
      const BlockProgress run = DecodeDoubleByteBlocks(index, PairRule::kAny, in.bytes + i, stretch,
                                                       reinterpret_cast<Utf16Unit*>(o), stretch);
      if (HasNoUnitLong(o, run.written)) {
        byRule = i + run.read;
      } else {
        i += run.read;
        o += run.written;
        if (i == in.size) break;
      }
    }
    const std::size_t taken = DecodeCharacter(encoding, in, i, o, faults);
    if (taken == 0) break;
    i += taken;
  }
  return {i, static_cast<std::size_t>(o - out)};
}

// The bytes of code point c in `encoding`, written through `o`; false when it has none.
bool EncodeCharacter(const EncodingRecord& encoding, char32_t c, char*& o) {
  const standard::Family family = encoding.family;
  if (c > 0xFFFF) {
    if (family != Family::kGb18030) return false;
    o = PutGb18030Linear(kSupplementaryLinear + static_cast<std::uint32_t>(c - 0x10000), o);
    return true;
  }
  const std::uint16_t v = encoding.doubleByte->encode[c];
  if (v < 0x100) {
    *o++ = static_cast<char>(v);
  } else if (v != kElsewhere) {
    *o++ = static_cast<char>(v & 0xFF);
    *o++ = static_cast<char>(v >> 8);
  } else if (family == Family::kGb18030) {
    o = PutGb18030Linear(Gb18030Linear(*encoding.gb18030, c), o);
  } else if (family == Family::kEucJp) {
    const standard::Jis0212Table& jis = *encoding.jis0212;
    const std::uint16_t* end = jis.encodeUnits + jis.encodeCount;
    const std::uint16_t* at = std::lower_bound(jis.encodeUnits, end, static_cast<std::uint16_t>(c));
    if (at == end || *at != c) return false;
    const std::uint16_t code = jis.encodeCodes[at - jis.encodeUnits];
    *o++ = static_cast<char>(0x8F);
    *o++ = static_cast<char>(code >> 8);
    *o++ = static_cast<char>(code & 0xFF);
  } else {
    return false;  // GBK writes no four-byte form
  }
  return true;
}

// Whether [from, to), 16 to 32 bytes, holds 0xFF: the bytes of kElsewhere. Only one form has the
// byte (CP932's 0xFF for U+F8F3, a private-use character), which sends its chunk the slow way
// for nothing.
bool HasElsewhere(const char* from, const char* to) {
#if defined(__SSE2__) || defined(_M_X64)
  const __m128i ff = _mm_set1_epi8(-1);
  const __m128i first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
  const __m128i last = _mm_loadu_si128(reinterpret_cast<const __m128i*>(to - 16));
  return _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(first, ff), _mm_cmpeq_epi8(last, ff))) != 0;
#else
  return std::find(from, to, '\xFF') != to;
#endif
}

Progress EncodeDoubleByte(const EncodingRecord& encoding, std::uint8_t&, UnitsIn in, char* out,
                          Faults& faults) {
  // Locals: stores through a char pointer may alias anything, and would make the compiler reload
  // what it reads through `in` and `encoding` for every unit.
  const std::uint16_t* const table = encoding.doubleByte->encode;
  const char16_t* const units = in.units;
  const std::size_t size = in.size;
  std::size_t i = 0;
  char* o = out;
  while (i < size) {
    // Sixteen units at a time, each written as its table value stands: both bytes are stored and
    // the output moves on by one or two, so mixed text costs no branch a character. A unit with
    // no form, or a longer one, writes FF FF, and a chunk whose bytes hold 0xFF is undone and
    // goes unit by unit. The look trails a chunk behind: 16-byte loads of bytes just stored one
    // at a time would each wait for those stores to reach the cache.
    char* behind = nullptr;  // the chunk before this one, written but not yet looked at
    for (; size - i >= kChunk; i += kChunk) {
      char* const start = o;
      for (std::size_t k = 0; k < kChunk; ++k) {
        const std::uint32_t v = table[units[i + k]];
        o[0] = static_cast<char>(v & 0xFF);
        o[1] = static_cast<char>(v >> 8);
        o += 1 + ((v + 0xFF00u) >> 16);  // a carry, not a compare, which compilers make a branch
      }
      if (behind != nullptr && HasElsewhere(behind, start)) {
        i -= kChunk;
        o = behind;
        behind = nullptr;  // it is the chunk the loop below takes now
        break;
      }
      behind = start;
    }
    if (behind != nullptr && HasElsewhere(behind, o)) {
      i -= kChunk;
      o = behind;
    }
    const std::size_t end = std::min(in.size, i + kChunk);
    while (i < end) {
      std::size_t length;
      const char32_t c = CodePointAt(in, i, length);
      if (length == 0) return {i, static_cast<std::size_t>(o - out)};
      if (!IsSurrogate(c) && EncodeCharacter(encoding, c, o)) {
        // written
      } else if (faults.Unmappable(i, c, encoding)) {
        *o++ = '?';
      }
      i += length;
    }
  }
  return {i, static_cast<std::size_t>(o - out)};
}

}  // namespace

const FamilyCodec kDoubleByteCodec = {DecodeDoubleByte, EncodeDoubleByte, 4};

}  // namespace corvane::cxx
