// UTF-16 to UTF-8: the unit rule, the shortcut over runs that fit, and the two loops (reference
// and fast) built from them.
//
// Each unit u is encoded by itself: u < 0x80 one byte, u < 0x800 two bytes, else three bytes.
// Surrogates are units like any other, so every unit has an encoding and nothing can fail; the
// only reasons to stop are the end of the input and the end of the buffer.
#include "utf8/utf8_codec.h"
#include "utf8/utf8_kernels.h"

namespace corvane {
namespace {

// The input with its length mode settled once: in nul mode `length` is unused.
struct Utf16Input {
  const Utf16Unit* units;
  std::size_t length;
  bool nulMode;

  bool EndsAt(std::size_t i) const { return nulMode ? units[i] == 0 : i >= length; }
};

Utf16Input SettleInput(const Utf16Unit* src, std::int32_t srcLen) {
  return {src, srcLen < 0 ? 0 : static_cast<std::size_t>(srcLen), srcLen == -1};
}

struct EncodeCursor {
  std::size_t read = 0;     // units encoded
  std::size_t written = 0;  // bytes of their forms (stored, when storing)
};

constexpr std::size_t FormLength(Utf16Unit u) {
  return u < 0x80 ? 1 : u < 0x800 ? 2 : 3;
}

// Writes the form of u at out, which has room for FormLength(u) bytes.
void WriteForm(Utf16Unit u, std::uint8_t* out) {
  if (u < 0x80) {
    out[0] = static_cast<std::uint8_t>(u);
  } else if (u < 0x800) {
    out[0] = static_cast<std::uint8_t>(0xC0 | (u >> 6));
    out[1] = static_cast<std::uint8_t>(0x80 | (u & 0x3F));
  } else {
    out[0] = static_cast<std::uint8_t>(0xE0 | (u >> 12));
    out[1] = static_cast<std::uint8_t>(0x80 | ((u >> 6) & 0x3F));
    out[2] = static_cast<std::uint8_t>(0x80 | (u & 0x3F));
  }
}

// Encodes the unit at `at.read` and advances past it, or returns false when the encoder stops
// before it: the buffer is full, or the unit's whole form no longer fits (it is then left out,
// never cut). The caller has checked that the input does not end at `at.read`. room = 0 counts.
bool EncodeOneUnit(const Utf16Input& in, std::uint8_t* dst, std::size_t room, EncodeCursor& at) {
  const Utf16Unit u = in.units[at.read];
  const std::size_t form = FormLength(u);
  if (room > 0) {
    if (at.written >= room || room - at.written < form) return false;
    WriteForm(u, dst + at.written);
  }
  at.written += form;
  at.read += 1;
  return true;
}

// The terminator and result rules, which differ by length mode; see Ucs2ToUtf8 in the header.
std::int32_t FinishEncode(const Utf16Input& in, const EncodeCursor& at, std::uint8_t* dst,
                          std::size_t room) {
  if (!in.nulMode) return static_cast<std::int32_t>(at.written);
  if (room == 0) return static_cast<std::int32_t>(at.written + 1);
  if (at.written < room) {
    dst[at.written] = 0;
    return static_cast<std::int32_t>(at.written + 1);
  }
  // written == room here: nothing is ever stored past it.
  dst[room - 1] = 0;
  return static_cast<std::int32_t>(room);
}

// Encodes a run of units whose forms all fit (kStore) or are only counted (!kStore), and stops,
// without deciding anything, at the end of the input or before the first unit that would not
// fit whole. In counted mode the bulk goes through the bulk kernel (or, when only counting, a
// plain sum) and the loop at the end only finishes the last few units. In nul mode the
// terminator's position is unknown, so a unit is read only after every unit before it was found
// not to be 0.
template <bool kNulMode, bool kStore>
void EncodeFittingRun(EncodeKernel kernel, const Utf16Input& in, std::uint8_t* dst,
                      std::size_t room, EncodeCursor& at) {
  const Utf16Unit* const s = in.units;
  const std::size_t length = in.length;
  std::size_t i = at.read;
  std::size_t n = at.written;
  if constexpr (!kNulMode && !kStore) {
    // Counting a counted input has no stops and no branches that matter: a plain sum.
    for (; i < length; ++i) {
      n += 1 + static_cast<std::size_t>(s[i] >= 0x80) + static_cast<std::size_t>(s[i] >= 0x800);
    }
  } else {
    if constexpr (!kNulMode) {
      const KernelProgress done = kernel(s + i, length - i, dst + n, room - n);
      i += done.read;
      n += done.written;
    }
    for (;;) {
      if constexpr (!kNulMode) {
        if (i >= length) break;
      }
      const Utf16Unit u = s[i];
      if constexpr (kNulMode) {
        if (u == 0) break;
      }
      const std::size_t form = FormLength(u);
      if constexpr (kStore) {
        // n <= room holds throughout: every store below is checked against it.
        if (room - n < form) break;
        WriteForm(u, dst + n);
      }
      i += 1;
      n += form;
    }
  }
  at.read = i;
  at.written = n;
}

template <bool kNulMode>
void EncodeFast(EncodeKernel kernel, const Utf16Input& in, std::uint8_t* dst, std::size_t room,
                EncodeCursor& at) {
  if (room == 0) {
    EncodeFittingRun<kNulMode, false>(kernel, in, dst, room, at);
  } else {
    EncodeFittingRun<kNulMode, true>(kernel, in, dst, room, at);
  }
  // The run stops only at the end of the input or at a unit that does not fit, where the rules
  // stop too; asking them keeps that decision in one place.
  while (!in.EndsAt(at.read) && EncodeOneUnit(in, dst, room, at)) {
  }
}

}  // namespace

std::int32_t Ucs2ToUtf8Scalar(const Utf16Unit* src, std::int32_t srcLen, std::uint8_t* dst,
                              std::int32_t dstSize) {
  if (dstSize < 0) return 0;
  const Utf16Input in = SettleInput(src, srcLen);
  const std::size_t room = static_cast<std::size_t>(dstSize);
  EncodeCursor at;
  while (!in.EndsAt(at.read) && EncodeOneUnit(in, dst, room, at)) {
  }
  return FinishEncode(in, at, dst, room);
}

std::int32_t Ucs2ToUtf8With(const Utf8Kernels& kernels, const Utf16Unit* src, std::int32_t srcLen,
                            std::uint8_t* dst, std::int32_t dstSize) {
  if (dstSize < 0) return 0;
  const Utf16Input in = SettleInput(src, srcLen);
  const std::size_t room = static_cast<std::size_t>(dstSize);
  EncodeCursor at;
  if (in.nulMode) {
    EncodeFast<true>(kernels.encode, in, dst, room, at);
  } else {
    EncodeFast<false>(kernels.encode, in, dst, room, at);
  }
  return FinishEncode(in, at, dst, room);
}

std::int32_t Ucs2ToUtf8(const Utf16Unit* src, std::int32_t srcLen, std::uint8_t* dst,
                        std::int32_t dstSize) {
  return Ucs2ToUtf8With(ChosenUtf8Kernels(), src, srcLen, dst, dstSize);
}

}  // namespace corvane
