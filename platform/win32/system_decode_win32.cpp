// MultiByteToWideChar on Windows: the system's own, given the library's arguments unchanged.
// Everything the platform header promises is what Windows does: code page 0 is the ANSI code page
// (CP_ACP), a capacity of 0 asks for the units needed, an unknown code page or too small a
// destination gives 0, and with flags 0 invalid input becomes U+FFFD (or the code page's own
// default character) without failing the call. A failure leaves Windows' last-error value as
// Windows set it; the library adds none of its own.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/system_conversion_switch.h"

namespace corvane::platform {

std::int32_t MultiByteToWideChar(std::uint32_t codePage, std::uint32_t flags,
                                 const std::uint8_t* src, std::int32_t srcLen, Utf16Unit* dst,
                                 std::int32_t dstCap) {
  if constexpr (!win32::kSystemConversionBuilt) return 0;
  // Utf16Unit and WCHAR are both 16-bit code units; only the type names differ.
  return ::MultiByteToWideChar(codePage, flags, reinterpret_cast<LPCCH>(src), srcLen,
                               reinterpret_cast<LPWSTR>(dst), dstCap);
}

}  // namespace corvane::platform
