// The encoder's bulk kernel in portable C++, for every target: one unit at a time, each
// form written directly, and after an ASCII unit four more at a time, read as one 64-bit word,
// while they last. (Word tests for CJK units, or wider ASCII words, cost more in mixed Japanese
// text than they win, because such text switches between kinds every few characters and every
// extra test mispredicts at each switch.)
#include <algorithm>
#include <bit>
#include <cstring>

#include "utf8/utf8_kernels.h"

namespace corvane {
namespace {

// Four units as one number, first unit in the lowest 16 bits, whatever the machine's byte order.
std::uint64_t LoadFourUnits(const Utf16Unit* p) {
  Utf16Unit quad[4];
  std::memcpy(quad, p, sizeof quad);
  if constexpr (std::endian::native == std::endian::little) {
    std::uint64_t v;
    std::memcpy(&v, quad, sizeof v);
    return v;
  } else {
    return quad[0] | (std::uint64_t{quad[1]} << 16) | (std::uint64_t{quad[2]} << 32) |
           (std::uint64_t{quad[3]} << 48);
  }
}

constexpr Utf16Unit Lane(std::uint64_t w, std::size_t k) {
  return static_cast<Utf16Unit>(w >> (16 * k));
}

// Bits that only units of 0x80 and above have, in every 16-bit lane.
constexpr std::uint64_t kNonAsciiBits = 0xFF80FF80FF80FF80u;

// Encodes the units before `end`, which the caller chose so that three bytes per unit fit in
// dst, so no read or store below needs a test of its own.
void EncodeWindow(const Utf16Unit* s, std::size_t end, std::uint8_t* dst, std::size_t& i,
                  std::size_t& n) {
  while (i < end) {
    const std::uint32_t u = s[i];
    i += 1;
    if (u < 0x80) {
      dst[n] = static_cast<std::uint8_t>(u);
      n += 1;
      while (end - i >= 4) {
        const std::uint64_t w = LoadFourUnits(s + i);
        if ((w & kNonAsciiBits) != 0) break;
        const std::uint8_t narrow[4] = {
            static_cast<std::uint8_t>(Lane(w, 0)), static_cast<std::uint8_t>(Lane(w, 1)),
            static_cast<std::uint8_t>(Lane(w, 2)), static_cast<std::uint8_t>(Lane(w, 3))};
        std::memcpy(dst + n, narrow, sizeof narrow);
        i += 4;
        n += 4;
      }
    } else if (u >= 0x800) {
      dst[n] = static_cast<std::uint8_t>(0xE0 | (u >> 12));
      dst[n + 1] = static_cast<std::uint8_t>(0x80 | ((u >> 6) & 0x3F));
      dst[n + 2] = static_cast<std::uint8_t>(0x80 | (u & 0x3F));
      n += 3;
    } else {
      dst[n] = static_cast<std::uint8_t>(0xC0 | (u >> 6));
      dst[n + 1] = static_cast<std::uint8_t>(0x80 | (u & 0x3F));
      n += 2;
    }
  }
}

}  // namespace

KernelProgress EncodeOrdinaryBlocksWords(const Utf16Unit* src, std::size_t length,
                                         std::uint8_t* dst, std::size_t capacity) {
  // Units before i + (capacity - n) / 3 fit even at three bytes each. Each window ends there or
  // at the end of the input; a window of only a few units is left to the caller's own checks.
  constexpr std::size_t kSmallestWindow = 16;
  std::size_t i = 0;
  std::size_t n = 0;
  for (;;) {
    const std::size_t end = std::min(length, i + (capacity - n) / 3);
    if (end - i < kSmallestWindow) break;
    EncodeWindow(src, end, dst, i, n);
  }
  return {i, n};
}

}  // namespace corvane
