// The UTF-8 codec's bulk kernels: each converts a prefix of ordinary text, block by block, and
// reports how far it got on both sides; the per-character code in utf8_decode.cpp and
// utf8_encode.cpp applies the rules to everything else (faults, four-byte forms, the end of the
// input, a buffer that is running out, terminators) and calls the kernel again.
//
// Each kernel has several implementations under names of their own, all with the one contract
// below, all storing exactly what the reference loops would store for the same characters: the
// word-at-a-time ones in portable C++, compiled everywhere, and the SSE2 ones wherever the build
// targets SSE2 (the x86-64 baseline, and the 32-bit DLL, built with -msse2), so that no processor
// check is needed to run them. GCC and Clang say so with __SSE2__; MSVC defines no __SSE2__ but
// _M_X64, or _M_IX86_FP 2 under /arch:SSE2. Those two are asked of MSVC only: MinGW's
// <windows.h> defines _M_X64 as well, and the choice must not depend on whether a file included
// it. The AVX2 ones are compiled wherever GCC or Clang targets x86, whatever the baseline, and
// run only where the processor has AVX2. utf8_kernel_choice.cpp lists the implementations this
// build has and this processor runs, and picks the codec's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "base/text.h"

#if defined(__SSE2__) || \
    (defined(_MSC_VER) && (defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)))
#define CORVANE_UTF8_KERNELS_SSE2 1
#endif
#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#define CORVANE_UTF8_KERNELS_AVX2 1
// Marks every function of the AVX2 kernels, which are compiled for AVX2 one function at a time:
// compiling their files with -mavx2 would also compile any inline function they share with the
// rest of the library for AVX2, and the linker may keep that copy for everyone.
#define CORVANE_TARGET_AVX2 __attribute__((target("avx2,popcnt")))
#endif

namespace corvane {

struct KernelProgress {
  std::size_t read;     // input taken: bytes when decoding, units when encoding
  std::size_t written;  // output produced: units when decoding, bytes when encoding
};

// Decodes whole one-, two- and three-byte characters from the start of src[0, length), by the
// decoder's arithmetic, and stops before the first character it does not take: a four-byte form,
// any faulty or unfinished sequence, or one it cannot see whole inside `length`; it may stop
// earlier, at any character boundary (within the last block's width of the end, for instance).
// Reads nothing at or past src + length.
//   dst       null = count only; otherwise dst[0, written) receives the units reported and the
//             rest of dst[0, capacity) ends as it was (a kernel may read a unit there and store
//             it back); nothing at or past dst + capacity is read or written
//   capacity  units that may be stored (ignored when counting); written never exceeds it
using DecodeKernel = KernelProgress (*)(const std::uint8_t* src, std::size_t length, Utf16Unit* dst,
                                        std::size_t capacity);

// Encodes units from the start of src[0, length) (every unit, surrogates included, has a form of
// one to three bytes) until the input or the room is too short for another block; the rest is
// left to the caller. Reads nothing at or past src + length.
//   dst       dst[0, written) receives the bytes reported and the rest of dst[0, capacity) ends
//             as it was; nothing at or past dst + capacity is read or written
//   capacity  bytes of dst that may be used; written never exceeds it
using EncodeKernel = KernelProgress (*)(const Utf16Unit* src, std::size_t length, std::uint8_t* dst,
                                        std::size_t capacity);

KernelProgress DecodeOrdinaryBlocksWords(const std::uint8_t* src, std::size_t length,
                                         Utf16Unit* dst, std::size_t capacity);
KernelProgress EncodeOrdinaryBlocksWords(const Utf16Unit* src, std::size_t length,
                                         std::uint8_t* dst, std::size_t capacity);
#if defined(CORVANE_UTF8_KERNELS_SSE2)
KernelProgress DecodeOrdinaryBlocksSse2(const std::uint8_t* src, std::size_t length, Utf16Unit* dst,
                                        std::size_t capacity);
KernelProgress DecodeStandardBlocksSse2(const std::uint8_t* src, std::size_t length, Utf16Unit* dst,
                                        std::size_t capacity);
KernelProgress EncodeOrdinaryBlocksSse2(const Utf16Unit* src, std::size_t length, std::uint8_t* dst,
                                        std::size_t capacity);
KernelProgress EncodeStandardBlocksSse2(const Utf16Unit* src, std::size_t length, std::uint8_t* dst,
                                        std::size_t capacity);
#endif
#if defined(CORVANE_UTF8_KERNELS_AVX2)
// Only where the processor has AVX2 (and POPCNT, which every such processor has).
KernelProgress DecodeOrdinaryBlocksAvx2(const std::uint8_t* src, std::size_t length, Utf16Unit* dst,
                                        std::size_t capacity);
KernelProgress DecodeStandardBlocksAvx2(const std::uint8_t* src, std::size_t length, Utf16Unit* dst,
                                        std::size_t capacity);
KernelProgress EncodeOrdinaryBlocksAvx2(const Utf16Unit* src, std::size_t length, std::uint8_t* dst,
                                        std::size_t capacity);
KernelProgress EncodeStandardBlocksAvx2(const Utf16Unit* src, std::size_t length, std::uint8_t* dst,
                                        std::size_t capacity);
#endif

// One implementation of both kernels, as the codec's fast loops take it.
struct Utf8Kernels {
  const char* name;  // "avx2", "sse2", "words": names the implementation in tests and benchmarks
  DecodeKernel decode;
  EncodeKernel encode;
  // Bytes below which `decode` reads nothing (one block and the bytes it looks ahead). Under it
  // the decoder hands the text to the word-at-a-time kernel, which needs only eight: a short
  // string or the tail of a long one is otherwise left to the per-character loop, which would
  // call the wide kernel again after every character for nothing.
  std::size_t decodeMinimum;
  // As `decode` (storing only), but also stopping before the forms the Unicode standard forbids
  // and the arithmetic allows: overlong forms (C0, C1; E0 before 80-9F) and surrogates (ED
  // before A0-BF). The C++ interface decodes by the standard; null where an implementation has
  // none, and its caller checks what `decode` took instead.
  DecodeKernel decodeStandard;
  // As `encode`, but stopping before a block that holds a surrogate, which the C++ interface
  // writes as a pair's one four-byte form or not at all; null as for decodeStandard.
  EncodeKernel encodeStandard;
};

// Every implementation this build has and this processor runs, the fastest first.
std::span<const Utf8Kernels> AvailableUtf8Kernels();

// The implementation Utf8ToUcs2 and Ucs2ToUtf8 use. Cheap enough to ask on every call.
const Utf8Kernels& ChosenUtf8Kernels();

}  // namespace corvane
