// ISO-2022-JP (RFC 1468) for the C++ interface: ASCII, JIS X 0201 Roman and JIS X 0208 between
// the escape sequences ESC ( B, ESC ( J, ESC $ @ and ESC $ B. JIS X 0208 goes through EUC-JP's
// table, where a pair is the same pair with the high bits set.
//
// Decoding is lenient where that loses nothing: a control byte or space in two-byte mode is read
// as itself (text that reaches a line end before ESC ( B is common). Encoding writes ¥ and ‾ in
// JIS X 0201 Roman, returns to ASCII before any ASCII character (line ends included) and at the
// end, and lacks half-width katakana, as RFC 1468 does. SO, SI and ESC are never text.
#include "cxx/codec.h"

namespace corvane::cxx {
namespace {

using standard::EncodingRecord;
using standard::kElsewhere;
using standard::kNoUnit;

constexpr std::uint8_t kEsc = 0x1B;

constexpr bool IsJisByte(std::uint8_t b) {
  return b >= 0x21 && b <= 0x7E;
}
constexpr bool IsNeverText(char32_t c) {
  return c == 0x0E || c == 0x0F || c == kEsc;
}

Progress DecodeIso2022Jp(const EncodingRecord& encoding, std::uint8_t& mode, PieceIn in,
                         char16_t* out, Faults& faults) {
  const DbcsDecodeIndex& jis0208 = encoding.doubleByte->decode;
  const std::uint8_t* s = in.bytes;
  std::size_t i = 0;
  char16_t* o = out;
  const auto fault = [&](std::size_t length) {
    if (faults.Malformed(i, encoding)) *o++ = 0xFFFD;
    i += length;
  };
  while (i < in.size) {
    const std::uint8_t b = s[i];
    const std::size_t left = in.size - i;
    if (b == kEsc) {
      if (left < 3) {
        if (!in.last) break;
        fault(1);
        continue;
      }
      if (s[i + 1] == '(' && (s[i + 2] == 'B' || s[i + 2] == 'J')) {
        mode = s[i + 2] == 'B' ? kJisAscii : kJisRoman;
      } else if (s[i + 1] == '$' && (s[i + 2] == '@' || s[i + 2] == 'B')) {
        mode = kJis0208;
      } else {
        fault(1);  // an escape sequence we do not read: what follows is read as text
        continue;
      }
      i += 3;
      continue;
    }
    if (b >= 0x80 || b == 0x0E || b == 0x0F) {
      fault(1);
      continue;
    }
    if (mode == kJis0208 && IsJisByte(b)) {
      if (left < 2) {
        if (!in.last) break;
        fault(1);
        continue;
      }
      if (!IsJisByte(s[i + 1])) {
        fault(1);
        continue;
      }
      const std::uint16_t u = DecodePair(jis0208, b | 0x80u, s[i + 1] | 0x80u);
      if (u == kNoUnit) {
        fault(2);
        continue;
      }
      *o++ = u;
      i += 2;
      continue;
    }
    if (mode == kJisRoman && (b == 0x5C || b == 0x7E)) {
      *o++ = b == 0x5C ? u'\u00A5' : u'\u203E';
    } else {
      *o++ = b;
    }
    ++i;
  }
  return {i, static_cast<std::size_t>(o - out)};
}

char* Shift(std::uint8_t& mode, std::uint8_t to, char* o) {
  if (mode == to) return o;
  static constexpr char kSequences[3][3] = {{kEsc, '(', 'B'}, {kEsc, '(', 'J'}, {kEsc, '$', 'B'}};
  for (char c : kSequences[to])
    *o++ = c;
  mode = to;
  return o;
}

Progress EncodeIso2022Jp(const EncodingRecord& encoding, std::uint8_t& mode, UnitsIn in, char* out,
                         Faults& faults) {
  const std::uint16_t* table = encoding.doubleByte->encode;
  std::size_t i = 0;
  char* o = out;
  while (i < in.size) {
    std::size_t length;
    const char32_t c = CodePointAt(in, i, length);
    if (length == 0) break;
    if (c < 0x80 && !IsNeverText(c)) {
      // Roman has every ASCII character but these two.
      if (mode != kJisRoman || c == 0x5C || c == 0x7E) o = Shift(mode, kJisAscii, o);
      *o++ = static_cast<char>(c);
    } else if (c == 0xA5 || c == 0x203E) {
      o = Shift(mode, kJisRoman, o);
      *o++ = c == 0xA5 ? '\x5C' : '\x7E';
    } else if (const std::uint16_t v = c <= 0xFFFF && !IsSurrogate(c) ? table[c] : 0;
               v > 0xFF && v != kElsewhere && (v & 0xFF) >= 0xA1) {
      o = Shift(mode, kJis0208, o);
      *o++ = static_cast<char>(v & 0x7F);
      *o++ = static_cast<char>((v >> 8) & 0x7F);
    } else if (faults.Unmappable(i, c, encoding)) {
      if (mode == kJis0208) o = Shift(mode, kJisAscii, o);
      *o++ = '?';
    }
    i += length;
  }
  if (in.last && i == in.size) o = Shift(mode, kJisAscii, o);
  return {i, static_cast<std::size_t>(o - out)};
}

}  // namespace

const FamilyCodec kIso2022JpCodec = {DecodeIso2022Jp, EncodeIso2022Jp, 5};

}  // namespace corvane::cxx
