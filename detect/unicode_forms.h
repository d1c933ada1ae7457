// The Unicode encoding forms as a detector sees them: a byte order mark, UTF-8 that is valid from
// start to end, UTF-16 without a mark.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace corvane::detection {

using Bytes = std::span<const std::uint8_t>;

// The encoding a byte order mark at the start names, or null. UTF-32LE's mark begins with
// UTF-16LE's; a UTF-16LE text starting with U+0000 is rarer than a UTF-32LE one.
const char* MarkedEncoding(Bytes bytes);

struct Utf8Shape {
  bool valid = false;         // shortest forms, no surrogates, nothing past U+10FFFF
  std::size_t multiByte = 0;  // sequences of two bytes or more
};
// A sequence cut off by the end of `bytes` is no fault: the text may be the head of a file.
Utf8Shape ExamineUtf8(Bytes bytes);

// Whether the bytes could be UTF-16 in the order given (little-endian when `little`): pairs
// of surrogates in order and no U+FFFE or U+FFFF. One odd byte at the end is allowed as a cut.
bool IsPlausibleUtf16(Bytes bytes, bool little);

}  // namespace corvane::detection
