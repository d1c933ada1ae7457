#include "stream_decoder.h"

#include <algorithm>

#include "corvane.h"

namespace corvane_tool {
namespace {

constexpr std::uint32_t kShiftJis = 932;
constexpr std::uint32_t kUtf16Le = 1200;
constexpr std::uint32_t kUtf16Be = 1201;
constexpr std::uint32_t kUtf32Le = 12000;
constexpr std::uint32_t kUtf32Be = 12001;
constexpr std::uint32_t kIso2022Jp = 2022;
constexpr std::uint32_t kEucJp = 51932;
constexpr std::uint32_t kEucKr = 51949;
constexpr std::uint32_t kGb18030 = 54936;
constexpr std::uint32_t kUtf8 = 65001;

constexpr std::uint8_t kEscape = 0x1B;
constexpr std::uint32_t kTwoByteMode = 2;

constexpr bool InRange(std::uint8_t b, std::uint8_t lo, std::uint8_t hi) {
  return b >= lo && b <= hi;
}
constexpr bool InRange32(std::uint32_t v, std::uint32_t lo, std::uint32_t hi) {
  return v >= lo && v <= hi;
}

// Whether four bytes are a GB18030 four-byte character: lead 0x81-0xFE, a digit, 0x81-0xFE, a
// digit, in one of the two ranges the standard assigns (U+0080-U+FFFF and U+10000-U+10FFFF).
bool IsGb18030FourByteCharacter(std::span<const std::uint8_t> b) {
  if (!InRange(b[0], 0x81, 0xFE) || !InRange(b[1], 0x30, 0x39) || !InRange(b[2], 0x81, 0xFE) ||
      !InRange(b[3], 0x30, 0x39)) {
    return false;
  }
  const std::uint32_t linear = ((std::uint32_t{b[0]} - 0x81) * 10 + (b[1] - 0x30)) * 1260 +
                               (b[2] - 0x81) * 10u + (b[3] - 0x30u);
  constexpr std::uint32_t kLastBmp = 39419;              // 0x84 0x31 0xA4 0x39
  constexpr std::uint32_t kFirstSupplementary = 189000;  // 0x90 0x30 0x81 0x30
  return linear <= kLastBmp ||
         InRange32(linear, kFirstSupplementary, kFirstSupplementary + 0xFFFFF);
}

// In GB18030 a lead byte and a digit promise four bytes, and the system takes a text that ends
// before the fourth as cut off, swallowing what came after the digit; one call over the whole
// text sees all four and reads them otherwise. So no piece ends one byte after such a start.
bool SplitsFourByteStart(std::uint32_t codePage, std::span<const std::uint8_t> text,
                         std::size_t end) {
  return codePage == kGb18030 && end >= 3 && InRange(text[end - 3], 0x81, 0xFE) &&
         InRange(text[end - 2], 0x30, 0x39);
}

constexpr bool IsHighSurrogate(std::uint16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

// The code pages whose pieces end by the rules for bytes below 0x30 and lead bytes; the others
// have rules of their own (PieceEnd).
constexpr bool IsByteCodePage(std::uint32_t codePage) {
  return codePage != kUtf8 && codePage != kUtf16Le && codePage != kUtf16Be &&
         codePage != kUtf32Le && codePage != kUtf32Be && codePage != kIso2022Jp &&
         codePage != kEucJp;
}

// The Shift_JIS text that the library makes of ISO-2022-JP and EUC-JP, read as the road of 932
// reads it: a lead byte takes the byte after it, whatever that is (the system's leads reach
// 0xFC, the tables' 0xEF; the system splits some pairs that this joins, which only joins two of
// its characters). A piece may end only where this text is between characters, or the
// conversion of the piece would pair bytes differently from one call over the whole text.
class SjisBoundaries {
 public:
  explicit SjisBoundaries(bool systemLeads) : lastLead_(systemLeads ? 0xFC : 0xEF) {}
  void Take(std::uint8_t b) {
    pendingTrail_ = !pendingTrail_ && (InRange(b, 0x81, 0x9F) || InRange(b, 0xE0, lastLead_));
  }
  bool Between() const { return !pendingTrail_; }

 private:
  std::uint8_t lastLead_;
  bool pendingTrail_ = false;
};

// JIS X 0208 row and cell to the Shift_JIS pair the library's transcoder writes for them, by the
// standard arithmetic, on any byte values (junk in two-byte mode too), wrapped to bytes.
void TakeJisPair(std::uint8_t row, std::uint8_t cell, SjisBoundaries& sjis) {
  const unsigned r = row;
  const unsigned odd = r & 1u;
  sjis.Take(static_cast<std::uint8_t>(((r + 1) >> 1) + 0x70u + 0x40u * unsigned{r >= 0x5F}));
  sjis.Take(static_cast<std::uint8_t>(cell + 0x7Eu - 0x5Fu * odd + odd * unsigned{cell >= 0x60}));
}

// The last end of a piece of ISO-2022-JP that starts in `mode`: after a whole character or escape
// sequence, read as the library's transcoder reads them, where the Shift_JIS text is between
// characters. 0: nowhere yet.
std::size_t LastJisCut(std::span<const std::uint8_t> text, std::uint32_t mode, bool systemLeads) {
  SjisBoundaries sjis(systemLeads);
  std::size_t cut = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::uint8_t b = text[at];
    if (b == kEscape) {
      if (text.size() - at < 2) break;
      const std::uint8_t next = text[at + 1];
      const std::size_t length = next == '$' || next == '(' ? 3 : 2;
      if (text.size() - at < length) break;
      at += length;
      mode = next == '$' || next == 'K' ? kTwoByteMode : 1;
    } else if (b == '\n' || b == '\r') {
      mode = 1;
      sjis.Take(b);
      at += 1;
    } else if (mode == kTwoByteMode) {
      if (text.size() - at < 2) break;
      TakeJisPair(b, text[at + 1], sjis);
      at += 2;
    } else {
      sjis.Take(b);
      at += 1;
    }
    if (sjis.Between()) cut = at;
  }
  return cut;
}

// The same for EUC-JP: 0xA1-0xFE leads two bytes (a JIS pair when both are 0xA1-0xFE, else the
// two bytes as they are), 0x8E two (the second stands alone), 0x8F three (dropped), every other
// byte one.
std::size_t LastEucJpCut(std::span<const std::uint8_t> text, bool systemLeads) {
  SjisBoundaries sjis(systemLeads);
  std::size_t cut = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::uint8_t b = text[at];
    const std::size_t length = b == 0x8F ? 3 : (b == 0x8E || InRange(b, 0xA1, 0xFE)) ? 2 : 1;
    if (text.size() - at < length) break;
    if (InRange(b, 0xA1, 0xFE)) {
      const std::uint8_t c = text[at + 1];
      if (InRange(c, 0xA1, 0xFE)) {
        TakeJisPair(static_cast<std::uint8_t>(b - 0x80), static_cast<std::uint8_t>(c - 0x80), sjis);
      } else {
        sjis.Take(b);
        sjis.Take(c);
      }
    } else if (b == 0x8E) {
      sjis.Take(text[at + 1]);
    } else if (b != 0x8F) {
      sjis.Take(b);
    }
    at += length;
    if (sjis.Between()) cut = at;
  }
  return cut;
}

}  // namespace

bool CanDecode(std::uint32_t codePage) {
  const std::uint8_t byte = 'A';
  std::uint16_t units[8];
  return CV_MultiByteToWideChar(codePage, 0, &byte, 1, units, 8, nullptr, nullptr) > 0;
}

bool TakesSystemRoad(std::uint32_t codePage) {
  const std::uint16_t unit = 'A';
  std::uint8_t bytes[16];
  constexpr std::int32_t kUntouched = -1;
  std::int32_t used = kUntouched;
  return CV_WideCharToMultiByte(codePage, 0, &unit, 1, bytes, sizeof bytes, nullptr, &used) > 0 &&
         used != kUntouched;
}

std::size_t SystemCharacterEnd(std::uint32_t codePage, std::span<const std::uint8_t> text) {
  std::size_t end = 0;
  for (std::size_t at = 0; at < text.size();) {
    const std::uint8_t b = text[at];
    bool lead = InRange(b, 0x81, 0xFE);
    if (codePage == kShiftJis) lead = InRange(b, 0x81, 0x9F) || InRange(b, 0xE0, 0xFC);
    // EUC-KR's 0x80-0x9F stand alone; 0xA0 is no character and takes a byte 0x80-0xFE with it.
    if (codePage == kEucKr) lead = InRange(b, 0xA0, 0xFE);
    std::size_t length = lead ? 2 : 1;
    if (lead && codePage == kGb18030 && text.size() - at >= 2 &&
        InRange(text[at + 1], 0x30, 0x39)) {
      // Four bytes when there are four and they name a character; otherwise the lead stands
      // alone and the digit after it too, which this pair merely joins.
      if (text.size() - at < 4) break;
      if (IsGb18030FourByteCharacter(text.subspan(at, 4))) length = 4;
    }
    if (text.size() - at < length) break;
    at += length;
    end = at;
  }
  return end;
}

StreamDecoder::StreamDecoder(const Encoding& from, std::size_t holdLimit)
    : from_(from), holdLimit_(holdLimit) {
  if (from.kind != Encoding::Kind::kCodePage) return;
  const std::uint32_t cp = from.codePage;
  // ISO-2022-JP and EUC-JP take the road of the Shift_JIS text they become.
  const std::uint32_t road = cp == kIso2022Jp || cp == kEucJp ? kShiftJis : cp;
  systemRoad_ = (IsByteCodePage(cp) || road == kShiftJis) && TakesSystemRoad(road);
}

void StreamDecoder::Feed(std::span<const std::uint8_t> bytes) {
  held_.insert(held_.end(), bytes.begin(), bytes.end());
}

std::size_t StreamDecoder::PieceEnd(bool atEnd) const {
  const std::span<const std::uint8_t> text(held_);
  const std::size_t n = text.size();
  if (atEnd) return n;
  switch (from_.codePage) {
    case kUtf8:
      return n;
    case kUtf32Le:
    case kUtf32Be:
      return n - n % 4;
    case kUtf16Le:
    case kUtf16Be: {
      std::size_t end = n - n % 2;
      if (end >= 2) {
        const std::uint8_t first = text[end - 2];
        const std::uint8_t second = text[end - 1];
        const auto unit = static_cast<std::uint16_t>(
            from_.codePage == kUtf16Le ? (second << 8) | first : (first << 8) | second);
        if (IsHighSurrogate(unit)) end -= 2;
      }
      return end;
    }
    case kEucJp:
      return LastEucJpCut(text, systemRoad_);
    case kIso2022Jp:
      return LastJisCut(text, shiftState_, systemRoad_);
    default:
      break;
  }
  // No byte below 0x30 is part of a character of two or more bytes in any double-byte code
  // page (GB18030's four-byte form uses 0x30-0x39), nor swallowed by iconv after a lead byte.
  for (std::size_t i = n; i > 0; --i)
    if (text[i - 1] < 0x30 && !SplitsFourByteStart(from_.codePage, text, i)) return i;
  if (n < holdLimit_) return 0;
  // On our own tables the consumed count of the piece finds the last whole character.
  if (!systemRoad_) return n;
  // Two bytes below 0x80 in a row: the second is a character of its own in every code page
  // (no lead byte is below 0x80), whatever lead bytes the system reads.
  for (std::size_t i = n; i >= 2; --i) {
    if (text[i - 1] < 0x80 && text[i - 2] < 0x80 && !SplitsFourByteStart(from_.codePage, text, i))
      return i;
  }
  return SystemCharacterEnd(from_.codePage, text);
}

bool StreamDecoder::DecodeUtf16Le(bool atEnd, std::vector<std::uint16_t>& out) {
  const std::size_t n = held_.size();
  if (atEnd && n % 2 != 0) {
    error_ = "the UTF-16LE input ends in the middle of a unit";
    return false;
  }
  const std::size_t whole = n - n % 2;
  for (std::size_t i = 0; i < whole; i += 2)
    out.push_back(static_cast<std::uint16_t>((held_[i + 1] << 8) | held_[i]));
  held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(whole));
  decoded_ += whole;
  return true;
}

bool StreamDecoder::Decode(bool atEnd, std::vector<std::uint16_t>& out) {
  if (from_.kind == Encoding::Kind::kUtf16Le) return DecodeUtf16Le(atEnd, out);
  const std::size_t end = PieceEnd(atEnd);
  if (end == 0) return true;

  // A byte never stands for more than three units (Macintosh Hebrew points).
  const std::size_t capacity = 3 * end + 4;
  const std::size_t base = out.size();
  out.resize(base + capacity);
  // Only the byte code pages on our own tables, whose pieces may end inside a character, and
  // UTF-8, whose consumed count says where invalid input stopped the decoder, take the consumed
  // count; every other piece already ends between characters and is converted whole, as the
  // one call over the whole text converts it.
  const bool counting =
      from_.codePage == kUtf8 || (!atEnd && IsByteCodePage(from_.codePage) && !systemRoad_);
  std::int32_t consumed = -1;
  std::int32_t units = CV_MultiByteToWideChar(
      from_.codePage, 0, held_.data(), static_cast<std::int32_t>(end), out.data() + base,
      static_cast<std::int32_t>(capacity), counting ? &consumed : nullptr, &shiftState_);
  if (from_.codePage == kUtf8 && units > 0) --units;  // the decoder's terminator
  out.resize(base + static_cast<std::size_t>(std::max(units, 0)));

  const std::size_t taken = counting ? static_cast<std::size_t>(std::clamp<std::int32_t>(
                                           consumed, 0, static_cast<std::int32_t>(end)))
                                     : end;
  if (from_.codePage == kUtf8 && taken < end) {
    // At most three bytes of an unfinished sequence may wait for the next chunk.
    constexpr std::size_t kLongestUnfinished = 3;
    if (atEnd || end - taken > kLongestUnfinished) {
      error_ = "invalid UTF-8 at byte " + std::to_string(decoded_ + taken);
      return false;
    }
  }
  held_.erase(held_.begin(), held_.begin() + static_cast<std::ptrdiff_t>(taken));
  decoded_ += taken;
  return true;
}

}  // namespace corvane_tool
