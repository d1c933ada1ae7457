#include "stream_decoder.h"

#include <algorithm>

#include "corvane.h"

namespace corvane_tool {
namespace {

constexpr std::size_t kHeadroom = 3;
constexpr std::uint8_t kToTwoByteMode[kHeadroom] = {0x1B, '$', 'B'};
constexpr std::uint32_t kTwoByteMode = 2;

constexpr std::uint32_t kUtf16Le = 1200;
constexpr std::uint32_t kUtf16Be = 1201;
constexpr std::uint32_t kUtf32Le = 12000;
constexpr std::uint32_t kUtf32Be = 12001;
constexpr std::uint32_t kIso2022Jp = 2022;
constexpr std::uint32_t kEucJp = 51932;
constexpr std::uint32_t kUtf8 = 65001;

constexpr bool IsHighSurrogate(std::uint16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

// Past this many held bytes without a good place to cut, a piece ends where the library's
// consumed count says (see PieceEnd).
constexpr std::size_t kHoldLimit = 1024 * 1024;

// Where a piece of EUC-JP may end: after a character whose Shift_JIS form is whole by itself,
// a valid pair (both bytes 0xA1-0xFE) or a byte below 0x80, read by the rules of the library's
// transcoder from a character start: 0x8E and the bytes 0xA1-0xFE lead two bytes, 0x8F three,
// every other byte stands alone. With anyCharacter, after any whole character. 0: nowhere.
std::size_t LastEucJpCut(std::span<const std::uint8_t> bytes, bool anyCharacter) {
  std::size_t cut = 0;
  for (std::size_t at = 0; at < bytes.size();) {
    const std::uint8_t b = bytes[at];
    const bool pairLead = b >= 0xA1 && b <= 0xFE;
    const std::size_t length = b == 0x8F ? 3 : (b == 0x8E || pairLead) ? 2 : 1;
    if (at + length > bytes.size()) break;
    const bool whole = (pairLead && bytes[at + 1] >= 0xA1 && bytes[at + 1] <= 0xFE) || b < 0x80;
    at += length;
    if (whole || anyCharacter) cut = at;
  }
  return cut;
}

}  // namespace

bool CanDecode(std::uint32_t codePage) {
  const std::uint8_t byte = 'A';
  std::uint16_t units[8];
  return CV_MultiByteToWideChar(codePage, 0, &byte, 1, units, 8, nullptr, nullptr) > 0;
}

StreamDecoder::StreamDecoder(const Encoding& from) : from_(from), held_(kHeadroom) {}

void StreamDecoder::Feed(std::span<const std::uint8_t> bytes) {
  held_.insert(held_.end(), bytes.begin(), bytes.end());
}

std::size_t StreamDecoder::PieceEnd(bool atEnd) const {
  const std::span<const std::uint8_t> text(held_.data() + kHeadroom, held_.size() - kHeadroom);
  const std::size_t n = text.size();
  if (atEnd) return n;
  const bool overLimit = n >= kHoldLimit;
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
      return LastEucJpCut(text, overLimit);
    case kIso2022Jp:
      for (std::size_t i = n; i > 0; --i)
        if (text[i - 1] == '\n' || text[i - 1] == '\r') return i;
      return n;
    default:
      break;
  }
  // No byte below 0x30 is part of a character of two or more bytes in any double-byte code
  // page (GB18030's four-byte form uses 0x30-0x39), nor swallowed by iconv after a lead byte.
  for (std::size_t i = n; i > 0; --i)
    if (text[i - 1] < 0x30) return i;
  return overLimit ? n : 0;
}

bool StreamDecoder::DecodeUtf16Le(bool atEnd, std::vector<std::uint16_t>& out) {
  const std::size_t n = held_.size() - kHeadroom;
  if (atEnd && n % 2 != 0) {
    error_ = "the UTF-16LE input ends in the middle of a unit";
    return false;
  }
  const std::size_t whole = n - n % 2;
  for (std::size_t i = 0; i < whole; i += 2) {
    const std::uint8_t low = held_[kHeadroom + i];
    const std::uint8_t high = held_[kHeadroom + i + 1];
    out.push_back(static_cast<std::uint16_t>((high << 8) | low));
  }
  held_.erase(held_.begin() + kHeadroom,
              held_.begin() + static_cast<std::ptrdiff_t>(kHeadroom + whole));
  decoded_ += whole;
  return true;
}

bool StreamDecoder::Decode(bool atEnd, std::vector<std::uint16_t>& out) {
  if (from_.kind == Encoding::Kind::kUtf16Le) return DecodeUtf16Le(atEnd, out);
  const std::size_t held = held_.size() - kHeadroom;
  const std::size_t end = PieceEnd(atEnd);
  if (end == 0) return true;
  const bool wholeInput = atEnd && end == held;

  const std::uint8_t* source = held_.data() + kHeadroom;
  std::size_t length = end;
  const bool behindEscape = from_.codePage == kIso2022Jp && shiftState_ == kTwoByteMode;
  std::uint32_t state = shiftState_;
  if (behindEscape) {
    std::copy(std::begin(kToTwoByteMode), std::end(kToTwoByteMode), held_.begin());
    source = held_.data();
    length += kHeadroom;
    state = 1;
  }

  // A byte never stands for more than three units (Macintosh Hebrew points).
  const std::size_t capacity = 3 * length + 4;
  const std::size_t base = out.size();
  out.resize(base + capacity);
  // The last piece is converted without a consumed count, as the one-shot call would; UTF-8
  // keeps it, to tell where invalid input stopped the decoder. EUC-JP is counted with the
  // Shift_JIS lead bytes, which can split a whole EUC-JP pair such as 0xB0 0xE0; its pieces
  // already end at a character end.
  std::int32_t consumed = -1;
  const bool counting = from_.codePage == kUtf8 || (!wholeInput && from_.codePage != kEucJp);
  std::int32_t units = CV_MultiByteToWideChar(
      from_.codePage, 0, source, static_cast<std::int32_t>(length), out.data() + base,
      static_cast<std::int32_t>(capacity), counting ? &consumed : nullptr, &state);
  if (from_.codePage == kUtf8 && units > 0) --units;  // the decoder's terminator
  out.resize(base + static_cast<std::size_t>(std::max(units, 0)));
  shiftState_ = state;

  std::size_t taken = end;
  if (counting) {
    const std::int64_t whole = static_cast<std::int64_t>(consumed) - (behindEscape ? 3 : 0);
    taken = static_cast<std::size_t>(
        std::clamp<std::int64_t>(whole, 0, static_cast<std::int64_t>(end)));
  }
  if (from_.codePage == kUtf8 && taken < end) {
    // At most three bytes of an unfinished sequence may wait for the next chunk.
    constexpr std::size_t kLongestUnfinished = 3;
    if (atEnd || end - taken > kLongestUnfinished) {
      error_ = "invalid UTF-8 at byte " + std::to_string(decoded_ + taken);
      return false;
    }
  }
  held_.erase(held_.begin() + kHeadroom,
              held_.begin() + static_cast<std::ptrdiff_t>(kHeadroom + taken));
  decoded_ += taken;
  return true;
}

}  // namespace corvane_tool
