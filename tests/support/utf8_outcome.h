// Runs one UTF-8 codec call on buffers sized exactly (so AddressSanitizer sees any access past
// them) and collects everything the call can be observed to do, so that two implementations, or
// one call and its expectation, are compared in a single EXPECT_EQ.
#pragma once

#include <gtest/gtest.h>

#include <span>
#include <type_traits>

#include "tests/support/hex.h"
#include "tests/support/trace_capture.h"
#include "utf8/utf8_codec.h"

namespace corvane::utf8_outcome {

inline constexpr std::int32_t kUntouchedConsumed = -7;

// The destination before the call: dstSize positions, and at least one, so that a call told it
// has no room is seen to keep out of a real buffer.
template <typename Unit>
std::vector<Unit> Untouched(std::int32_t dstSize) {
  return std::vector<Unit>(static_cast<std::size_t>(dstSize > 1 ? dstSize : 1), Unit(0xAAAA));
}

template <typename Unit>
struct Outcome {
  std::int32_t result;
  std::int32_t consumed;  // the encoder has none: kUntouchedConsumed
  std::vector<Unit> dst;  // the whole destination after the call
  std::vector<std::string> traces;

  bool operator==(const Outcome&) const = default;
  friend std::ostream& operator<<(std::ostream& os, const Outcome& o) {
    return os << "result " << o.result << ", consumed " << o.consumed << ", dst " << Hex(o.dst)
              << ", traces " << testing::PrintToString(o.traces);
  }
};

// Calls fn, a decoder (In: bytes; it takes the consumed count) or an encoder (In: units), on a
// copy of *src that fills its heap block exactly, with the source and destination given as the
// exports give them: src null: a null source (which the decoder answers and the encoder is never
// given); withDst false: a null destination, with dstSize as given (only counting).
template <typename In, typename Fn>
auto Run(Fn fn, const std::vector<In>* src, int srcLen, int dstSize, bool withDst = true) {
  constexpr bool kDecoder = std::is_same_v<In, std::uint8_t>;
  using Unit = std::conditional_t<kDecoder, Utf16Unit, std::uint8_t>;
  const std::vector<In> input = src != nullptr ? *src : std::vector<In>{};
  Outcome<Unit> o{0, kUntouchedConsumed, Untouched<Unit>(dstSize), {}};
  const std::span<Unit> to(o.dst.data(),
                           withDst && dstSize > 0 ? static_cast<std::size_t>(dstSize) : 0);
  trace_capture::Take();
  if constexpr (kDecoder) {
    o.result =
        src == nullptr ? Utf8NullSource() : fn(SettleBytes(input.data(), srcLen), to, &o.consumed);
  } else {
    o.result = dstSize < 0 ? 0 : fn(SettleWide(input.data(), srcLen), to);
  }
  o.traces = trace_capture::Take();
  return o;
}

}  // namespace corvane::utf8_outcome
