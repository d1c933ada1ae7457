// Encodes UTF-16 that arrives in pieces with CV_WideCharToMultiByte and writes the bytes.
//
// A surrogate pair is never split between two calls. ISO-2022-JP and EUC-JP need more, since the
// library makes them of Shift_JIS text (each unit's Shift_JIS form asked of the library): a piece
// must end where the transcoder, reading that text in one call, is between characters (a unit
// the library writes as a lone lead byte pairs with whatever follows), and for ISO-2022-JP every
// call starts in single-byte mode, while a text whose last character is a two-byte one ends in
// two-byte mode without the escape back. So a piece ends where one call is between characters in
// single-byte mode (after ASCII, say): the next piece then starts in the mode the one-shot
// conversion is in, and the bytes are the same. Only text that stays in two-byte mode for a whole
// chunk (and at least 16 Ki units) is cut elsewhere, before a pair or a single byte; that piece
// gets the escape back to single-byte mode (ESC ( B), the next one opens two-byte mode again, and
// the bytes are one call's but for those escape sequences. The last piece is closed the same way,
// so the output always ends in single-byte mode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "command_line.h"

namespace corvane_tool {

class StreamEncoder {
 public:
  // pieceUnits: how many units to hold at most while waiting for a good place to cut.
  StreamEncoder(const Encoding& to, std::size_t pieceUnits);

  // ISO-2022-JP waits this long at least for an ASCII character to cut after.
  static constexpr std::size_t kLeastPieceUnits = 16 * 1024;

  // Encodes what can be encoded now from the front of pending (everything with atEnd), removes
  // it from pending and returns the bytes, valid until the next call.
  std::span<const std::uint8_t> Encode(std::vector<std::uint16_t>& pending, bool atEnd);

  // Whether the library reported a character that TO lacks and replaced (the system road
  // reports it; the library's own tables replace without reporting).
  bool Replaced() const { return replaced_; }

 private:
  // What the library's transcoder from Shift_JIS has in hand at a point of the text that one call
  // would convert: a lead byte waiting for the byte after it (0: none), and the ISO-2022-JP mode.
  struct TranscoderState {
    std::uint8_t lead = 0;
    std::uint32_t mode = 1;
    void Take(std::uint8_t b);  // one Shift_JIS byte, read as the transcoder reads it
  };

  // Where the next piece ends (0: not yet), and whether one call would leave it in ISO-2022-JP's
  // two-byte mode, which the piece then closes.
  struct Piece {
    std::size_t end;
    bool closeTwoByteMode;
  };
  Piece PieceEnd(const std::vector<std::uint16_t>& pending, bool atEnd);
  // ISO-2022-JP and EUC-JP: reads pending from where it stopped, noting where a piece may end.
  void ScanForCuts(const std::vector<std::uint16_t>& pending);

  Encoding to_;
  std::size_t pieceUnits_;
  bool throughShiftJis_;  // ISO-2022-JP or EUC-JP, made of Shift_JIS text
  // Units of pending read by ScanForCuts, and the transcoder's state after them.
  std::size_t scanned_ = 0;
  TranscoderState state_;
  // The last point (in units of pending; 0: none) where the transcoder is between characters
  // in single-byte mode (EUC-JP: anywhere), and the last one in two-byte mode before a pair or a
  // single byte, where a piece may end if it is closed and the next one opens the mode again.
  std::size_t lastQuietCut_ = 0;
  std::size_t lastReopeningCut_ = 0;
  std::vector<std::uint8_t> bytes_;
  bool replaced_ = false;
};

// Whether the code page converts anything at all here: CV_WideCharToMultiByte of "A".
bool CanEncode(std::uint32_t codePage);

}  // namespace corvane_tool
