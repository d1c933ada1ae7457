#include "platform/posix/iconv_cache.h"

#include <atomic>
#include <cstdint>

namespace corvane::platform::posix {

// One kept descriptor. An entry without a descriptor (cd null) is free, and its lastUse of 0 makes
// it the first to be taken.
struct KeptDescriptor {
  const char* toCharset = nullptr;
  const char* fromCharset = nullptr;
  iconv_t cd = nullptr;
  std::uint64_t lastUse = 0;
  bool lent = false;
};

namespace {

enum class CacheState : std::uint8_t {
  kEmpty,    // nothing kept yet, so nothing to close at the thread's end
  kKeeping,  // the thread's end closes what is kept
  kClosed,   // the thread is ending: every call opens its own descriptor
};

// Trivially destructible and constant-initialised, so that using it costs no guard and it stays
// readable to the last moment of the thread; the closing is CloseAtThreadEnd's.
struct ThreadCache {
  KeptDescriptor entries[kKeptDescriptors];
  std::uint64_t clock = 0;
  CacheState state = CacheState::kEmpty;
};

constinit thread_local ThreadCache t_cache;

std::atomic<std::size_t> g_keptCount{0};

const iconv_t kOpenFailed = reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1));

iconv_t Open(const char* toCharset, const char* fromCharset) {
  const iconv_t cd = iconv_open(toCharset, fromCharset);
  return cd == kOpenFailed ? nullptr : cd;
}

void Forget(KeptDescriptor& entry) {
  if (entry.cd == nullptr) return;
  iconv_close(entry.cd);
  g_keptCount.fetch_sub(1, std::memory_order_relaxed);
  entry = KeptDescriptor{};
}

struct CloseAtThreadEnd {
  ~CloseAtThreadEnd() {
    for (KeptDescriptor& entry : t_cache.entries)
      Forget(entry);
    t_cache.state = CacheState::kClosed;
  }
};

// Called when the thread first keeps a descriptor, so that a thread that never converts through
// iconv registers nothing.
void CloseWhenThreadEnds() {
  [[maybe_unused]] thread_local CloseAtThreadEnd closer;
}

// Names are told apart by address, which is cheaper than comparing them: they are the backend's
// constants, and a name under two addresses only takes two entries.
bool Holds(const KeptDescriptor& entry, const char* toCharset, const char* fromCharset) {
  return entry.cd != nullptr && entry.toCharset == toCharset && entry.fromCharset == fromCharset;
}

// The entry to lend for the pair: the one that holds it, else a free one, else the least recently
// used one not lent; null when the pair's own entry is lent, or every entry is.
KeptDescriptor* EntryFor(ThreadCache& cache, const char* toCharset, const char* fromCharset) {
  KeptDescriptor* oldest = nullptr;
  for (KeptDescriptor& entry : cache.entries) {
    if (Holds(entry, toCharset, fromCharset)) return entry.lent ? nullptr : &entry;
    if (!entry.lent && (oldest == nullptr || entry.lastUse < oldest->lastUse)) oldest = &entry;
  }
  return oldest;
}

}  // namespace

BorrowedDescriptor::BorrowedDescriptor(const char* toCharset, const char* fromCharset) {
  ThreadCache& cache = t_cache;
  KeptDescriptor* const entry =
      cache.state == CacheState::kClosed ? nullptr : EntryFor(cache, toCharset, fromCharset);
  if (entry == nullptr) {
    cd_ = Open(toCharset, fromCharset);
    return;
  }
  if (Holds(*entry, toCharset, fromCharset)) {
    // Whatever the previous call left in the shift state goes.
    iconv(entry->cd, nullptr, nullptr, nullptr, nullptr);
  } else {
    Forget(*entry);
    const iconv_t cd = Open(toCharset, fromCharset);
    if (cd == nullptr) return;
    if (cache.state == CacheState::kEmpty) {
      CloseWhenThreadEnds();
      cache.state = CacheState::kKeeping;
    }
    g_keptCount.fetch_add(1, std::memory_order_relaxed);
    *entry = KeptDescriptor{toCharset, fromCharset, cd, 0, false};
  }
  entry->lastUse = ++cache.clock;
  entry->lent = true;
  cd_ = entry->cd;
  kept_ = entry;
}

BorrowedDescriptor::~BorrowedDescriptor() {
  if (kept_ != nullptr) {
    kept_->lent = false;
  } else if (cd_ != nullptr) {
    iconv_close(cd_);
  }
}

std::size_t KeptDescriptorCount() {
  return g_keptCount.load(std::memory_order_relaxed);
}

}  // namespace corvane::platform::posix
