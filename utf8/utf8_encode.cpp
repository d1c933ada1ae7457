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

// The input as the loops read it; a terminated text's 0 unit is not part of it.
struct Utf16Input {
  const Utf16Unit* units;
  std::size_t length;
  bool terminated;

  explicit Utf16Input(WideText text)
      : units(text.data), length(text.size), terminated(text.terminated) {}
  bool EndsAt(std::size_t i) const { return i >= length; }
};

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

// The terminator and result rules, which differ by kind of text; see Ucs2ToUtf8 in the header.
std::int32_t FinishEncode(const Utf16Input& in, const EncodeCursor& at, std::uint8_t* dst,
                          std::size_t room) {
  if (!in.terminated) return static_cast<std::int32_t>(at.written);
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
// fit whole. The bulk goes through the bulk kernel (or, when only counting, a plain sum) and the
// loop at the end only finishes the last few units.
template <bool kStore>
void EncodeFittingRun(EncodeKernel kernel, const Utf16Input& in, std::uint8_t* dst,
                      std::size_t room, EncodeCursor& at) {
  const Utf16Unit* const s = in.units;
  const std::size_t length = in.length;
  std::size_t i = at.read;
  std::size_t n = at.written;
  if constexpr (!kStore) {
    // Counting has no stops and no branches that matter: a plain sum.
    for (; i < length; ++i) {
      n += 1 + static_cast<std::size_t>(s[i] >= 0x80) + static_cast<std::size_t>(s[i] >= 0x800);
    }
  } else {
    const KernelProgress done = kernel(s + i, length - i, dst + n, room - n);
    i += done.read;
    n += done.written;
    for (; i < length; ++i) {
      const Utf16Unit u = s[i];
      const std::size_t form = FormLength(u);
      if constexpr (kStore) {
        // n <= room holds throughout: every store below is checked against it.
        if (room - n < form) break;
        WriteForm(u, dst + n);
      }
      n += form;
    }
  }
  at.read = i;
  at.written = n;
}

void EncodeFast(EncodeKernel kernel, const Utf16Input& in, std::uint8_t* dst, std::size_t room,
                EncodeCursor& at) {
  if (room == 0) {
    EncodeFittingRun<false>(kernel, in, dst, room, at);
  } else {
    EncodeFittingRun<true>(kernel, in, dst, room, at);
  }
  // The run stops only at the end of the input or at a unit that does not fit, where the rules
  // stop too; asking them keeps that decision in one place.
  while (!in.EndsAt(at.read) && EncodeOneUnit(in, dst, room, at)) {
  }
}

}  // namespace

std::int32_t Ucs2ToUtf8Scalar(WideText src, std::span<std::uint8_t> dst) {
  const Utf16Input in(src);
  EncodeCursor at;
  while (!in.EndsAt(at.read) && EncodeOneUnit(in, dst.data(), dst.size(), at)) {
  }
  return FinishEncode(in, at, dst.data(), dst.size());
}

std::int32_t Ucs2ToUtf8With(const Utf8Kernels& kernels, WideText src, std::span<std::uint8_t> dst) {
  const Utf16Input in(src);
  EncodeCursor at;
  EncodeFast(kernels.encode, in, dst.data(), dst.size(), at);
  return FinishEncode(in, at, dst.data(), dst.size());
}

std::int32_t Ucs2ToUtf8(WideText src, std::span<std::uint8_t> dst) {
  return Ucs2ToUtf8With(ChosenUtf8Kernels(), src, dst);
}

}  // namespace corvane
