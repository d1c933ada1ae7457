// Which bulk kernels the UTF-8 codec runs: the one place that names every implementation.
//
// The list holds what this build compiled, fastest first, and the codec takes the first entry
// that this processor runs. The SSE2 and word-at-a-time pairs run on every processor the build
// targets (see utf8_kernels.h); the AVX2 pair, compiled for x86 whatever the baseline, only where
// the processor says it has AVX2, which it is asked once, in a thread-safe static. The
// word-at-a-time pair comes last: it runs everywhere.
#include "base/processor.h"
#include "utf8/utf8_kernels.h"

namespace corvane {
namespace {

constexpr Utf8Kernels kKernels[] = {
#if defined(CORVANE_UTF8_KERNELS_AVX2)
    {"avx2", DecodeOrdinaryBlocksAvx2, EncodeOrdinaryBlocksAvx2, 34, DecodeStandardBlocksAvx2,
     EncodeStandardBlocksAvx2},
#endif
#if defined(CORVANE_UTF8_KERNELS_SSE2)
    {"sse2", DecodeOrdinaryBlocksSse2, EncodeOrdinaryBlocksSse2, 18, DecodeStandardBlocksSse2,
     EncodeStandardBlocksSse2},
#endif
    {"words", DecodeOrdinaryBlocksWords, EncodeOrdinaryBlocksWords, 0, nullptr, nullptr},
};

// Entries at the front of kKernels that this processor cannot run.
std::size_t UnsupportedKernels() {
#if defined(CORVANE_UTF8_KERNELS_AVX2)
  if (!ProcessorHasAvx2()) return 1;
#endif
  return 0;
}

}  // namespace

std::span<const Utf8Kernels> AvailableUtf8Kernels() {
  static const std::size_t unsupported = UnsupportedKernels();
  return std::span(kKernels).subspan(unsupported);
}

const Utf8Kernels& ChosenUtf8Kernels() {
  return AvailableUtf8Kernels().front();
}

}  // namespace corvane
