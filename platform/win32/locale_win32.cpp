// The ANSI code page and the thread's language on Windows: GetACP and GetThreadLocale, read
// afresh on every call (the system caches them itself), so nothing here needs a lock.
#include <windows.h>

#include "platform/platform.h"

namespace corvane::platform {

std::uint32_t AnsiCodePage() {
  return ::GetACP();
}

// A locale identifier holds the language identifier in its low 16 bits (LANGIDFROMLCID); the
// sort order above them plays no part.
std::uint16_t ThreadLanguage() {
  return LANGIDFROMLCID(::GetThreadLocale());
}

}  // namespace corvane::platform
