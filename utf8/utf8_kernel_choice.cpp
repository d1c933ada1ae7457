// Which bulk kernels the UTF-8 codec runs: the one place that names every implementation.
//
// The list holds what this build compiled, fastest first, and the codec takes the first entry.
// Every entry runs on every processor the build targets (see utf8_kernels.h), so the list is
// constant and the choice costs nothing. An implementation that needs more than the build's
// baseline (AVX2) joins it behind a processor check made once, in a thread-safe static, and the
// codec's loops stay as they are. The word-at-a-time pair comes last: it runs everywhere.
#include "utf8/utf8_kernels.h"

namespace corvane {
namespace {

constexpr Utf8Kernels kKernels[] = {
#if defined(CORVANE_UTF8_KERNELS_SSE2)
    {"sse2", DecodeOrdinaryBlocksSse2, EncodeOrdinaryBlocksSse2},
#endif
    {"words", DecodeOrdinaryBlocksWords, EncodeOrdinaryBlocksWords},
};

}  // namespace

std::span<const Utf8Kernels> AvailableUtf8Kernels() {
  return kKernels;
}

const Utf8Kernels& ChosenUtf8Kernels() {
  return kKernels[0];
}

}  // namespace corvane
