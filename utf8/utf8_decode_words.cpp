// The decoder's bulk kernel in portable C++, for every target: eight bytes read as one
// 64-bit word, settled by mask tests where they can be: eight ASCII bytes; the ASCII bytes
// before the first high byte; then three-byte forms two at a time (the bulk of CJK text) in a
// loop of their own while they last, or one, or one two-byte form. Anything else (a four-byte
// form, a fault, the last few bytes) goes back to the caller. Japanese text switches between
// ASCII and CJK every ten characters or so, and each switch costs a mispredicted branch, so the
// loops are shaped to spend one test per switch.
#include <algorithm>
#include <bit>
#include <cstring>

#include "utf8/utf8_kernels.h"

namespace corvane {
namespace {

constexpr std::size_t kWord = 8;

// Eight bytes as one number, first byte lowest, whatever the machine's byte order.
std::uint64_t LoadLittleEndian64(const std::uint8_t* p) {
  std::uint64_t v;
  std::memcpy(&v, p, sizeof v);
  if constexpr (std::endian::native == std::endian::big) {
    std::uint64_t swapped = 0;
    for (int k = 0; k < 8; ++k, v >>= 8) {
      swapped = (swapped << 8) | (v & 0xFF);
    }
    v = swapped;
  }
  return v;
}

// Masks and patterns over a LoadLittleEndian64 word: the high bit of every byte (all clear:
// eight ASCII bytes); two three-byte forms in the first six bytes; one in the first three; one
// two-byte form in the first two.
constexpr std::uint64_t kHighBits = 0x8080808080808080u;
constexpr std::uint64_t kTwoThreeByteMask = 0x0000C0C0F0C0C0F0u;
constexpr std::uint64_t kTwoThreeBytePattern = 0x00008080E08080E0u;
constexpr std::uint64_t kThreeByteMask = 0xC0C0F0u;
constexpr std::uint64_t kThreeBytePattern = 0x8080E0u;
constexpr std::uint64_t kTwoByteMask = 0xC0E0u;
constexpr std::uint64_t kTwoBytePattern = 0x80C0u;

// Stores the eight ASCII bytes of w (first byte lowest) as eight units. On a little-endian
// machine the bytes are spread to 16-bit lanes with shifts and masks, two words at a time.
void WidenAscii(std::uint64_t w, Utf16Unit* out) {
  if constexpr (std::endian::native == std::endian::little) {
    std::uint64_t lanes[2];
    for (std::size_t half = 0; half < 2; ++half) {
      std::uint64_t x = (w >> (32 * half)) & 0xFFFFFFFFu;
      x = (x | (x << 16)) & 0x0000FFFF0000FFFFu;
      x = (x | (x << 8)) & 0x00FF00FF00FF00FFu;
      lanes[half] = x;
    }
    std::memcpy(out, lanes, sizeof lanes);
  } else {
    for (std::size_t k = 0; k < 8; ++k) {
      out[k] = static_cast<Utf16Unit>((w >> (8 * k)) & 0xFF);
    }
  }
}

// Stores the first `count` (1-7) bytes of w, all ASCII, as units, with two overlapping
// fixed-size stores rather than a loop whose length changes with every run.
void StoreAsciiPrefix(std::uint64_t w, std::size_t count, Utf16Unit* out) {
  const auto byte = [w](std::size_t k) { return static_cast<Utf16Unit>((w >> (8 * k)) & 0xFF); };
  if (count >= 4) {
    const Utf16Unit head[4] = {byte(0), byte(1), byte(2), byte(3)};
    const std::size_t t = count - 4;
    const Utf16Unit tail[4] = {byte(t), byte(t + 1), byte(t + 2), byte(t + 3)};
    std::memcpy(out, head, sizeof head);
    std::memcpy(out + t, tail, sizeof tail);
  } else {
    const std::size_t middle = count / 2;
    out[0] = byte(0);
    out[middle] = byte(middle);
    out[count - 1] = byte(count - 1);
  }
}

// The three-byte form in the low 24 bits of w.
constexpr Utf16Unit ThreeByteValue(std::uint64_t w) {
  return static_cast<Utf16Unit>(((w & 0x0F) << 12) | ((w >> 2) & 0xFC0) | ((w >> 16) & 0x3F));
}

// The two-byte form in the low 16 bits of w.
constexpr Utf16Unit TwoByteValue(std::uint64_t w) {
  return static_cast<Utf16Unit>(((w & 0x1F) << 6) | ((w >> 8) & 0x3F));
}

// No form yields more units than it has bytes, so with limit <= capacity every character that
// ends by limit has room; the loops test only limit.
template <bool kStore>
KernelProgress DecodeWords(const std::uint8_t* s, std::size_t limit, Utf16Unit* dst) {
  std::size_t i = 0;
  std::size_t n = 0;
  while (limit - i >= kWord) {
    std::uint64_t w = LoadLittleEndian64(s + i);
    const std::uint64_t high = w & kHighBits;
    if (high == 0) {
      if constexpr (kStore) WidenAscii(w, dst + n);
      i += kWord;
      n += kWord;
      continue;
    }
    // ASCII up to the first high byte, in one go (CJK text has many short ASCII runs).
    const auto ascii = static_cast<std::size_t>(std::countr_zero(high) >> 3);
    if (ascii != 0) {
      if constexpr (kStore) StoreAsciiPrefix(w, ascii, dst + n);
      i += ascii;
      n += ascii;
      if (limit - i < kWord) break;
      w = LoadLittleEndian64(s + i);
    }
    // A run of CJK text, two characters at a time while it lasts.
    while ((w & kTwoThreeByteMask) == kTwoThreeBytePattern) {
      if constexpr (kStore) {
        dst[n] = ThreeByteValue(w);
        dst[n + 1] = ThreeByteValue(w >> 24);
      }
      i += 6;
      n += 2;
      if (limit - i < kWord) return {i, n};
      w = LoadLittleEndian64(s + i);
    }
    if ((w & kThreeByteMask) == kThreeBytePattern) {
      if constexpr (kStore) dst[n] = ThreeByteValue(w);
      i += 3;
      n += 1;
    } else if ((w & kTwoByteMask) == kTwoBytePattern) {
      if constexpr (kStore) dst[n] = TwoByteValue(w);
      i += 2;
      n += 1;
    } else if ((w & 0x80) != 0) {
      break;  // a four-byte form or a fault: the caller's
    }
  }
  return {i, n};
}

}  // namespace

KernelProgress DecodeOrdinaryBlocksWords(const std::uint8_t* src, std::size_t length,
                                         Utf16Unit* dst, std::size_t capacity) {
  return dst == nullptr ? DecodeWords<false>(src, length, dst)
                        : DecodeWords<true>(src, std::min(length, capacity), dst);
}

}  // namespace corvane
