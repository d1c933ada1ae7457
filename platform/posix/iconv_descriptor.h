// The bookkeeping that both iconv conversions share: the output window iconv writes into, which is
// either the caller's buffer or, for a size query, a scratch buffer that is counted and reused,
// and the loop that runs iconv into it. The conversions borrow their descriptors from the
// thread's cache (iconv_cache.h); IconvDescriptor opens one of its own, for a question asked once.
#pragma once

#include <iconv.h>

#include <bit>
#include <cstddef>
#include <cstdint>

namespace corvane::platform::posix {

// UTF-16 in the host's byte order, the form a Utf16Unit holds, so that iconv reads and writes the
// caller's units in place.
inline constexpr const char* kWideCharset =
    std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// Owns one iconv conversion descriptor, closed when the owner goes.
class IconvDescriptor {
 public:
  IconvDescriptor(const char* toCharset, const char* fromCharset)
      : cd_(iconv_open(toCharset, fromCharset)) {}
  ~IconvDescriptor() {
    if (IsOpen()) iconv_close(cd_);
  }
  IconvDescriptor(const IconvDescriptor&) = delete;
  IconvDescriptor& operator=(const IconvDescriptor&) = delete;

  // iconv_open reports failure as (iconv_t)-1.
  bool IsOpen() const { return cd_ != reinterpret_cast<iconv_t>(static_cast<std::intptr_t>(-1)); }

 private:
  iconv_t cd_;
};

// Where iconv writes. With a destination it is that buffer, and running out of room fails the
// call; without one (capacity 0, a size query) it is a scratch buffer on the stack that is
// counted and rewound, so any length can be measured without allocating.
class OutputWindow {
 public:
  // dst: the caller's buffer, capacityBytes long; ignored when capacityBytes is 0.
  OutputWindow(void* dst, std::size_t capacityBytes);
  OutputWindow(const OutputWindow&) = delete;
  OutputWindow& operator=(const OutputWindow&) = delete;

  // The position and room that iconv advances.
  char** Next() { return &next_; }
  std::size_t* Left() { return &left_; }

  // Called when the window is full: a measuring window counts what it holds and starts over.
  // False for the caller's buffer, whose call then fails with 0.
  bool Rewind();
  // Appends bytes that iconv did not produce (a substitute); false when they do not fit.
  bool Append(const void* bytes, std::size_t count);

  // Bytes produced so far, counted across every rewind of the scratch buffer.
  std::size_t Produced() const { return counted_ + (capacity_ - left_); }

  // Whether this is a size query's scratch buffer rather than the caller's buffer.
  bool Measuring() const { return measuring_; }
  // How many input bytes to hand iconv at once. A measuring window takes no more than its
  // scratch buffer surely holds the output of, because glibc's iconv is slow to recover from a
  // full output buffer (it converts the pending input again to find where it stopped): measuring
  // 1.4 MB of Shift_JIS ran at 9 MB/s that way and runs at 260 MB/s in chunks. No charset here
  // writes more than two bytes per input byte; a quarter leaves room to spare.
  std::size_t InputLimit() const { return measuring_ ? kScratchBytes / 4 : SIZE_MAX; }

 private:
  static constexpr std::size_t kScratchBytes = 1024;

  bool measuring_;
  char* start_;
  std::size_t capacity_;
  char* next_;
  std::size_t left_;
  std::size_t counted_ = 0;
  char scratch_[kScratchBytes];
};

// Why a run of iconv stopped.
enum class IconvStop {
  kDone,        // all input converted (or, for a flush, the shift state written back)
  kInvalid,     // at input that cannot be converted: an invalid sequence, or a character that
                // the target lacks; *in points at it
  kIncomplete,  // at a sequence cut off by the end of the input
  kNoRoom,      // the caller's buffer is full
  kError,       // anything else iconv reports
};

// Runs iconv over [*in, *in + *inLeft) into out until the input is used up or iconv stops at
// something it cannot convert, advancing *in and *inLeft; rewinds a measuring window as often
// as needed. With in and inLeft null it writes the sequence that returns the descriptor to its
// initial shift state.
IconvStop ConvertUntilStop(iconv_t cd, const char** in, std::size_t* inLeft, OutputWindow& out);

}  // namespace corvane::platform::posix
