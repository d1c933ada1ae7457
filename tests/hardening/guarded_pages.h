// Memory whose end the process may not touch: a run of read-write pages followed by one page
// with no access at all, so that one byte read or written past the run faults at once. One
// implementation per platform (guarded_pages_posix.cpp, guarded_pages_win32.cpp), picked by the
// build; the bounds tests see only this.
#pragma once

#include <cstddef>

namespace corvane::hardening {

struct GuardedPages {
  unsigned char* start = nullptr;  // first read-write byte
  std::size_t usable = 0;          // read-write bytes; start + usable is the forbidden page
  std::size_t mapped = 0;          // everything reserved, the forbidden page included
};

// At least usableBytes of read-write memory, rounded up to whole pages, then the forbidden page.
// Aborts when the system refuses: a bounds test without its guard would prove nothing.
GuardedPages ReserveGuardedPages(std::size_t usableBytes);

// Gives back everything ReserveGuardedPages reserved.
void ReleaseGuardedPages(const GuardedPages& pages);

// Whether the process may read the byte at address, answered without the caller faulting, so
// that a test can show the guard is there before it relies on it.
bool ProcessMayRead(const void* address);

}  // namespace corvane::hardening
