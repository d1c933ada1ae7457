// Test data written as hex text ("82 A0 41" for bytes, "3042 0041" for UTF-16 units), so that
// tables of cases stay one readable row per case, and printed back the same way on failure.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace corvane {

using Bytes = std::vector<std::uint8_t>;
using Units = std::vector<std::uint16_t>;

template <typename T>
std::vector<T> FromHex(const char* text) {
  std::vector<T> out;
  for (char* end = nullptr;; text = end) {
    const unsigned long v = std::strtoul(text, &end, 16);
    if (end == text) return out;
    out.push_back(static_cast<T>(v));
  }
}

// B("82 A0 41"), U("3042 0041").
inline constexpr auto B = FromHex<std::uint8_t>;
inline constexpr auto U = FromHex<std::uint16_t>;

template <typename T>
std::string Hex(const std::vector<T>& values) {
  std::string s;
  char buf[8];
  for (T v : values) {
    std::snprintf(buf, sizeof buf, sizeof(T) == 1 ? "%02X " : "%04X ", unsigned{v});
    s += buf;
  }
  return s;
}

}  // namespace corvane
