// UTF-8 to UTF-16: the character rule, the shortcut over runs of ordinary characters, and the two
// loops (reference and fast) built from them.
//
// The forms, chosen by the lead byte b in this order: b < 0x80 one byte; 0xC0-0xDF two bytes;
// 0xE0-0xEF three bytes; 0xF0-0xF7 four bytes (a surrogate pair); anything else is no lead. The
// decoder stops at the first faulty sequence and treats that as the end of the input.
#include <algorithm>
#include <bit>
#include <cstring>

#include "utf8/trace.h"
#include "utf8/utf8_codec.h"

namespace corvane {
namespace {

constexpr const char* kNullSource = "Utf8ToUcs2: Input UTF-8 pointer is null";
constexpr const char* kIncomplete2 = "Utf8ToUcs2: Incomplete 2-byte UTF-8 sequence";
constexpr const char* kInvalid2 = "Utf8ToUcs2: Invalid continuation byte in 2-byte sequence";
constexpr const char* kIncomplete3 = "Utf8ToUcs2: Incomplete 3-byte UTF-8 sequence";
constexpr const char* kInvalid3 = "Utf8ToUcs2: Invalid continuation bytes in 3-byte sequence";
constexpr const char* kIncomplete4 = "Utf8ToUcs2: Incomplete 4-byte UTF-8 sequence";
constexpr const char* kInvalid4 = "Utf8ToUcs2: Invalid continuation bytes in 4-byte sequence";
constexpr const char* kInvalidLead = "Utf8ToUcs2: Invalid UTF-8 leading byte";

constexpr bool IsContinuation(std::uint8_t c) {
  return (c & 0xC0) == 0x80;
}

// The input with its length mode settled once: in nul mode `length` is unused.
struct Utf8Input {
  const std::uint8_t* bytes;
  std::size_t length;
  bool nulMode;

  bool EndsAt(std::size_t i) const { return nulMode ? bytes[i] == 0 : i >= length; }
};

Utf8Input SettleInput(const std::uint8_t* src, std::int32_t srcLen) {
  return {src, srcLen < 0 ? 0 : static_cast<std::size_t>(srcLen), srcLen == -1};
}

// The units a store may use: a unit is stored only while it ends before dst's last position,
// which keeps that position free for the terminator. 0 when nothing may be stored at all.
std::size_t StoreRoom(const Utf16Unit* dst, std::int32_t dstSize) {
  return dst != nullptr && dstSize > 0 ? static_cast<std::size_t>(dstSize) : 0;
}

struct DecodeCursor {
  std::size_t read = 0;     // bytes decoded
  std::size_t counted = 0;  // units of the decoded text
  std::size_t stored = 0;   // units stored; equals `counted` until the first unit that missed
};

// The four-byte value as a surrogate pair, by signed arithmetic: an overlong four-byte form
// (value below 0x10000) yields whatever the arithmetic gives, cut to 16 bits.
void SplitIntoPair(std::uint32_t value, Utf16Unit& high, Utf16Unit& low) {
  const std::int32_t w = static_cast<std::int32_t>(value) - 0x10000;
  high = static_cast<Utf16Unit>((w >> 10) + 0xD800);
  low = static_cast<Utf16Unit>((w & 0x3FF) + 0xDC00);
}

// Decodes the character at `at.read` by the rules and advances past it, or returns the text of
// the fault found there (leaving `at` as it was). The caller has checked that the input does not
// end at `at.read`. A unit is stored at index n - 1 only when n < room.
const char* DecodeOneCharacter(const Utf8Input& in, Utf16Unit* dst, std::size_t room,
                               DecodeCursor& at) {
  const std::uint8_t* const s = in.bytes + at.read;
  const std::uint8_t b = s[0];
  if (b < 0x80) {
    at.read += 1;
    at.counted += 1;
    if (at.counted < room) {
      dst[at.counted - 1] = b;
      at.stored = at.counted;
    }
    return nullptr;
  }
  std::size_t follow;  // continuation bytes the form needs
  std::uint32_t value;
  const char* incomplete;
  const char* invalid;
  if ((b & 0xE0) == 0xC0) {
    follow = 1, value = b & 0x1Fu, incomplete = kIncomplete2, invalid = kInvalid2;
  } else if ((b & 0xF0) == 0xE0) {
    follow = 2, value = b & 0x0Fu, incomplete = kIncomplete3, invalid = kInvalid3;
  } else if ((b & 0xF8) == 0xF0) {
    follow = 3, value = b & 0x07u, incomplete = kIncomplete4, invalid = kInvalid4;
  } else {
    return kInvalidLead;
  }
  if (in.nulMode) {
    // Stops at the first 0, so no byte behind the terminator is read.
    for (std::size_t k = 1; k <= follow; ++k) {
      if (s[k] == 0) return incomplete;
    }
  } else if (at.read + follow >= in.length) {
    return incomplete;
  }
  for (std::size_t k = 1; k <= follow; ++k) {
    if (!IsContinuation(s[k])) return invalid;
    value = (value << 6) | (s[k] & 0x3Fu);
  }
  at.read += follow + 1;
  if (follow < 3) {
    at.counted += 1;
    if (at.counted < room) {
      dst[at.counted - 1] = static_cast<Utf16Unit>(value);
      at.stored = at.counted;
    }
  } else {
    at.counted += 2;
    if (at.counted < room) {
      SplitIntoPair(value, dst[at.counted - 2], dst[at.counted - 1]);
      at.stored = at.counted;
    }
  }
  return nullptr;
}

// Hands on the fault, terminates what was stored, reports the bytes decoded, and counts the
// terminator.
std::int32_t FinishDecode(const char* fault, const DecodeCursor& at, Utf16Unit* dst,
                          std::size_t room, std::int32_t* consumed) {
  if (fault != nullptr) TraceMessage(fault);
  // stored < room always: every store kept its units before the last position.
  if (room > 0) dst[at.stored] = 0;
  if (consumed != nullptr) *consumed = static_cast<std::int32_t>(at.read);
  return static_cast<std::int32_t>(at.counted + 1);
}

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
// eight ASCII bytes); two three-byte forms in the first six bytes; one in the first three.
constexpr std::uint64_t kHighBits = 0x8080808080808080u;
constexpr std::uint64_t kTwoThreeByteMask = 0x0000C0C0F0C0C0F0u;
constexpr std::uint64_t kTwoThreeBytePattern = 0x00008080E08080E0u;
constexpr std::uint64_t kThreeByteMask = 0xC0C0F0u;
constexpr std::uint64_t kThreeBytePattern = 0x8080E0u;

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

// Counted mode's bulk loop: decodes complete, valid characters from i while they start far
// enough before `limit` that every byte they can read and every unit they can store is known to
// be in range, so the loop tests one bound per step instead of one per byte and per unit. Where
// eight bytes remain it reads them as one word and settles by mask tests what it can: eight
// ASCII bytes; the ASCII bytes before the first high byte; then two three-byte forms at a time
// (the bulk of CJK text) in a loop of their own while they last, or one. Japanese text switches
// between ASCII and CJK every ten characters or so, and each switch costs a mispredicted branch,
// so the loops are shaped to spend one test per switch (measured on the corpus; the other
// shapes tried cost more). Everything else goes through the byte-by-byte step below. Stops at
// the bound or before the first character that is not plainly valid. The caller chooses
// limit <= the input length and, when storing, so that a character ending by limit also ends
// its units before dst's last position (see DecodeOrdinaryRun).
template <bool kStore>
void DecodeWindow(const std::uint8_t* s, std::size_t limit, Utf16Unit* dst, std::size_t& i,
                  std::size_t& n) {
  // i < lastStart means i + 4 <= limit: the longest form fits in the window.
  const std::size_t lastStart = limit - 3;
  while (i < lastStart) {
    if (limit - i >= 8) {
      std::uint64_t w = LoadLittleEndian64(s + i);
      const std::uint64_t high = w & kHighBits;
      if (high == 0) {
        if constexpr (kStore) WidenAscii(w, dst + n);
        i += 8;
        n += 8;
        continue;
      }
      // ASCII up to the first high byte, in one go (CJK text has many short ASCII runs).
      const auto ascii = static_cast<std::size_t>(std::countr_zero(high) >> 3);
      if (ascii != 0) {
        if constexpr (kStore) StoreAsciiPrefix(w, ascii, dst + n);
        i += ascii;
        n += ascii;
        if (limit - i < 8) continue;
        w = LoadLittleEndian64(s + i);
      }
      // A run of CJK text, two characters at a time while it lasts.
      bool wordLeft = true;
      while ((w & kTwoThreeByteMask) == kTwoThreeBytePattern) {
        if constexpr (kStore) {
          dst[n] = ThreeByteValue(w);
          dst[n + 1] = ThreeByteValue(w >> 24);
        }
        i += 6;
        n += 2;
        wordLeft = limit - i >= 8;
        if (!wordLeft) break;
        w = LoadLittleEndian64(s + i);
      }
      if (!wordLeft) continue;
      if ((w & kThreeByteMask) == kThreeBytePattern) {
        if constexpr (kStore) dst[n] = ThreeByteValue(w);
        i += 3;
        n += 1;
        continue;
      }
    }
    const std::uint8_t b = s[i];
    if (b < 0x80) {
      if constexpr (kStore) dst[n] = b;
      i += 1;
      n += 1;
    } else if ((b & 0xF0) == 0xE0) {
      const std::uint8_t c1 = s[i + 1];
      const std::uint8_t c2 = s[i + 2];
      if (!IsContinuation(c1) || !IsContinuation(c2)) break;
      if constexpr (kStore) {
        dst[n] = static_cast<Utf16Unit>(((b & 0x0Fu) << 12) | ((c1 & 0x3Fu) << 6) | (c2 & 0x3Fu));
      }
      i += 3;
      n += 1;
    } else if ((b & 0xE0) == 0xC0) {
      const std::uint8_t c1 = s[i + 1];
      if (!IsContinuation(c1)) break;
      if constexpr (kStore) {
        dst[n] = static_cast<Utf16Unit>(((b & 0x1Fu) << 6) | (c1 & 0x3Fu));
      }
      i += 2;
      n += 1;
    } else if ((b & 0xF8) == 0xF0) {
      const std::uint8_t c1 = s[i + 1];
      const std::uint8_t c2 = s[i + 2];
      const std::uint8_t c3 = s[i + 3];
      if (!IsContinuation(c1) || !IsContinuation(c2) || !IsContinuation(c3)) break;
      if constexpr (kStore) {
        SplitIntoPair(
            ((b & 0x07u) << 18) | ((c1 & 0x3Fu) << 12) | ((c2 & 0x3Fu) << 6) | (c3 & 0x3Fu), dst[n],
            dst[n + 1]);
      }
      i += 4;
      n += 2;
    } else {
      break;
    }
  }
}

// Decodes a run of complete, valid characters that the rules would decode the same way, and
// stops, without deciding anything, before the first character that needs the rules: the end of
// the input, a faulty or unfinished sequence, or (kStore) a character whose units would not all
// land before dst's last position. In counted mode the bulk goes through DecodeWindow and this
// loop only finishes the last few characters. In nul mode the terminator's position is unknown,
// so a byte is read only once every byte before it is known not to be 0 (a continuation byte
// never is).
// kStore = false is for when no further unit can be stored (counted + 1 >= room), so skipping the
// stores changes nothing.
template <bool kNulMode, bool kStore>
void DecodeOrdinaryRun(const Utf8Input& in, Utf16Unit* dst, std::size_t room, DecodeCursor& at) {
  const std::uint8_t* const s = in.bytes;
  const std::size_t length = in.length;
  std::size_t i = at.read;
  std::size_t n = at.counted;
  if constexpr (!kNulMode) {
    // No form yields more units than it has bytes, so characters ending by
    // i + (room - 1 - n) leave their units before the last position (room - 1 - n >= 1 here).
    // Each window ends where the input or the room ends; once a window is only a few bytes wide,
    // the loop below finishes by the rules' own checks.
    constexpr std::size_t kSmallestWindow = 16;
    for (;;) {
      std::size_t limit = length;
      if constexpr (kStore) limit = std::min(limit, i + (room - 1 - n));
      if (limit - i < kSmallestWindow) break;
      DecodeWindow<kStore>(s, limit, dst, i, n);
      if (limit - i > 3) break;  // stopped early, at a character the window would not take
    }
  }
  for (;;) {
    if constexpr (!kNulMode) {
      if (i >= length) break;
    }
    const std::uint8_t b = s[i];
    if (b < 0x80) {
      if constexpr (kNulMode) {
        if (b == 0) break;
      }
      if constexpr (kStore) {
        if (n + 1 >= room) break;
        dst[n] = b;
      }
      i += 1;
      n += 1;
    } else if ((b & 0xE0) == 0xC0) {
      if constexpr (!kNulMode) {
        if (length - i < 2) break;
      }
      // Nul mode: b != 0, so s[i + 1] exists.
      const std::uint8_t c1 = s[i + 1];
      if (!IsContinuation(c1)) break;
      if constexpr (kStore) {
        if (n + 1 >= room) break;
        dst[n] = static_cast<Utf16Unit>(((b & 0x1Fu) << 6) | (c1 & 0x3Fu));
      }
      i += 2;
      n += 1;
    } else if ((b & 0xF0) == 0xE0) {
      if constexpr (!kNulMode) {
        if (length - i < 3) break;
      }
      const std::uint8_t c1 = s[i + 1];
      if (!IsContinuation(c1)) break;
      // Nul mode: c1 is a continuation byte, hence not 0, so s[i + 2] exists.
      const std::uint8_t c2 = s[i + 2];
      if (!IsContinuation(c2)) break;
      if constexpr (kStore) {
        if (n + 1 >= room) break;
        dst[n] = static_cast<Utf16Unit>(((b & 0x0Fu) << 12) | ((c1 & 0x3Fu) << 6) | (c2 & 0x3Fu));
      }
      i += 3;
      n += 1;
    } else if ((b & 0xF8) == 0xF0) {
      if constexpr (!kNulMode) {
        if (length - i < 4) break;
      }
      const std::uint8_t c1 = s[i + 1];
      if (!IsContinuation(c1)) break;
      const std::uint8_t c2 = s[i + 2];
      if (!IsContinuation(c2)) break;
      const std::uint8_t c3 = s[i + 3];
      if (!IsContinuation(c3)) break;
      if constexpr (kStore) {
        if (n + 2 >= room) break;
        SplitIntoPair(
            ((b & 0x07u) << 18) | ((c1 & 0x3Fu) << 12) | ((c2 & 0x3Fu) << 6) | (c3 & 0x3Fu), dst[n],
            dst[n + 1]);
      }
      i += 4;
      n += 2;
    } else {
      break;
    }
  }
  at.read = i;
  at.counted = n;
  if constexpr (kStore) at.stored = n;
}

template <bool kNulMode>
const char* DecodeFast(const Utf8Input& in, Utf16Unit* dst, std::size_t room, DecodeCursor& at) {
  for (;;) {
    if (at.counted + 1 >= room) {
      DecodeOrdinaryRun<kNulMode, false>(in, dst, room, at);
    } else {
      DecodeOrdinaryRun<kNulMode, true>(in, dst, room, at);
    }
    if (in.EndsAt(at.read)) return nullptr;
    // The run stopped at a character it leaves to the rules: a fault, an unfinished form, or one
    // that meets the end of the buffer.
    if (const char* fault = DecodeOneCharacter(in, dst, room, at)) return fault;
  }
}

}  // namespace

std::int32_t Utf8ToUcs2Scalar(const std::uint8_t* src, std::int32_t srcLen, Utf16Unit* dst,
                              std::int32_t dstSize, std::int32_t* consumed) {
  if (src == nullptr) {
    TraceMessage(kNullSource);
    return -1;
  }
  const Utf8Input in = SettleInput(src, srcLen);
  const std::size_t room = StoreRoom(dst, dstSize);
  DecodeCursor at;
  const char* fault = nullptr;
  while (fault == nullptr && !in.EndsAt(at.read))
    fault = DecodeOneCharacter(in, dst, room, at);
  return FinishDecode(fault, at, dst, room, consumed);
}

std::int32_t Utf8ToUcs2(const std::uint8_t* src, std::int32_t srcLen, Utf16Unit* dst,
                        std::int32_t dstSize, std::int32_t* consumed) {
  if (src == nullptr) {
    TraceMessage(kNullSource);
    return -1;
  }
  const Utf8Input in = SettleInput(src, srcLen);
  const std::size_t room = StoreRoom(dst, dstSize);
  DecodeCursor at;
  const char* fault =
      in.nulMode ? DecodeFast<true>(in, dst, room, at) : DecodeFast<false>(in, dst, room, at);
  return FinishDecode(fault, at, dst, room, consumed);
}

}  // namespace corvane
