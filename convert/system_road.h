// The system's road, both directions: the platform's conversion (platform/platform.h), handed
// the caller's text as it came, a terminated text as -1, so that the system sees what it would
// see from the caller.
#pragma once

#include <cstdint>
#include <span>

#include "base/text.h"

namespace corvane {

// The system's result: units or bytes written, 0 for a code page it lacks or too small a dst.
std::int32_t DecodeWithSystem(std::uint32_t codePage, const ByteText& text,
                              std::span<Utf16Unit> dst);
std::int32_t EncodeWithSystem(std::uint32_t codePage, std::uint32_t flags, const WideText& text,
                              std::span<std::uint8_t> dst, const char* defaultChar,
                              std::int32_t* defaultUsed);

}  // namespace corvane
