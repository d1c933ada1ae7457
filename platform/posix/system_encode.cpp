// WideCharToMultiByte on POSIX: glibc's iconv from UTF-16 to the code page's charset, with the
// outcome Windows gives for flags 0.
//
// - The result counts the bytes written, or needed when dstCap is 0. It is 0 for a code page the
//   backend does not convert, a null source, a length below -1 or of 0, a negative capacity, a
//   null destination with a capacity, and a destination too small for the whole text (which then
//   holds a prefix); *defaultUsed is written only by a call that succeeds.
// - A character the code page lacks becomes the default character: the caller's, or '?' when
//   none is given. A surrogate pair is one character and gets one default character, an
//   unpaired surrogate gets one of its own. The default character is the first character of the
//   caller's string: its first byte, and the byte after it too when the first is a lead byte of a
//   double-byte code page. *defaultUsed, when asked for, says whether it was used.
// - No "best fit": a character the code page lacks is never replaced by a look-alike (Windows
//   does that unless told WC_NO_BEST_FIT_CHARS, which is the safer behaviour). The few one-way
//   mappings that glibc's charsets carry themselves stay (system_charsets.cpp lists them).
// - UTF-16 and UTF-32 encode every character; an unpaired surrogate becomes U+FFFD there,
//   the default character plays no part, and *defaultUsed is 0.
// - Flags are accepted and not read: the library hands the caller's flags on, and Windows' own
//   flags have no meaning to iconv. Code page 0 is the ANSI code page.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/platform.h"
#include "platform/posix/iconv_cache.h"
#include "platform/posix/iconv_descriptor.h"
#include "platform/posix/system_charsets.h"
#include "quillon/quillon.h"

namespace corvane::platform {
namespace {

using posix::ByteShape;
using posix::IconvStop;

constexpr Utf16Unit kReplacementCharacter = 0xFFFD;

struct DefaultCharacter {
  char bytes[3];
  std::size_t length;
};

// The bytes of the first character of the caller's default string ('?' without one). A
// character cut short by the string's end keeps the bytes it has.
DefaultCharacter DefaultCharacterFor(ByteShape shape, const char* given) {
  if (given == nullptr) return {{'?', 0, 0}, 1};
  DefaultCharacter chosen{{given[0], 0, 0}, 1};
  const auto lead = static_cast<std::uint8_t>(given[0]);
  if (!posix::IsMultiByteLead(shape, lead)) return chosen;
  while (chosen.length < 2 && given[chosen.length] != '\0') {
    chosen.bytes[chosen.length] = given[chosen.length];
    ++chosen.length;
  }
  return chosen;
}

constexpr bool IsHighSurrogate(Utf16Unit u) {
  return u >= 0xD800 && u <= 0xDBFF;
}
constexpr bool IsLowSurrogate(Utf16Unit u) {
  return u >= 0xDC00 && u <= 0xDFFF;
}

// Bytes of the one character at in (inLeft bytes remain, at least one unit) that iconv could not
// convert: a surrogate pair, or a single unit.
std::size_t UnconvertedLength(const char* in, std::size_t inLeft) {
  Utf16Unit first = 0;
  std::memcpy(&first, in, sizeof first);
  if (IsHighSurrogate(first) && inLeft >= 2 * sizeof(Utf16Unit)) {
    Utf16Unit second = 0;
    std::memcpy(&second, in + sizeof first, sizeof second);
    if (IsLowSurrogate(second)) return 2 * sizeof(Utf16Unit);
  }
  return sizeof(Utf16Unit);
}

// Writes U+FFFD in the target charset, which must encode it.
bool ConvertReplacementCharacter(iconv_t cd, posix::OutputWindow& out) {
  const char* in = reinterpret_cast<const char*>(&kReplacementCharacter);
  std::size_t inLeft = sizeof kReplacementCharacter;
  return posix::ConvertUntilStop(cd, &in, &inLeft, out) == IconvStop::kDone;
}

}  // namespace

std::int32_t WideCharToMultiByte(std::uint32_t codePage, std::uint32_t /*flags*/,
                                 const Utf16Unit* src, std::int32_t srcLen, std::uint8_t* dst,
                                 std::int32_t dstCap, const char* defaultChar,
                                 std::int32_t* defaultUsed) {
  const posix::SystemCharset* const charset = posix::FindConversionCharset(codePage);
  if (charset == nullptr || src == nullptr || srcLen < -1 || srcLen == 0 || dstCap < 0 ||
      (dstCap > 0 && dst == nullptr)) {
    return 0;
  }
  const std::size_t units = srcLen == -1 ? static_cast<std::size_t>(quillon::w_strlen(src)) + 1
                                         : static_cast<std::size_t>(srcLen);
  const posix::BorrowedDescriptor cd(charset->iconvName, posix::kWideCharset);
  if (!cd.IsOpen()) return 0;

  bool substituted = false;
  posix::OutputWindow out(dst, static_cast<std::size_t>(dstCap));
  const char* in = reinterpret_cast<const char*>(src);
  std::size_t inLeft = units * sizeof(Utf16Unit);
  for (;;) {
    const IconvStop stop = posix::ConvertUntilStop(cd.get(), &in, &inLeft, out);
    if (stop == IconvStop::kDone) break;
    if (stop != IconvStop::kInvalid && stop != IconvStop::kIncomplete) return 0;
    if (posix::EncodesAllOfUnicode(charset->shape)) {
      // Only an unpaired surrogate stops these charsets.
      if (!ConvertReplacementCharacter(cd.get(), out)) return 0;
    } else {
      // Worked out here rather than once per call, since most text never needs it.
      const DefaultCharacter substitute = DefaultCharacterFor(charset->shape, defaultChar);
      // Back to the initial shift state first, so that the substitute's bytes mean themselves.
      if (posix::ConvertUntilStop(cd.get(), nullptr, nullptr, out) != IconvStop::kDone ||
          !out.Append(substitute.bytes, substitute.length)) {
        return 0;
      }
      substituted = true;
    }
    const std::size_t skip = UnconvertedLength(in, inLeft);
    in += skip;
    inLeft -= skip;
  }
  // A stateful charset ends in its initial shift state.
  if (posix::ConvertUntilStop(cd.get(), nullptr, nullptr, out) != IconvStop::kDone) return 0;

  const std::size_t bytes = out.Produced();
  if (bytes > static_cast<std::size_t>(INT32_MAX)) return 0;
  if (defaultUsed != nullptr) *defaultUsed = substituted ? 1 : 0;
  return static_cast<std::int32_t>(bytes);
}

}  // namespace corvane::platform
