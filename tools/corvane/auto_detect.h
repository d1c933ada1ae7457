// What -f auto reads a file as: a byte order mark decides first, then text that is valid UTF-8
// from start to end (pure ASCII among it), then the Japanese detection of the C interface
// (ISO-2022-JP, EUC-JP or Shift_JIS). The input is fed as it is read and held back by the
// caller until Decided(); the answer then holds for the whole file.
#pragma once

#include <cstdint>
#include <span>

#include "corvane.hpp"
#include "japanese_detector.h"

namespace corvane_tool {

class AutoDetector {
 public:
  void Feed(std::span<const std::uint8_t> bytes);

  // Whether more input can no longer change the answer. Valid UTF-8 keeps the question open to
  // the end, since a single byte further on may rule it out.
  bool Decided() const;

  struct Answer {
    corvane::Encoding encoding;
    bool byteOrderMark;  // decode with Options::bom, which takes the mark away
    bool certain;        // false: nothing in the text chose between the Japanese encodings
  };
  // The answer for the input fed so far, taken as the whole input (a UTF-8 sequence cut off at
  // its end rules UTF-8 out). Feed no more after it.
  Answer Settle();

 private:
  const char* MarkedEncoding() const;
  void CheckUtf8(bool atEnd, std::span<const std::uint8_t> bytes);

  std::uint8_t head_[4] = {};
  std::size_t headSize_ = 0;
  bool ascii_ = true;
  bool utf8Broken_ = false;
  corvane::Decoder utf8_{corvane::Encoding("UTF-8"), {.on_error = corvane::OnError::strict}};
  JapaneseDetector japanese_;
};

}  // namespace corvane_tool
