// UTF-8, UTF-16 and UTF-32 for the C++ interface, by the Unicode standard's rules rather than the
// C interface's: overlong forms, encoded surrogates and code points above U+10FFFF are malformed,
// a lone surrogate is never written, and each malformed sequence is replaced by one U+FFFD as
// the standard recommends (the longest start of a well-formed sequence counts as one; the byte
// that breaks it starts the next).
//
// UTF-8 runs through the C interface's bulk kernels (utf8/utf8_kernels.h), in the form that
// stops before the three forms their arithmetic lets through and the standard forbids (C0/C1
// leads, E0 with a second byte below A0, ED with one from A0); where a kernel has no such form,
// what it took is checked for them, and a stretch that holds one goes through the character rule
// here instead.
#include <algorithm>

#include "cxx/codec.h"
#include "utf8/utf8_kernels.h"

namespace corvane::cxx {
namespace {

using standard::EncodingRecord;

// Below this many bytes (units) left, the kernels' setup costs more than they save.
constexpr std::size_t kKernelMinimum = 64;
// Units per stretch that the encoder checks for surrogates before handing it to a kernel.
constexpr std::size_t kEncodeStretch = 4096;
// Units the rule takes where a kernel that looks for surrogates stopped: more than a block.
constexpr std::size_t kRuleBlock = 32;

// Whether s[0, n), whole characters that a decoding kernel took, holds a form the standard
// forbids and the kernel's arithmetic allows.
bool HasForbiddenForm(const std::uint8_t* s, std::size_t n) {
  unsigned bad = 0;
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const unsigned b = s[i];
    const unsigned next = s[i + 1];
    bad |= static_cast<unsigned>(b == 0xC0 || b == 0xC1) |
           static_cast<unsigned>(b == 0xE0 && next < 0xA0) |
           static_cast<unsigned>(b == 0xED && next >= 0xA0);
  }
  return bad != 0;
}

bool HasSurrogate(const char16_t* u, std::size_t n) {
  unsigned any = 0;
  for (std::size_t i = 0; i < n; ++i)
    any |= static_cast<unsigned>((u[i] & 0xF800) == 0xD800);
  return any != 0;
}

Progress DecodeUtf8(const EncodingRecord& encoding, std::uint8_t&, PieceIn in, char16_t* out,
                    Faults& faults) {
  const std::uint8_t* s = in.bytes;
  const std::size_t n = in.size;
  const Utf8Kernels& kernels = ChosenUtf8Kernels();
  std::size_t i = 0;
  std::size_t byRule = 0;  // up to here the character rule decodes: a kernel's run held a fault
  char16_t* o = out;
  while (i < n) {
    if (i >= byRule && n - i >= kKernelMinimum) {
      auto* const units = reinterpret_cast<Utf16Unit*>(o);
      if (kernels.decodeStandard != nullptr) {
        const KernelProgress run = kernels.decodeStandard(s + i, n - i, units, n - i);
        i += run.read;
        o += run.written;
      } else if (const KernelProgress run = kernels.decode(s + i, n - i, units, n - i);
                 HasForbiddenForm(s + i, run.read)) {
        byRule = i + run.read;
      } else {
        i += run.read;
        o += run.written;
      }
      if (i == n) break;
    }
    const std::uint8_t b = s[i];
    if (b < 0x80) {
      *o++ = b;
      ++i;
      continue;
    }
    std::size_t need;
    char32_t c;
    std::uint8_t low = 0x80;
    std::uint8_t high = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) {
      need = 1, c = b & 0x1Fu;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need = 2, c = b & 0x0Fu;
      if (b == 0xE0) low = 0xA0;
      if (b == 0xED) high = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      need = 3, c = b & 0x07u;
      if (b == 0xF0) low = 0x90;
      if (b == 0xF4) high = 0x8F;
    } else {
      if (faults.Malformed(i, encoding)) *o++ = 0xFFFD;
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    for (; j < n && j <= i + need; ++j) {
      if (s[j] < low || s[j] > high) break;
      c = (c << 6) | (s[j] & 0x3Fu);
      low = 0x80, high = 0xBF;
    }
    if (j == i + need + 1) {
      o = PutCodePoint(c, o);
    } else if (j == n && !in.last) {
      break;  // cut off by the end of the piece: the next one completes it
    } else if (faults.Malformed(i, encoding)) {
      *o++ = 0xFFFD;
    }
    i = j;
  }
  return {i, static_cast<std::size_t>(o - out)};
}

char* PutUtf8(char32_t c, char* o) {
  if (c < 0x80) {
    *o++ = static_cast<char>(c);
  } else if (c < 0x800) {
    *o++ = static_cast<char>(0xC0 | (c >> 6));
    *o++ = static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *o++ = static_cast<char>(0xE0 | (c >> 12));
    *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *o++ = static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *o++ = static_cast<char>(0xF0 | (c >> 18));
    *o++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *o++ = static_cast<char>(0x80 | (c & 0x3F));
  }
  return o;
}

Progress EncodeUtf8(const EncodingRecord& encoding, std::uint8_t&, UnitsIn in, char* out,
                    Faults& faults) {
  const Utf8Kernels& kernels = ChosenUtf8Kernels();
  std::size_t i = 0;
  char* o = out;
  while (i < in.size) {
    // The kernels take what they can; the rule takes the block where one stopped (a surrogate,
    // or the last units), or, with a kernel that does not look for surrogates, every stretch
    // that holds one.
    std::size_t end = std::min(in.size, i + kEncodeStretch);
    const auto* units = reinterpret_cast<const Utf16Unit*>(in.units + i);
    auto* bytes = reinterpret_cast<std::uint8_t*>(o);
    if (kernels.encodeStandard != nullptr) {
      if (in.size - i >= kKernelMinimum) {
        const KernelProgress run =
            kernels.encodeStandard(units, in.size - i, bytes, 3 * (in.size - i));
        i += run.read;
        o += run.written;
      }
      end = std::min(in.size, i + kRuleBlock);
    } else if (end - i >= kKernelMinimum && !HasSurrogate(in.units + i, end - i)) {
      const KernelProgress run = kernels.encode(units, end - i, bytes, 3 * (end - i));
      i += run.read;
      o += run.written;
    }
    while (i < end) {
      std::size_t length;
      const char32_t c = CodePointAt(in, i, length);
      if (length == 0) return {i, static_cast<std::size_t>(o - out)};
      if (!IsSurrogate(c)) {
        o = PutUtf8(c, o);
      } else if (faults.Unmappable(i, c, encoding)) {
        o = PutUtf8(0xFFFD, o);
      }
      i += length;
    }
  }
  return {i, static_cast<std::size_t>(o - out)};
}

// UTF-16 and UTF-32 in either byte order; `mode` holds the order once decided.
template <std::size_t kWidth>
char32_t ReadUnit(const std::uint8_t* p, bool bigEndian) {
  char32_t v = 0;
  for (std::size_t k = 0; k < kWidth; ++k) {
    const std::size_t shift = bigEndian ? 8 * (kWidth - 1 - k) : 8 * k;
    v |= static_cast<char32_t>(p[k]) << shift;
  }
  return v;
}

template <std::size_t kWidth>
char* WriteUnit(char32_t v, bool bigEndian, char* o) {
  for (std::size_t k = 0; k < kWidth; ++k) {
    const std::size_t shift = bigEndian ? 8 * (kWidth - 1 - k) : 8 * k;
    *o++ = static_cast<char>((v >> shift) & 0xFF);
  }
  return o;
}

// For "UTF-16" and "UTF-32": decides the byte order from a byte order mark, which it takes away,
// or big-endian without one. False while too few bytes have come to tell.
template <std::size_t kWidth>
bool DecideByteOrder(std::uint8_t& mode, const PieceIn& in, std::size_t& i) {
  if (mode != kUndecided) return true;
  if (in.size < kWidth && !in.last) return false;
  mode = kBigEndian;
  if (in.size >= kWidth) {
    const char32_t mark = ReadUnit<kWidth>(in.bytes, true);
    if (mark == 0xFEFF) {
      i = kWidth;
    } else if (mark == (kWidth == 2 ? 0xFFFEu : 0xFFFE0000u)) {
      mode = kLittleEndian;
      i = kWidth;
    }
  }
  return true;
}

template <std::size_t kWidth, std::uint8_t kOrder>
Progress DecodeUtf16Or32(const EncodingRecord& encoding, std::uint8_t& mode, PieceIn in,
                         char16_t* out, Faults& faults) {
  std::size_t i = 0;
  char16_t* o = out;
  if constexpr (kOrder == kUndecided) {
    if (!DecideByteOrder<kWidth>(mode, in, i)) return {0, 0};
  }
  const bool big = (kOrder == kUndecided ? mode : kOrder) == kBigEndian;
  const auto fault = [&](std::size_t at) {
    if (faults.Malformed(at, encoding)) *o++ = 0xFFFD;
  };
  while (in.size - i >= kWidth) {
    const char32_t u = ReadUnit<kWidth>(in.bytes + i, big);
    if constexpr (kWidth == 4) {
      if (u > 0x10FFFF || IsSurrogate(u)) {
        fault(i);
      } else {
        o = PutCodePoint(u, o);
      }
      i += 4;
      continue;
    }
    if (!IsSurrogate(u)) {
      *o++ = static_cast<char16_t>(u);
      i += 2;
    } else if (IsLowSurrogate(u)) {
      fault(i);
      i += 2;
    } else if (in.size - i < 4) {
      if (!in.last) break;
      fault(i);
      i += 2;
    } else if (const char32_t low = ReadUnit<kWidth>(in.bytes + i + 2, big); IsLowSurrogate(low)) {
      *o++ = static_cast<char16_t>(u);
      *o++ = static_cast<char16_t>(low);
      i += 4;
    } else {
      fault(i);
      i += 2;
    }
  }
  if (in.last && i < in.size && in.size - i < kWidth) {
    fault(i);
    i = in.size;
  }
  return {i, static_cast<std::size_t>(o - out)};
}

template <std::size_t kWidth, std::uint8_t kOrder>
Progress EncodeUtf16Or32(const EncodingRecord& encoding, std::uint8_t&, UnitsIn in, char* out,
                         Faults& faults) {
  constexpr bool kBig = kOrder != kLittleEndian;  // "UTF-16" and "UTF-32" write big-endian
  std::size_t i = 0;
  char* o = out;
  while (i < in.size) {
    std::size_t length;
    char32_t c = CodePointAt(in, i, length);
    if (length == 0) break;
    if (IsSurrogate(c)) {
      if (!faults.Unmappable(i, c, encoding)) {
        i += length;
        continue;
      }
      c = 0xFFFD;
    }
    if constexpr (kWidth == 4) {
      o = WriteUnit<4>(c, kBig, o);
    } else if (c < 0x10000) {
      o = WriteUnit<2>(c, kBig, o);
    } else {
      o = WriteUnit<2>(0xD800 + ((c - 0x10000) >> 10), kBig, o);
      o = WriteUnit<2>(0xDC00 + ((c - 0x10000) & 0x3FF), kBig, o);
    }
    i += length;
  }
  return {i, static_cast<std::size_t>(o - out)};
}

}  // namespace

// In Family order: kUtf8, kUtf16Le, kUtf16Be, kUtf16, kUtf32Le, kUtf32Be, kUtf32.
const FamilyCodec kUnicodeCodecs[7] = {
    {DecodeUtf8, EncodeUtf8, 3},
    {DecodeUtf16Or32<2, kLittleEndian>, EncodeUtf16Or32<2, kLittleEndian>, 2},
    {DecodeUtf16Or32<2, kBigEndian>, EncodeUtf16Or32<2, kBigEndian>, 2},
    {DecodeUtf16Or32<2, kUndecided>, EncodeUtf16Or32<2, kUndecided>, 2},
    {DecodeUtf16Or32<4, kLittleEndian>, EncodeUtf16Or32<4, kLittleEndian>, 4},
    {DecodeUtf16Or32<4, kBigEndian>, EncodeUtf16Or32<4, kBigEndian>, 4},
    {DecodeUtf16Or32<4, kUndecided>, EncodeUtf16Or32<4, kUndecided>, 4},
};

}  // namespace corvane::cxx
