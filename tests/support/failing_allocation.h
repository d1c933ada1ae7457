// Test-only control over the global allocation functions, which the unit tests replace: within a
// scope, allocations on the calling thread succeed a given number of times and then fail, the
// nothrow forms with null and the others with std::bad_alloc, as when memory runs out.
#pragma once

#include <cstddef>

namespace corvane::failing_allocation {

// Allocations made on this thread so far, failed ones included.
std::size_t Count();

class FailAfter {
 public:
  // The next `successes` allocations on this thread succeed; every later one fails.
  explicit FailAfter(std::size_t successes);
  ~FailAfter();
  FailAfter(const FailAfter&) = delete;
  FailAfter& operator=(const FailAfter&) = delete;
};

}  // namespace corvane::failing_allocation
