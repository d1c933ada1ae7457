// Turning the pseudo code pages that the two general conversions accept into real ones.
#pragma once

#include <cstdint>

namespace corvane {

inline constexpr std::uint32_t kAnsiCodePage = 0;           // the system's ANSI code page
inline constexpr std::uint32_t kThreadCodePage = 3;         // the calling thread's locale
inline constexpr std::uint32_t kJapaneseAutoDetect = 2023;  // guessed from the bytes

// The ANSI code page of the calling thread's language (primary language in the low 10 bits of
// its identifier, sublanguage above); 0 for a language without one.
std::uint32_t ThreadLocaleCodePage();

// Rewrites codePage in place: 2023 becomes the auto-detected Japanese encoding of
// bytes[0..length) (length -1: up to the first 0 byte) and nothing else happens; otherwise 0
// becomes the ANSI code page and then 3 the thread's code page. A 3 that resolves to 0 stays 0.
//   bytes   in  caller-owned, may be null only when length is 0
void ResolveCodePage(std::uint32_t* codePage, const std::uint8_t* bytes, std::int32_t length);

// The code page whose road a resolved code page takes. 0 (a thread language without a code page)
// is handed to the system as its ANSI code page, as Windows takes it; where our own tables
// convert the ANSI code page instead (the POSIX backend leaves some to them), 0 takes that page's
// tables, so that 0 always converts as the ANSI code page does. Every other number is itself.
std::uint32_t RoadCodePage(std::uint32_t codePage);

}  // namespace corvane
