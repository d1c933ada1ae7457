#include "cxx/no_unit_scan.h"

namespace corvane::cxx {

bool HasNoUnitLong(const char16_t* units, std::size_t n) {
#if defined(CORVANE_CXX_AVX2)
  if (ProcessorHasAvx2()) return HasNoUnitAvx2(units, n);
#endif
  return HasNoUnit(units, n);
}

}  // namespace corvane::cxx
