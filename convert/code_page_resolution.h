// Turning the pseudo code pages that the two general conversions accept into real ones.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace corvane {

inline constexpr std::uint32_t kAnsiCodePage = 0;           // the system's ANSI code page
inline constexpr std::uint32_t kThreadCodePage = 3;         // the calling thread's locale
inline constexpr std::uint32_t kJapaneseAutoDetect = 2023;  // guessed from the bytes

// The ANSI code page of the calling thread's language (primary language in the low 10 bits of
// its identifier, sublanguage above); 0 for a language without one.
std::uint32_t ThreadLocaleCodePage();

// Rewrites codePage in place: 2023 becomes the auto-detected Japanese encoding of bytes and
// nothing else happens; otherwise 0 becomes the ANSI code page and then 3 the thread's code page.
// A 3 that resolves to 0 stays 0.
void ResolveCodePage(std::uint32_t* codePage, const ByteText& bytes);

}  // namespace corvane
