// Guarded pages on Windows: one VirtualAlloc reservation, committed read-write, its last page then
// turned PAGE_NOACCESS with VirtualProtect.
#include <windows.h>

#include <cstdlib>

#include "guarded_pages.h"

namespace corvane::hardening {

unsigned char* ReserveGuardPage(std::size_t usableBytes) {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const std::size_t page = system.dwPageSize;
  const std::size_t usable = (usableBytes + page - 1) / page * page;
  void* base = VirtualAlloc(nullptr, usable + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
  if (base == nullptr) std::abort();
  unsigned char* guard = static_cast<unsigned char*>(base) + usable;
  DWORD previous = 0;
  if (VirtualProtect(guard, page, PAGE_NOACCESS, &previous) == FALSE) std::abort();
  return guard;
}

// IsBadReadPtr reads the byte under an exception handler, so it answers whether a read faults,
// not what the bookkeeping says (ReadProcessMemory under Wine reads through PAGE_NOACCESS). It is
// obsolete for ordinary code, which should not swallow faults; a test asking exactly whether a
// read faults, on a page that is not PAGE_GUARD, is the one use it is right for.
bool ProcessMayRead(const void* address) {
  return IsBadReadPtr(address, 1) == FALSE;
}

}  // namespace corvane::hardening
