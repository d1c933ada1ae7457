// Runs one UTF-8 codec call against buffers sized exactly as asked (so AddressSanitizer sees any
// read or write past them) and collects everything the call can be observed to do, so that tests
// can compare two implementations, or one call with its expectation, in a single EXPECT_EQ.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "codepages/table_types.h"
#include "tests/support/trace_capture.h"

namespace corvane::utf8_outcome {

using DecodeFn = std::int32_t (*)(const std::uint8_t*, std::int32_t, Utf16Unit*, std::int32_t,
                                  std::int32_t*);
using EncodeFn = std::int32_t (*)(const Utf16Unit*, std::int32_t, std::uint8_t*, std::int32_t);

// What a destination position holds when the call did not write it.
inline constexpr Utf16Unit kUntouchedUnit = 0xAAAA;
inline constexpr std::uint8_t kUntouchedByte = 0xAA;
inline constexpr std::int32_t kUntouchedConsumed = -7;

template <typename Unit>
struct Outcome {
  std::int32_t result = 0;
  std::int32_t consumed = kUntouchedConsumed;  // decoder only
  std::vector<Unit> dst;                       // the whole destination after the call
  std::vector<std::string> traces;

  bool operator==(const Outcome&) const = default;
};

template <typename Unit>
std::ostream& operator<<(std::ostream& os, const Outcome<Unit>& o) {
  os << "result " << o.result << ", consumed " << o.consumed << ", dst [" << std::hex;
  for (Unit u : o.dst)
    os << ' ' << static_cast<unsigned>(u);
  os << std::dec << " ], traces [";
  for (const std::string& t : o.traces)
    os << " \"" << t << '"';
  return os << " ]";
}

// dstSize units are allocated (none when it is not positive); withDst = false passes null.
inline Outcome<Utf16Unit> Decode(DecodeFn fn, const std::vector<std::uint8_t>& src,
                                 std::int32_t srcLen, std::int32_t dstSize, bool withDst = true) {
  // A copy of exactly src.size() bytes on the heap, so an over-read leaves the allocation.
  const std::vector<std::uint8_t> input(src);
  Outcome<Utf16Unit> o;
  o.dst.assign(dstSize > 0 ? static_cast<std::size_t>(dstSize) : 0, kUntouchedUnit);
  trace_capture::Take();
  Utf16Unit* dst = withDst ? o.dst.data() : nullptr;
  o.result = fn(input.data(), srcLen, dst, dstSize, &o.consumed);
  o.traces = trace_capture::Take();
  return o;
}

inline Outcome<std::uint8_t> Encode(EncodeFn fn, const std::vector<Utf16Unit>& src,
                                    std::int32_t srcLen, std::int32_t dstSize) {
  const std::vector<Utf16Unit> input(src);
  Outcome<std::uint8_t> o;
  o.dst.assign(dstSize > 0 ? static_cast<std::size_t>(dstSize) : 0, kUntouchedByte);
  trace_capture::Take();
  o.result = fn(input.data(), srcLen, o.dst.empty() ? nullptr : o.dst.data(), dstSize);
  o.traces = trace_capture::Take();
  return o;
}

}  // namespace corvane::utf8_outcome
