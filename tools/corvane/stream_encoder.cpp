#include "stream_encoder.h"

#include <algorithm>

#include "corvane.h"

namespace corvane_tool {
namespace {

constexpr std::uint32_t kIso2022Jp = 2022;
// ISO-2022-JP waits this long at least for an ASCII character to cut after.
constexpr std::size_t kLeastPieceUnits = 16 * 1024;
constexpr std::uint8_t kEscape = 0x1B;
constexpr std::uint8_t kToSingleByteMode[] = {kEscape, '(', 'B'};

constexpr bool IsHighSurrogate(std::uint16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

// ISO-2022-JP ends in two-byte mode when its last escape sequence is ESC $ ...
bool EndsInTwoByteMode(const std::uint8_t* bytes, std::size_t size) {
  for (std::size_t i = size; i > 0; --i) {
    if (bytes[i - 1] == kEscape) return i < size && bytes[i] == '$';
  }
  return false;
}

}  // namespace

bool CanEncode(std::uint32_t codePage) {
  const std::uint16_t unit = 'A';
  std::uint8_t bytes[16];
  return CV_WideCharToMultiByte(codePage, 0, &unit, 1, bytes, sizeof bytes, nullptr, nullptr) > 0;
}

StreamEncoder::StreamEncoder(const Encoding& to, std::size_t pieceUnits)
    : to_(to), pieceUnits_(std::max(pieceUnits, kLeastPieceUnits)) {}

std::size_t StreamEncoder::PieceEnd(const std::vector<std::uint16_t>& pending, bool atEnd) const {
  const std::size_t n = pending.size();
  if (atEnd || n == 0) return n;
  if (to_.kind == Encoding::Kind::kCodePage && to_.codePage == kIso2022Jp) {
    for (std::size_t i = n; i > 0; --i)
      if (pending[i - 1] < 0x80) return i;
    if (n < pieceUnits_) return 0;  // wait for an ASCII character
  }
  return IsHighSurrogate(pending[n - 1]) ? n - 1 : n;
}

bool StreamEncoder::Encode(std::vector<std::uint16_t>& pending, bool atEnd, OutputFile& output) {
  const std::size_t end = PieceEnd(pending, atEnd);
  if (end == 0) return true;

  if (to_.kind == Encoding::Kind::kUtf16Le) {
    bytes_.resize(2 * end);
    for (std::size_t i = 0; i < end; ++i) {
      bytes_[2 * i] = static_cast<std::uint8_t>(pending[i] & 0xFF);
      bytes_[2 * i + 1] = static_cast<std::uint8_t>(pending[i] >> 8);
    }
  } else {
    // Eight bytes per unit hold the longest form of every code page, ISO-2022-JP switching
    // modes around every character included; the transcoders keep one byte free.
    const std::size_t capacity = 8 * end + 64;
    bytes_.resize(capacity);
    // The system's conversion writes the flag; the library's own tables never touch it.
    constexpr std::int32_t kUntouched = -1;
    std::int32_t used = kUntouched;
    const std::int32_t written =
        CV_WideCharToMultiByte(to_.codePage, 0, pending.data(), static_cast<std::int32_t>(end),
                               bytes_.data(), static_cast<std::int32_t>(capacity), nullptr, &used);
    if (used == 1) replaced_ = true;
    bytes_.resize(static_cast<std::size_t>(written > 0 ? written : 0));
    if (to_.codePage == kIso2022Jp && EndsInTwoByteMode(bytes_.data(), bytes_.size()))
      bytes_.insert(bytes_.end(), std::begin(kToSingleByteMode), std::end(kToSingleByteMode));
  }
  pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(end));
  return output.Write(bytes_);
}

}  // namespace corvane_tool
