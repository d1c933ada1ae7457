// The calling thread's iconv conversion descriptors, kept open from one call to the next.
//
// glibc's iconv_open and iconv_close cost several times what converting a short string costs (a
// 21-character file name: about 500 ns against 100 ns), and programs convert many short strings:
// file names, database fields, interface text. So each thread keeps the few descriptors it used
// last, one per pair of charset names, and each conversion borrows one for its length.
//
// Decisions:
// - Per thread, not per process: a descriptor carries shift state and glibc does not lock it, so
//   a shared one would need a lock on every call, and a per-thread one needs none.
// - A descriptor is reset to its initial shift state each time it is lent, so a call that stopped
//   midway (a full destination, a charset holding a character back to see what follows) leaves
//   nothing behind for the next.
// - At most kKeptDescriptors per thread; the least recently used one is closed to make room, so
//   a program that touches many charsets does not hoard descriptors.
// - They are closed when the thread ends. A conversion that runs later in the thread's exit (from
//   a destructor of the host's own thread_local data) opens one of its own and closes it after.
// - A descriptor already lent is not lent again: a second borrower of the same pair on the same
//   thread (no conversion does that today) opens one of its own.
// - If iconv_open fails nothing is kept, so the next call tries again.
// - After fork the child has its own copy of the forking thread's cache and of the descriptors,
//   which in glibc are plain memory, and goes on using them.
// - Nothing here allocates but iconv_open itself (with malloc), so running out of memory shows
//   only as a descriptor that did not open.
#pragma once

#include <iconv.h>

#include <cstddef>

namespace corvane::platform::posix {

struct KeptDescriptor;

// Lends the calling thread's descriptor from fromCharset to toCharset, in its initial shift
// state, for the life of this object; opens it first when the thread keeps none. The names must
// be string constants: the cache keeps the pointers and knows a pair by their addresses.
class BorrowedDescriptor {
 public:
  BorrowedDescriptor(const char* toCharset, const char* fromCharset);
  ~BorrowedDescriptor();
  BorrowedDescriptor(const BorrowedDescriptor&) = delete;
  BorrowedDescriptor& operator=(const BorrowedDescriptor&) = delete;

  // False when iconv cannot open the pair.
  bool IsOpen() const { return cd_ != nullptr; }
  iconv_t get() const { return cd_; }

 private:
  iconv_t cd_ = nullptr;
  KeptDescriptor* kept_ = nullptr;  // the cache's entry; null for a descriptor of this call's own
};

// The most descriptors one thread keeps open.
inline constexpr std::size_t kKeptDescriptors = 4;

// How many descriptors the caches of all threads hold open now, lent ones included; for tests.
std::size_t KeptDescriptorCount();

}  // namespace corvane::platform::posix
