// The temporary buffers of one conversion call. They are allocated without throwing: an
// exception must never leave a C export, and a conversion that cannot get its memory ends with 0,
// as the system's own conversion functions do. The owner frees the buffer on every return path.
#pragma once

#include <cstddef>
#include <memory>
#include <new>

namespace corvane {

template <typename T>
using TemporaryBuffer = std::unique_ptr<T[]>;

// count elements, left uninitialised; null when the memory cannot be had.
template <typename T>
TemporaryBuffer<T> AllocateTemporary(std::size_t count) {
  return TemporaryBuffer<T>(new (std::nothrow) T[count]);
}

}  // namespace corvane
