// WideCharToMultiByte on Windows: the system's own, given the caller's flags, default character
// and default-used pointer unchanged, as the conversion hands them on. Windows' rules apply as they
// are: its "best fit" replacements unless the caller passes WC_NO_BEST_FIT_CHARS, and its refusal
// of a default character or default-used pointer under UTF-7 and UTF-8 (the library never hands
// 65001 to the system; it has its own encoder).
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/system_conversion_switch.h"

namespace corvane::platform {

// BOOL is int, 32 bits wide on every Windows target, so the caller's int32_t flag is the BOOL
// that Windows writes.
static_assert(sizeof(BOOL) == sizeof(std::int32_t));

std::int32_t WideCharToMultiByte(std::uint32_t codePage, std::uint32_t flags, const Utf16Unit* src,
                                 std::int32_t srcLen, std::uint8_t* dst, std::int32_t dstCap,
                                 const char* defaultChar, std::int32_t* defaultUsed) {
  if constexpr (!win32::kSystemConversionBuilt) return 0;
  return ::WideCharToMultiByte(codePage, flags, reinterpret_cast<LPCWCH>(src), srcLen,
                               reinterpret_cast<LPSTR>(dst), dstCap, defaultChar,
                               reinterpret_cast<LPBOOL>(defaultUsed));
}

}  // namespace corvane::platform
