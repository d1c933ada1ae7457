// Whether Windows converts a code page: IsValidCodePage, asked once per registry record at load.
// Numbers Windows does not know, such as the library's own 40850 or 88591, answer
// false there and take the library's tables.
#include <windows.h>

#include "platform/platform.h"
#include "platform/win32/system_conversion_switch.h"

namespace corvane::platform {

bool IsValidCodePage(std::uint32_t codePage) {
  if constexpr (!win32::kSystemConversionBuilt) return false;
  return ::IsValidCodePage(codePage) != FALSE;
}

}  // namespace corvane::platform
