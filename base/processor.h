// What the processor can run beyond the build's baseline, asked once for every kernel that
// compiles its functions for AVX2 alone (the UTF-8 codec's, the double-byte blocks', the C++
// decoders' scans).
#pragma once

namespace corvane {

// Whether this processor runs AVX2, with BMI1 and POPCNT, which every processor with AVX2 has and
// the AVX2 kernels also use. False wherever the compiler builds no such kernel.
inline bool ProcessorHasAvx2() {
#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
  static const bool has = [] {
    // Asked directly: this may run inside another library's or the program's start-up, before
    // the compiler's own run-time has asked.
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi") &&
           __builtin_cpu_supports("popcnt");
  }();
  return has;
#else
  return false;
#endif
}

}  // namespace corvane
