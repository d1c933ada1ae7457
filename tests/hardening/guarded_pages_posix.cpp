// Guarded pages on POSIX: one anonymous private mapping, its last page PROT_NONE.
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "guarded_pages.h"

namespace corvane::hardening {

unsigned char* ReserveGuardPage(std::size_t usableBytes) {
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const std::size_t usable = (usableBytes + page - 1) / page * page;
  void* base =
      mmap(nullptr, usable + page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (base == MAP_FAILED) std::abort();
  unsigned char* guard = static_cast<unsigned char*>(base) + usable;
  if (mprotect(guard, page, PROT_NONE) != 0) std::abort();
  return guard;
}

// The kernel reads the byte for write() and answers EFAULT where the process may not.
bool ProcessMayRead(const void* address) {
  int ends[2];
  if (pipe(ends) != 0) std::abort();
  const ssize_t written = write(ends[1], address, 1);
  const int error = errno;
  close(ends[0]);
  close(ends[1]);
  if (written != 1 && error != EFAULT) std::abort();
  return written == 1;
}

}  // namespace corvane::hardening
