#include "quillon/quillon.h"

namespace quillon {

std::int32_t w_strlen(const std::uint16_t* s) {
  const std::uint16_t* p = s;
  while (*p != 0)
    ++p;
  return static_cast<std::int32_t>(p - s);
}

}  // namespace quillon
