// UTF-8 (65001), both directions, by the library's own codec (utf8/utf8_codec.h) with the result
// rules of the general conversions: the whole text is converted, then as much of it copied as
// fits, cut wherever the capacity ends. Most calls have room enough and are converted straight
// into the destination; only one that does not is converted into a buffer of our own first.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

#include "base/text.h"

namespace corvane {

// The decoder's units of text (which end with its terminator unit, for either kind of text, and
// stop at the first faulty sequence), as many as fit in dst.
//   returns  units written; nullopt when the buffer could not be allocated
std::optional<std::size_t> DecodeUtf8Road(const ByteText& text, std::span<Utf16Unit> dst);

// The encoder's bytes of text (a terminated text's terminator included), as many as fit in dst;
// an empty dst only counts them.
//   returns  bytes written, or all the bytes when only counting; nullopt when the buffer could
//            not be allocated
std::optional<std::size_t> EncodeUtf8Road(const WideText& text, std::span<std::uint8_t> dst);

}  // namespace corvane
