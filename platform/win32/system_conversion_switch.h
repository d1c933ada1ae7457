// Whether the Win32 backend hands code pages to Windows' own conversions. A build without system
// conversion (-DCORVANE_SYSTEM_CONVERSION=OFF) keeps the Windows answers out, as the POSIX
// backend keeps iconv out: IsValidCodePage answers false, so every registered code page takes the
// library's own tables, and the two conversions convert nothing (the system road returns 0).
#pragma once

namespace corvane::platform::win32 {

#if defined(CORVANE_SYSTEM_CONVERSION) && CORVANE_SYSTEM_CONVERSION
inline constexpr bool kSystemConversionBuilt = true;
#else
inline constexpr bool kSystemConversionBuilt = false;
#endif

}  // namespace corvane::platform::win32
