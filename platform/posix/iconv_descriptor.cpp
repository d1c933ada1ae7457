#include "platform/posix/iconv_descriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace corvane::platform::posix {

OutputWindow::OutputWindow(void* dst, std::size_t capacityBytes)
    : measuring_(capacityBytes == 0),
      start_(measuring_ ? scratch_ : static_cast<char*>(dst)),
      capacity_(measuring_ ? kScratchBytes : capacityBytes),
      next_(start_),
      left_(capacity_) {}

bool OutputWindow::Rewind() {
  // An empty measuring window that is still too small would loop for ever; no character needs
  // that much, so treat it like a full buffer.
  if (!measuring_ || left_ == capacity_) return false;
  counted_ += capacity_ - left_;
  next_ = start_;
  left_ = capacity_;
  return true;
}

bool OutputWindow::Append(const void* bytes, std::size_t count) {
  if (left_ < count && !Rewind()) return false;
  if (left_ < count) return false;
  std::memcpy(next_, bytes, count);
  next_ += count;
  left_ -= count;
  return true;
}

IconvStop ConvertUntilStop(iconv_t cd, const char** in, std::size_t* inLeft, OutputWindow& out) {
  const bool flush = in == nullptr;
  for (;;) {
    // Each chunk starts in an empty scratch buffer, which surely holds its output.
    if (out.Measuring()) out.Rewind();
    const std::size_t chunk = flush ? 0 : std::min(*inLeft, out.InputLimit());
    std::size_t chunkLeft = chunk;
    // iconv's prototype takes char** for input that it only reads.
    const std::size_t result =
        iconv(cd, const_cast<char**>(in), flush ? nullptr : &chunkLeft, out.Next(), out.Left());
    const int error = errno;
    if (!flush) *inLeft -= chunk - chunkLeft;
    if (result != static_cast<std::size_t>(-1)) {
      if (flush || *inLeft == 0) return IconvStop::kDone;
      continue;
    }
    switch (error) {
      case E2BIG:
        if (!out.Rewind()) return IconvStop::kNoRoom;
        break;
      case EILSEQ:
        return IconvStop::kInvalid;
      case EINVAL:
        // A sequence cut off by the chunk, not by the input, is completed by the next chunk.
        if (!flush && *inLeft > chunkLeft) break;
        return IconvStop::kIncomplete;
      default:
        return IconvStop::kError;
    }
  }
}

}  // namespace corvane::platform::posix
