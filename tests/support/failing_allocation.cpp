// Replaces every form of the global operator new and delete with malloc and free behind a
// per-thread switch (failing_allocation.h). All forms are replaced together so that every
// allocation, the test framework's included, is paired with the matching release, also under
// the sanitizers, which watch malloc and free.
#include "tests/support/failing_allocation.h"

#include <cstdint>
#include <cstdlib>
#include <new>

namespace corvane::failing_allocation {
namespace {

constexpr std::size_t kNotFailing = SIZE_MAX;
thread_local std::size_t g_count = 0;
thread_local std::size_t g_successesLeft = kNotFailing;

void* Allocate(std::size_t size) noexcept {
  ++g_count;
  if (g_successesLeft == 0) return nullptr;
  if (g_successesLeft != kNotFailing) --g_successesLeft;
  return std::malloc(size == 0 ? 1 : size);
}

void* AllocateOrThrow(std::size_t size) {
  void* p = Allocate(size);
  if (p == nullptr) throw std::bad_alloc();
  return p;
}

}  // namespace

std::size_t Count() {
  return g_count;
}

FailAfter::FailAfter(std::size_t successes) {
  g_successesLeft = successes;
}

FailAfter::~FailAfter() {
  g_successesLeft = kNotFailing;
}

}  // namespace corvane::failing_allocation

using corvane::failing_allocation::Allocate;
using corvane::failing_allocation::AllocateOrThrow;

void* operator new(std::size_t size) {
  return AllocateOrThrow(size);
}
void* operator new[](std::size_t size) {
  return AllocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  return Allocate(size);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}
