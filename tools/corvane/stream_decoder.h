// Decodes a byte stream that arrives in chunks to UTF-16 with CV_MultiByteToWideChar, so that
// the units equal those of one call over the whole text (no consumed count, the shift state
// starting in single-byte mode).
//
// Each call converts a piece of the bytes held so far and keeps the rest for the next call. A
// piece ends where a decoder starting afresh, the system's included, stands at a character
// start and has nothing pending:
// - byte code pages: after the last byte below 0x30 (a line end, a blank, punctuation), which no
//   double-byte code page uses inside a character. Without such a byte the bytes wait, up to
//   1 MiB; then the piece ends after the last whole character by the lead-byte rule of the road
//   that converts the text: the library's consumed count on its own tables; on the system's
//   conversion, whose lead bytes are wider (GBK and UHC lead from 0x81, the library's tables
//   from 0xA1), after two bytes below 0x80 in a row, else by the system's rule
//   (SystemCharacterEnd);
// - ISO-2022-JP and EUC-JP: after a whole character or escape sequence where the Shift_JIS text
//   the library makes of them is between characters too: a stray byte that becomes a Shift_JIS
//   lead byte pairs with whatever comes next, a line end or the next JIS character included,
//   in one call as in pieces. The ISO-2022-JP shift state is carried from piece to piece;
// - UTF-8: anywhere; the consumed count leaves an unfinished sequence for the next call;
// - UTF-16 and UTF-32 (1200, 1201, 12000, 12001): whole code units, a surrogate pair whole;
// - the tool's own "utf-16le" is taken as it stands, two bytes per unit.
// The last call, at the end of the input, converts everything held without a consumed count, as
// the one-shot call would.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "command_line.h"

namespace corvane_tool {

class StreamDecoder {
 public:
  // holdLimit: how many bytes to hold at most while waiting for a byte below 0x30 (tests make it
  // small, so that short texts reach the cut by the lead-byte rule).
  explicit StreamDecoder(const Encoding& from, std::size_t holdLimit = kDefaultHoldLimit);

  static constexpr std::size_t kDefaultHoldLimit = 1024 * 1024;

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
  std::size_t holdLimit_;
  // The system's conversion, not our tables, decodes a byte code page's text or the Shift_JIS
  // text of ISO-2022-JP and EUC-JP.
  bool systemRoad_ = false;
  std::vector<std::uint8_t> held_;
  std::uint32_t shiftState_ = 1;
  std::uint64_t decoded_ = 0;
  std::string error_;
};

// Whether the code page converts anything at all here: CV_MultiByteToWideChar of one byte.
bool CanDecode(std::uint32_t codePage);

// Whether the system's conversion, rather than the library's own tables, converts the code page's
// text here. The public interface says it without naming it: the system's conversion always
// writes the default-used flag, the library's own tables never touch it.
bool TakesSystemRoad(std::uint32_t codePage);

// The end of the last character of text that the system's conversion of codePage sees whole,
// reading from a character start at text[0]: a lead byte takes the byte after it (Shift_JIS
// leads 0x81-0x9F and 0xE0-0xFC; EUC-KR 0xA0-0xFE; every other code page 0x81-0xFE), and in
// GB18030 a digit after the lead makes four bytes when they name a character. Where the system
// splits what this pairs (a lead byte before an ASCII byte, an unassigned lead of Big5, a single
// byte of a single-byte page), the byte after is no lead byte to it, so the two readings meet
// again behind the pair: every end given here is one of the system's too. That holds for the
// system's Shift_JIS, GBK, UHC and Big5 as glibc and Windows read them; for the multi-byte code
// pages only the system converts (EUC-KR, GB18030) it follows glibc's reading of valid text,
// and malformed text may be read otherwise by the system.
std::size_t SystemCharacterEnd(std::uint32_t codePage, std::span<const std::uint8_t> text);

}  // namespace corvane_tool
