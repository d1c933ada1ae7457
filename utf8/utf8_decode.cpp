// UTF-8 to UTF-16: the character rule, the shortcut over runs of ordinary characters, and the two
// loops (reference and fast) built from them.
//
// The forms, chosen by the lead byte b in this order: b < 0x80 one byte; 0xC0-0xDF two bytes;
// 0xE0-0xEF three bytes; 0xF0-0xF7 four bytes (a surrogate pair); anything else is no lead. The
// decoder stops at the first faulty sequence and treats that as the end of the input.
#include "utf8/trace.h"
#include "utf8/utf8_codec.h"
#include "utf8/utf8_kernels.h"

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

// The input as the loops read it; a terminated text's 0 byte is not part of it.
struct Utf8Input {
  const std::uint8_t* bytes;
  std::size_t length;

  explicit Utf8Input(ByteText text) : bytes(text.data), length(text.size) {}
  bool EndsAt(std::size_t i) const { return i >= length; }
};

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
  if (at.read + follow >= in.length) return incomplete;
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

// Decodes a run of complete, valid characters that the rules would decode the same way, and
// stops, without deciding anything, before the first character that needs the rules: the end of
// the input, a faulty or unfinished sequence, or (kStore) a character whose units would not all
// land before dst's last position. The bulk kernel takes what it can before each character and
// this loop takes the characters it leaves (four-byte forms, the last few bytes).
// kStore = false is for when no further unit can be stored (counted + 1 >= room), so skipping the
// stores changes nothing.
template <bool kStore>
void DecodeOrdinaryRun(const Utf8Kernels& kernels, const Utf8Input& in, Utf16Unit* dst,
                       std::size_t room, DecodeCursor& at) {
  const std::uint8_t* const s = in.bytes;
  const std::size_t length = in.length;
  std::size_t i = at.read;
  std::size_t n = at.counted;
  for (;;) {
    // Storing: n + 1 < room, so the kernel may use the room - 1 - n >= 1 positions before dst's
    // last one.
    const DecodeKernel kernel =
        length - i >= kernels.decodeMinimum ? kernels.decode : DecodeOrdinaryBlocksWords;
    const KernelProgress done = kStore ? kernel(s + i, length - i, dst + n, room - 1 - n)
                                       : kernel(s + i, length - i, nullptr, 0);
    i += done.read;
    n += done.written;
    if (i >= length) break;
    const std::uint8_t b = s[i];
    if (b < 0x80) {
      if constexpr (kStore) {
        if (n + 1 >= room) break;
        dst[n] = b;
      }
      i += 1;
      n += 1;
    } else if ((b & 0xE0) == 0xC0) {
      if (length - i < 2) break;
      const std::uint8_t c1 = s[i + 1];
      if (!IsContinuation(c1)) break;
      if constexpr (kStore) {
        if (n + 1 >= room) break;
        dst[n] = static_cast<Utf16Unit>(((b & 0x1Fu) << 6) | (c1 & 0x3Fu));
      }
      i += 2;
      n += 1;
    } else if ((b & 0xF0) == 0xE0) {
      if (length - i < 3) break;
      const std::uint8_t c1 = s[i + 1];
      if (!IsContinuation(c1)) break;
      const std::uint8_t c2 = s[i + 2];
      if (!IsContinuation(c2)) break;
      if constexpr (kStore) {
        if (n + 1 >= room) break;
        dst[n] = static_cast<Utf16Unit>(((b & 0x0Fu) << 12) | ((c1 & 0x3Fu) << 6) | (c2 & 0x3Fu));
      }
      i += 3;
      n += 1;
    } else if ((b & 0xF8) == 0xF0) {
      if (length - i < 4) break;
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

const char* DecodeFast(const Utf8Kernels& kernels, const Utf8Input& in, Utf16Unit* dst,
                       std::size_t room, DecodeCursor& at) {
  for (;;) {
    if (at.counted + 1 >= room) {
      DecodeOrdinaryRun<false>(kernels, in, dst, room, at);
    } else {
      DecodeOrdinaryRun<true>(kernels, in, dst, room, at);
    }
    if (in.EndsAt(at.read)) return nullptr;
    // The run stopped at a character it leaves to the rules: a fault, an unfinished form, or one
    // that meets the end of the buffer.
    if (const char* fault = DecodeOneCharacter(in, dst, room, at)) return fault;
  }
}

}  // namespace

std::int32_t Utf8NullSource() {
  TraceMessage(kNullSource);
  return -1;
}

std::int32_t Utf8ToUcs2Scalar(ByteText src, std::span<Utf16Unit> dst, std::int32_t* consumed) {
  const Utf8Input in(src);
  DecodeCursor at;
  const char* fault = nullptr;
  while (fault == nullptr && !in.EndsAt(at.read))
    fault = DecodeOneCharacter(in, dst.data(), dst.size(), at);
  return FinishDecode(fault, at, dst.data(), dst.size(), consumed);
}

std::int32_t Utf8ToUcs2With(const Utf8Kernels& kernels, ByteText src, std::span<Utf16Unit> dst,
                            std::int32_t* consumed) {
  const Utf8Input in(src);
  DecodeCursor at;
  const char* fault = DecodeFast(kernels, in, dst.data(), dst.size(), at);
  return FinishDecode(fault, at, dst.data(), dst.size(), consumed);
}

std::int32_t Utf8ToUcs2(ByteText src, std::span<Utf16Unit> dst, std::int32_t* consumed) {
  return Utf8ToUcs2With(ChosenUtf8Kernels(), src, dst, consumed);
}

}  // namespace corvane
