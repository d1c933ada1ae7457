// Quillon: small helpers over nul-terminated UTF-16 strings.
#pragma once

#include <cstdint>

namespace quillon {

// Number of 16-bit units before the first 0 unit of s (s must not be null).
std::int32_t w_strlen(const std::uint16_t* s);

}  // namespace quillon
