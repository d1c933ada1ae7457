// A stand-in for the platform that unit tests link instead of a real backend, so that tests set
// what the "system" answers (ANSI code page, thread language, supported code pages) and see what
// the system road was asked, independently of the machine's locale and iconv.
//
// The double's system conversion is deliberately trivial and recognisable: for a supported code
// page every byte becomes the unit of the same value and every unit its low byte, and a capacity
// of 0 asks for the size. Unsupported code pages fail with 0, as the real system does; code
// page 0 is the ANSI code page.
//
// Only the ANSI code page and the thread language may be read from several threads at once; the
// rest is for tests that convert on their own thread.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace corvane::platform_double {

struct SystemCall {
  enum class Direction { kToWide, kToBytes } direction;
  std::uint32_t codePage;
  std::uint32_t flags;
  std::int32_t srcLen;
  std::int32_t dstCap;
};

// Back to the defaults: ANSI code page 1252, thread language 0x0409 (English, United States),
// the system converts nothing, no calls recorded.
void Reset();
void SetAnsiCodePage(std::uint32_t codePage);
void SetThreadLanguage(std::uint16_t language);
// The code pages for which IsValidCodePage answers true.
void SetSystemCodePages(std::initializer_list<std::uint32_t> codePages);
// The system conversions made since the last call, oldest first; clears the record.
std::vector<SystemCall> TakeSystemCalls();

}  // namespace corvane::platform_double
