// The Windows code pages that the POSIX backend hands to glibc's iconv, with what the two
// conversions need to know of each beyond its iconv name: how its bytes group into characters.
// The choice of charsets and what was left out is explained in system_charsets.cpp.
#pragma once

#include <cstddef>
#include <cstdint>

namespace corvane::platform::posix {

#if defined(CORVANE_SYSTEM_CONVERSION) && CORVANE_SYSTEM_CONVERSION
inline constexpr bool kSystemConversionBuilt = true;
#else
// Built without system conversion: no code page is the system's, and iconv is never called.
inline constexpr bool kSystemConversionBuilt = false;
#endif

// How a charset's bytes group into characters. It decides how many bytes one U+FFFD replaces
// when iconv rejects input, which bytes of a default character belong to
// one character, and whether every character has an encoding.
enum class ByteShape : std::uint8_t {
  kSingleByte,  // one byte, one character
  kShiftJis,    // lead bytes 0x81-0x9F and 0xE0-0xFC, each followed by one trail byte
  kLead81,      // lead bytes 0x81-0xFE, each followed by one trail byte (GBK, UHC, Big5, EUC-KR,
                // and GB18030 apart from its four-byte form)
  kUtf16,       // two-byte code units
  kUtf32,       // four-byte code units
};

struct SystemCharset {
  std::uint32_t codePage;  // Windows code page number
  const char* iconvName;   // the charset as glibc's iconv names it
  ByteShape shape;
};

// The charset iconv converts the code page with, or null when the backend does not hand it to
// iconv (always null when built without system conversion).
const SystemCharset* FindSystemCharset(std::uint32_t codePage);

// The same for a conversion, which also takes 0 for the ANSI code page (Windows' CP_ACP): the
// library hands 0 over when the thread's language resolved code page 3 to 0.
const SystemCharset* FindConversionCharset(std::uint32_t codePage);

// Bytes per code unit: 2 for UTF-16, 4 for UTF-32, 1 otherwise.
constexpr std::size_t CodeUnitBytes(ByteShape shape) {
  switch (shape) {
    case ByteShape::kUtf16:
      return 2;
    case ByteShape::kUtf32:
      return 4;
    default:
      return 1;
  }
}

// Whether every Unicode scalar value has an encoding, so that only an unpaired surrogate can fail
// to convert (and becomes U+FFFD, not the default character).
constexpr bool EncodesAllOfUnicode(ByteShape shape) {
  return shape == ByteShape::kUtf16 || shape == ByteShape::kUtf32;
}

// Whether b starts a character of two or more bytes.
constexpr bool IsMultiByteLead(ByteShape shape, std::uint8_t b) {
  switch (shape) {
    case ByteShape::kShiftJis:
      return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    case ByteShape::kLead81:
      return b >= 0x81 && b <= 0xFE;
    default:
      return false;
  }
}

}  // namespace corvane::platform::posix
