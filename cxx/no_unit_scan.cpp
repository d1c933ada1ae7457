#include "cxx/no_unit_scan.h"

namespace corvane::cxx {

#if defined(CORVANE_CXX_AVX2)
bool ProcessorHasAvx2() {
  static const bool has = [] {
    // Asked directly: this may run inside another library's start-up, before the compiler's own
    // run-time has asked.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
}
#endif

bool HasNoUnitLong(const char16_t* units, std::size_t n) {
#if defined(CORVANE_CXX_AVX2)
  if (ProcessorHasAvx2()) return HasNoUnitAvx2(units, n);
#endif
  return HasNoUnit(units, n);
}

}  // namespace corvane::cxx
