// EUC-JP and ISO-2022-JP, both directions: carried through Shift_JIS by the byte arithmetic of
// japanese/transcoders.h and converted as 932, by the system or by 932's tables as the road says.
// On 932's tables the ordinary bulk of the text goes straight to and from UTF-16, decoded
// through EUC-JP's index (932's table at each pair's Shift_JIS code) and encoded through 932's,
// and only what needs a transcoder's decision takes the long way.
#pragma once

#include <cstddef>
#include <optional>
#include <span>

#include "convert/road.h"
#include "japanese/byte_classes.h"

namespace corvane {

// Decodes text as the road's Japanese encoding.
//   text     in      caller-owned; a terminated text ends its result with U+0000 when room is left
//   dst      out     caller-owned, not empty; units past the returned count are not touched
//   state    in/out  JisShiftState under ISO-2022-JP, may be null (= single-byte at the start);
//                    written back with the mode at the end of the whole text, even when dst filled
//                    up first
//   returns          units written (the system's result on its road: 0 when it fails); nullopt
//                    when the Shift_JIS text could not be allocated
// Temporaries: the Shift_JIS text of what the straight road leaves, freed before returning.
std::optional<std::size_t> DecodeJapanese(const Road& road, ByteText text, std::span<Utf16Unit> dst,
                                          JisShiftState* state);

// Encodes text as the road's Japanese encoding: Shift_JIS first, written into dst, then
// transcoded from a copy back into dst (PostConvertFromSjis); EUC-JP on our tables goes straight
// when dst holds two bytes a unit and the terminator. flags, defaultChar and defaultUsed go to the
// system's conversion of 932 and nowhere else.
//   returns  bytes written; nullopt when the copy could not be allocated
// The transcoders keep dst's last byte free, as for a terminator; ISO-2022-JP starts in
// single-byte mode and is not closed at the end.
std::optional<std::size_t> EncodeJapanese(const Road& road, WideText text,
                                          std::span<std::uint8_t> dst, std::uint32_t flags,
                                          const char* defaultChar, std::int32_t* defaultUsed);

// Transcodes Shift_JIS text into the road's Japanese encoding, counted, into dst.
//   returns  bytes written; the transcoder keeps dst's last byte free, as for any terminator
std::size_t PostConvertFromSjis(RoadKind to, ByteText sjis, std::span<std::uint8_t> dst);

}  // namespace corvane
