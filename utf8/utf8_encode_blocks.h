// The encoder's block loop, shared by the vector kernels. Each gives it its block width, the
// output a mixed block may touch, and three steps on the kBlock units at src:
//   IsAscii(src)            whether they are all below 0x80
//   Narrow(src, out)        stores them as kBlock bytes at out
//   EncodeMixed(src, out)   encodes any other block at out, which has kMixedRoom bytes of room,
//                           and returns the bytes of its forms; or, in the standard-form
//                           kernels, which leave surrogates to the caller, stores nothing and
//                           returns kRefusedBlock when one of the units is a surrogate, and the
//                           loop stops before the block. The test shares its work with the
//                           encoding, where a test of its own would cost the standard-form
//                           kernel a tenth of its time.
// The steps take the block by address rather than as a vector, so that no vector type passes
// through this loop, which is written for the baseline; once all is inlined into the kernel,
// their loads of the block merge into one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "utf8/utf8_kernels.h"

namespace corvane {

inline constexpr std::size_t kRefusedBlock = ~std::size_t{0};

// Always inlined, so that each kernel compiles its own copy under its own target: the AVX2
// steps could not be inlined into a copy compiled for the baseline.
template <std::size_t kBlock, std::size_t kMixedRoom, bool (*IsAscii)(const Utf16Unit*),
          void (*Narrow)(const Utf16Unit*, std::uint8_t*),
          std::size_t (*EncodeMixed)(const Utf16Unit*, std::uint8_t*)>
[[gnu::always_inline]] inline KernelProgress EncodeBlocksWith(const Utf16Unit* src,
                                                              std::size_t length, std::uint8_t* dst,
                                                              std::size_t capacity) {
  std::size_t i = 0;
  std::size_t n = 0;
  while (length - i >= kBlock) {
    if (IsAscii(src + i)) {
      if (capacity - n < kBlock) break;
      Narrow(src + i, dst + n);
      n += kBlock;
    } else {
      if (capacity - n < kMixedRoom) break;
      const std::size_t forms = EncodeMixed(src + i, dst + n);
      if (forms == kRefusedBlock) break;
      n += forms;
    }
    i += kBlock;
  }
  return {i, n};
}

}  // namespace corvane
