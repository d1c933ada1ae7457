// Memory whose end the process may not touch: a run of read-write pages followed by one page
// with no access at all, so that one byte read or written past the run faults at once. One
// implementation per platform (guarded_pages_posix.cpp, guarded_pages_win32.cpp), picked by the
// build; the bounds tests see only this.
#pragma once

#include <cstddef>

namespace corvane::hardening {

// The first byte of a page the process may not touch, behind at least usableBytes of read-write
// memory, both kept for the life of the process. Aborts when the system refuses: a bounds test
// without its guard would prove nothing.
unsigned char* ReserveGuardPage(std::size_t usableBytes);

// Whether the process may read the byte at address, answered without the caller faulting, so
// that a test can show the guard is there before it relies on it.
bool ProcessMayRead(const void* address);

}  // namespace corvane::hardening
