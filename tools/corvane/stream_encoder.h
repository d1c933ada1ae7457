// Encodes UTF-16 that arrives in pieces with CV_WideCharToMultiByte and writes the bytes.
//
// A surrogate pair is never split between two calls. ISO-2022-JP needs more: every call starts
// in single-byte mode, and a text whose last character is a two-byte one ends in two-byte mode
// without the escape back. So a piece ends after its last ASCII character, which the library
// writes in single-byte mode: the next piece then starts in the mode the one-shot conversion
// would be in, and the bytes are the same. Only text with no ASCII character for a whole chunk
// (and at least 16 Ki units) is cut elsewhere; a piece that ends in two-byte mode then gets the
// escape back to single-byte mode (ESC ( B), the next one opens two-byte mode again, and the output
// stays valid. The last piece is closed the same way, so the output always ends in single-byte mode
// and decodes back to the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "command_line.h"
#include "files.h"

namespace corvane_tool {

class StreamEncoder {
 public:
  // pieceUnits: how many units to hold at most while waiting for a good place to cut.
  StreamEncoder(const Encoding& to, std::size_t pieceUnits);

  // Encodes what can be encoded now from the front of pending (everything with atEnd), removes
  // it from pending and writes the bytes. False when the output cannot be written.
  bool Encode(std::vector<std::uint16_t>& pending, bool atEnd, OutputFile& output);

  // Whether the library reported a character that TO lacks and replaced (the system road
  // reports it; the library's own tables replace without reporting).
  bool Replaced() const { return replaced_; }

 private:
  std::size_t PieceEnd(const std::vector<std::uint16_t>& pending, bool atEnd) const;

  Encoding to_;
  std::size_t pieceUnits_;
  std::vector<std::uint8_t> bytes_;
  bool replaced_ = false;
};

// Whether the code page converts anything at all here: CV_WideCharToMultiByte of "A".
bool CanEncode(std::uint32_t codePage);

}  // namespace corvane_tool
