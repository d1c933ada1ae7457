#include "convert/system_road.h"

#include <algorithm>
#include <climits>

#include "platform/platform.h"

namespace corvane {
namespace {

// The length a caller gave, as the platform's Windows-shaped interface takes it.
template <typename T>
std::int32_t LengthArgument(const Text<T>& text) {
  if (text.terminated) return -1;
  return static_cast<std::int32_t>(std::min<std::size_t>(text.size, INT32_MAX));
}

std::int32_t CapacityArgument(std::size_t size) {
  return static_cast<std::int32_t>(std::min<std::size_t>(size, INT32_MAX));
}

}  // namespace

std::int32_t DecodeWithSystem(std::uint32_t codePage, const ByteText& text,
                              std::span<Utf16Unit> dst) {
  return platform::MultiByteToWideChar(codePage, 0, text.data, LengthArgument(text), dst.data(),
                                       CapacityArgument(dst.size()));
}

std::int32_t EncodeWithSystem(std::uint32_t codePage, std::uint32_t flags, const WideText& text,
                              std::span<std::uint8_t> dst, const char* defaultChar,
                              std::int32_t* defaultUsed) {
  return platform::WideCharToMultiByte(codePage, flags, text.data, LengthArgument(text), dst.data(),
                                       CapacityArgument(dst.size()), defaultChar, defaultUsed);
}

}  // namespace corvane
