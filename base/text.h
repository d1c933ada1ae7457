// The text every layer passes around: UTF-16 units and byte strings whose length has been settled
// once, where a caller's arguments arrive, so that nothing below asks again whether a length of
// -1 meant "up to the first 0".
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "quillon/quillon.h"

namespace corvane {

// One unit of UTF-16 text as the public interface passes it.
using Utf16Unit = std::uint16_t;

// One unsigned subtract-and-compare: lo <= v <= hi.
constexpr bool InRange(std::uint32_t v, std::uint32_t lo, std::uint32_t hi) {
  return v - lo <= hi - lo;
}

// Whether nul-terminated a and b are equal once ASCII capitals are folded to small letters; every
// other byte, bytes above 0x7F included, must be equal as it stands. Written here rather than
// borrowed from the C library so that no locale can change which names match.
constexpr bool EqualsIgnoringAsciiCase(const char* a, const char* b) {
  const auto fold = [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  };
  for (;; ++a, ++b) {
    if (fold(*a) != fold(*b)) return false;
    if (*a == '\0') return true;  // equal here, so both end together
  }
}

// A string of T with its length settled: `size` elements, and for a caller's -1 (`terminated`)
// the 0 element that ended it, which some operations convert or count as a terminator and which
// lies at data[size]. data may be null only when size is 0 and terminated is false.
template <typename T>
struct Text {
  const T* data = nullptr;
  std::size_t size = 0;
  bool terminated = false;

  const T& operator[](std::size_t i) const { return data[i]; }
  // The first n elements, as a counted text.
  Text Prefix(std::size_t n) const { return {data, n < size ? n : size, false}; }
  // Everything from element n on, the terminator kept.
  Text From(std::size_t n) const {
    const std::size_t at = n < size ? n : size;
    return {data + at, size - at, terminated};
  }
};

using ByteText = Text<std::uint8_t>;
using WideText = Text<Utf16Unit>;

// A caller's (pointer, length): -1 ends at the first 0, any other negative length is an empty
// text. The pointer must not be null unless the length is 0 or negative (not -1).
inline ByteText SettleBytes(const std::uint8_t* data, std::int32_t length) {
  if (length == -1) return {data, std::strlen(reinterpret_cast<const char*>(data)), true};
  return {data, length > 0 ? static_cast<std::size_t>(length) : 0, false};
}

inline WideText SettleWide(const Utf16Unit* data, std::int32_t length) {
  if (length == -1) return {data, static_cast<std::size_t>(quillon::w_strlen(data)), true};
  return {data, length > 0 ? static_cast<std::size_t>(length) : 0, false};
}

}  // namespace corvane
