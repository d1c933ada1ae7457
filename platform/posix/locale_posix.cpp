// The ANSI code page and the thread's language on POSIX systems.
//
// Windows has a system locale (which fixes the ANSI code page) and a locale per thread that
// starts as the user's. Their counterparts here:
// - The ANSI code page comes from the environment's locale (LC_ALL, else LC_CTYPE, else LANG),
//   not from setlocale: a library cannot assume that its host called setlocale, and the
//   environment is what the user chose, as the system locale is on Windows.
// - The thread's language comes from the thread's own locale when the thread installed one with
//   uselocale, and from the environment's locale otherwise. glibc names a locale object's
//   character-type category through nl_langinfo_l(_NL_LOCALE_NAME(LC_CTYPE)); where the C
//   library offers no such query, the environment's locale answers for every thread.
// Both are read afresh on every call, so nothing is cached and nothing needs a lock.
#include <langinfo.h>
#include <locale.h>

#include <string_view>

#include "platform/platform.h"
#include "platform/posix/locale_names.h"

namespace corvane::platform {
namespace {

// The name of the locale that the calling thread installed for itself, or empty when it uses the
// process-wide locale.
std::string_view ThreadLocaleName() {
#if defined(_NL_LOCALE_NAME)
  const locale_t current = uselocale(static_cast<locale_t>(nullptr));
  if (current == nullptr || current == LC_GLOBAL_LOCALE) return {};
  const char* name = nl_langinfo_l(_NL_LOCALE_NAME(LC_CTYPE), current);
  return name != nullptr ? std::string_view(name) : std::string_view();
#else
  return {};
#endif
}

}  // namespace

std::uint32_t AnsiCodePage() {
  return posix::WindowsLocaleForName(posix::EnvironmentLocaleName()).ansiCodePage;
}

std::uint16_t ThreadLanguage() {
  const std::string_view threadLocale = ThreadLocaleName();
  const std::string_view name =
      threadLocale.empty() ? posix::EnvironmentLocaleName() : threadLocale;
  return posix::WindowsLocaleForName(name).language;
}

}  // namespace corvane::platform
