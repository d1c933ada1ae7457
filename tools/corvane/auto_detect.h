// What -f auto reads a file as: a byte order mark decides first, then text that is valid UTF-8
// from start to end (pure ASCII among it), then corvane::detect over a sample of the file. The
// input is fed as it is read and held back by the caller until Decided(); the answer then holds
// for the whole file.
//
// The sample is at most kSampleSize bytes and starts where the file stops being plain ASCII
// text (the first byte above 0x7F, zero byte or ESC): a long English preamble tells nothing, and
// the sample should hold what does.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "corvane.hpp"

namespace corvane_tool {

class AutoDetector {
 public:
  static constexpr std::size_t kSampleSize = 64 * 1024;

  void Feed(std::span<const std::uint8_t> bytes);

  // Whether more input can no longer change the answer: a byte order mark, or UTF-8 ruled out
  // and the sample full. Valid UTF-8 keeps the question open to the end, since a single byte
  // further on may rule it out.
  bool Decided() const;

  struct Answer {
    corvane::Encoding encoding;
    bool byteOrderMark;  // decode with Options::bom, which takes the mark away
    bool certain;        // false: the detector was not sure
  };
  // The answer for the input fed so far, taken as the whole input (a UTF-8 sequence cut off at
  // its end rules UTF-8 out). Feed no more after it.
  Answer Settle();

 private:
  const char* MarkedEncoding() const;
  void CheckUtf8(bool atEnd, std::span<const std::uint8_t> bytes);
  void Sample(std::span<const std::uint8_t> bytes);

  std::uint8_t head_[4] = {};
  std::size_t headSize_ = 0;
  bool utf8Broken_ = false;
  bool zeroSeen_ = false;
  std::uint64_t offset_ = 0;  // bytes fed so far
  std::uint8_t last_ = 0;     // the byte before the current piece
  bool sampling_ = false;
  std::vector<std::uint8_t> sample_;
  corvane::Decoder utf8_{corvane::Encoding("UTF-8"), {.on_error = corvane::OnError::strict}};
};

}  // namespace corvane_tool
