// MultiByteToWideChar on POSIX: glibc's iconv from the code page's charset to UTF-16, with the
// outcome Windows gives for flags 0.
//
// - The result counts the UTF-16 units written, or needed when dstCap is 0. It is 0, and the
//   call has no effect beyond the destination, for a code page the backend does not convert,
//   for a null source, a length below -1 or of 0, a negative capacity, a null destination with
//   a capacity, and for a destination too small for the whole text (which then holds a prefix).
// - Input that is not valid in the code page becomes U+FFFD and the conversion goes on. One
//   U+FFFD stands for: in a double-byte code page, a lead byte together with the non-ASCII byte
//   after it (an ASCII byte after a lead byte is never swallowed, so the markup around a broken
//   character survives, and a pair is never split into a misaligned stream); in UTF-16 and
//   UTF-32 one code unit; otherwise one byte. A sequence cut off by the end of the input is one
//   U+FFFD.
// - Flags are accepted and not read: the library always passes 0.
// - Code page 0 is the ANSI code page.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>

#include "platform/platform.h"
#include "platform/posix/iconv_cache.h"
#include "platform/posix/iconv_descriptor.h"
#include "platform/posix/system_charsets.h"

namespace corvane::platform {
namespace {

using posix::ByteShape;
using posix::IconvStop;

constexpr Utf16Unit kReplacementCharacter = 0xFFFD;

// Length of a -1 source: up to and including its first 0 byte, in every code page. The library
// measures a -1 text to that byte, so conversion must end there too, or a count taken first
// would not hold the result; in UTF-16 and UTF-32, where a 0 byte is common inside a character,
// that is rarely the end the caller meant, and such text should be given a count.
std::size_t TerminatedLength(const std::uint8_t* src) {
  std::size_t length = 0;
  while (src[length] != 0)
    ++length;
  return length + 1;
}

constexpr bool InRange(std::uint8_t b, std::uint8_t lo, std::uint8_t hi) {
  return static_cast<std::uint8_t>(b - lo) <= static_cast<std::uint8_t>(hi - lo);
}

// How many bytes at the start of rest (not empty) one U+FFFD replaces, iconv having rejected them.
std::size_t InvalidSequenceLength(ByteShape shape, std::span<const std::uint8_t> rest) {
  const std::uint8_t lead = rest[0];
  switch (shape) {
    case ByteShape::kShiftJis:
      return IsMultiByteLead(shape, lead) && rest.size() >= 2 && InRange(rest[1], 0x80, 0xFC) ? 2
                                                                                              : 1;
    case ByteShape::kLead81:
      return IsMultiByteLead(shape, lead) && rest.size() >= 2 && InRange(rest[1], 0x80, 0xFE) ? 2
                                                                                              : 1;
    case ByteShape::kUtf16:
    case ByteShape::kUtf32:
      return std::min(posix::CodeUnitBytes(shape), rest.size());
    case ByteShape::kSingleByte:
      break;
  }
  return 1;
}

}  // namespace

std::int32_t MultiByteToWideChar(std::uint32_t codePage, std::uint32_t /*flags*/,
                                 const std::uint8_t* src, std::int32_t srcLen, Utf16Unit* dst,
                                 std::int32_t dstCap) {
  const posix::SystemCharset* const charset = posix::FindConversionCharset(codePage);
  if (charset == nullptr || src == nullptr || srcLen < -1 || srcLen == 0 || dstCap < 0 ||
      (dstCap > 0 && dst == nullptr)) {
    return 0;
  }
  const std::size_t length =
      srcLen == -1 ? TerminatedLength(src) : static_cast<std::size_t>(srcLen);
  const posix::BorrowedDescriptor cd(posix::kWideCharset, charset->iconvName);
  if (!cd.IsOpen()) return 0;

  posix::OutputWindow out(dst, static_cast<std::size_t>(dstCap) * sizeof(Utf16Unit));
  const char* in = reinterpret_cast<const char*>(src);
  std::size_t inLeft = length;
  for (;;) {
    const IconvStop stop = posix::ConvertUntilStop(cd.get(), &in, &inLeft, out);
    if (stop == IconvStop::kDone) break;
    if (stop != IconvStop::kInvalid && stop != IconvStop::kIncomplete) return 0;
    const std::size_t skip =
        stop == IconvStop::kIncomplete
            ? inLeft
            : InvalidSequenceLength(charset->shape,
                                    {reinterpret_cast<const std::uint8_t*>(in), inLeft});
    if (!out.Append(&kReplacementCharacter, sizeof kReplacementCharacter)) return 0;
    in += skip;
    inLeft -= skip;
  }
  // A charset may hold the last character back to see whether a combining mark follows (1258).
  if (posix::ConvertUntilStop(cd.get(), nullptr, nullptr, out) != IconvStop::kDone) return 0;

  const std::size_t units = out.Produced() / sizeof(Utf16Unit);
  return units <= static_cast<std::size_t>(INT32_MAX) ? static_cast<std::int32_t>(units) : 0;
}

}  // namespace corvane::platform
