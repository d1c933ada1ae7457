// Decodes a byte stream that arrives in chunks to UTF-16 with CV_MultiByteToWideChar, so that
// the units equal those of one call over the whole text (no consumed count, the shift state
// starting in single-byte mode).
//
// Each call converts a piece of the bytes held so far and keeps the rest for the next call. A
// piece ends where a decoder starting afresh, the system's included, stands at a character
// start and has nothing pending:
// - byte code pages: after the last byte below 0x30 (a line end, a blank, punctuation), which no
//   double-byte code page uses inside a character; the system's lead-byte ranges may be wider
//   than the ones the library counts with, so the consumed count alone would not do. Without
//   such a byte the bytes wait, up to 1 MiB; then the consumed count decides;
// - EUC-JP: after a character whose Shift_JIS form is whole (the library transcodes EUC-JP to
//   Shift_JIS, and counts it with Shift_JIS lead bytes, which can split an EUC-JP pair);
// - ISO-2022-JP: after the last line end, else anywhere; the shift state is carried from call
//   to call. The consumed count is measured from single-byte mode, so a piece that starts in
//   two-byte mode is handed over behind the escape sequence ESC $ B, which selects two-byte
//   mode and produces nothing: the count is then measured in the right mode;
// - UTF-8: anywhere; the consumed count leaves an unfinished sequence for the next call;
// - UTF-16 and UTF-32 (1200, 1201, 12000, 12001): whole code units, a surrogate pair whole;
// - the tool's own "utf-16le" is taken as it stands, two bytes per unit.
// Within a piece the library's consumed count says which bytes form whole characters; the rest
// (a lead byte, an unfinished escape sequence) is carried over. The last call, at the end of
// the input, converts everything held without a consumed count, as the one-shot call would.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "command_line.h"

namespace corvane_tool {

class StreamDecoder {
 public:
  explicit StreamDecoder(const Encoding& from);

  // Takes the next chunk of input.
  void Feed(std::span<const std::uint8_t> bytes);

  // Appends the units of what can be decoded now to out; with atEnd, of everything held.
  // Returns false, with Error() set, when the input cannot be decoded: invalid UTF-8 (where
  // the library's decoder stops), a code page that converts nothing, an odd UTF-16 byte count.
  bool Decode(bool atEnd, std::vector<std::uint16_t>& out);

  const std::string& Error() const { return error_; }
  // The bytes decoded so far: everything fed minus what is held back.
  std::uint64_t BytesDecoded() const { return decoded_; }

 private:
  std::size_t PieceEnd(bool atEnd) const;
  bool DecodeUtf16Le(bool atEnd, std::vector<std::uint16_t>& out);

  Encoding from_;
  // held_[0..kHeadroom) is room for the escape sequence put in front of a two-byte piece.
  std::vector<std::uint8_t> held_;
  std::uint32_t shiftState_ = 1;
  std::uint64_t decoded_ = 0;
  std::string error_;
};

// Whether the code page converts anything at all here: CV_MultiByteToWideChar of one byte.
bool CanDecode(std::uint32_t codePage);

}  // namespace corvane_tool
