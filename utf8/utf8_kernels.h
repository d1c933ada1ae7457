// The UTF-8 codec's bulk kernels: each converts a prefix of ordinary text, block by block, and
// reports how far it got on both sides; the per-character code in utf8_decode.cpp and
// utf8_encode.cpp applies the rules to everything else (faults, four-byte forms, the end of the
// input, a buffer that is running out, terminators) and calls the kernel again.
//
// One implementation of each kernel is compiled, chosen here at compile time: SSE2 where the
// compiler targets it (the x86-64 baseline, so no CPU check is needed), plain word-at-a-time
// code everywhere else. GCC and Clang say so with __SSE2__ (MinGW's x86-64 too, its i686 only
// with -msse2); MSVC defines no __SSE2__ but _M_X64, or _M_IX86_FP 2 under /arch:SSE2. Those
// two are asked of MSVC only: MinGW's <windows.h> defines _M_X64 as well, and the choice must
// not depend on whether a file included it (-U__SSE2__ picks the portable kernels everywhere).
// Both kernels have the contract below and store exactly what the reference loops would store
// for the same characters.
#pragma once

#include <cstddef>
#include <cstdint>

#include "codepages/table_types.h"

#if defined(__SSE2__) || \
    (defined(_MSC_VER) && (defined(_M_X64) || (defined(_M_IX86_FP) && _M_IX86_FP >= 2)))
#define CORVANE_UTF8_KERNEL_SSE2 1
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
KernelProgress DecodeOrdinaryBlocks(const std::uint8_t* src, std::size_t length, Utf16Unit* dst,
                                    std::size_t capacity);

// Encodes units from the start of src[0, length) (every unit, surrogates included, has a form of
// one to three bytes) until the input or the room is too short for another block; the rest is
// left to the caller. Reads nothing at or past src + length.
//   dst       dst[0, written) receives the bytes reported and the rest of dst[0, capacity) ends
//             as it was; nothing at or past dst + capacity is read or written
//   capacity  bytes of dst that may be used; written never exceeds it
KernelProgress EncodeOrdinaryBlocks(const Utf16Unit* src, std::size_t length, std::uint8_t* dst,
                                    std::size_t capacity);

}  // namespace corvane
