// Measuring an encoded byte string: how many characters it holds, and how many of its bytes form
// whole characters, so that a caller reading a stream in pieces knows what to keep for the next
// piece. A character is one single byte, one double-byte pair, one JIS character of ISO-2022-JP
// (escape sequences are not characters), or one UTF-16 unit of decoded UTF-8.
//
// Common to the three functions:
//   bytes     in   caller-owned, borrowed for this call
//   length    in   byte count; -1 = ends at the first 0 byte, which then counts as one character;
//                  any other negative = empty; in a count a 0 byte is an ordinary single byte
//   consumed  out  may be null; set to -1 first, then to the bytes from the start that form whole
//                  characters: the terminator, a lead byte at the end, the first byte of an
//                  unfinished JIS pair and an unfinished escape sequence are left out
//   returns        characters, + 1 for the terminator in nul mode
// Nothing is reported as an error; none of them allocates.
#pragma once

#include <cstdint>

namespace corvane {

// Picks the counting rule by code page number, taken as given (pseudo code pages count bytes):
// 932, 936, 949, 950, 51932 and 51936 count pairs; 2022 counts JIS characters; 65001 counts as
// Utf8ToUcs2 does with nothing stored (units + 1 in both length modes, bytes up to the end or to
// the first faulty sequence; a null bytes pointer gives -1 and leaves consumed at -1); every other
// number counts bytes. Under any code page but 65001 a null bytes pointer is never read: it
// measures as an empty counted string (result 0, consumed 0).
std::int32_t MeasureEncodedString(const std::uint8_t* bytes, std::uint32_t codePage,
                                  std::int32_t length, std::int32_t* consumed);

// Counts single bytes and lead/trail pairs, by IsDbcsLeadByte of codePage. A lead byte with
// nothing after it ends the count before it. bytes must not be null.
std::int32_t CountDbcsCharacters(const std::uint8_t* bytes, std::uint32_t codePage,
                                 std::int32_t length, std::int32_t* consumed);

// Counts ISO-2022-JP characters, always starting in single-byte mode (there is no shift state to
// carry in): escape sequences switch the mode and are not counted, LF and CR count and return to
// single-byte mode, and in two-byte mode a pair is one character. An unfinished escape sequence
// or pair at the end ends the count before it. codePage is 2022; bytes must not be null.
std::int32_t CountIso2022JpCharacters(const std::uint8_t* bytes, std::uint32_t codePage,
                                      std::int32_t length, std::int32_t* consumed);

}  // namespace corvane
