#include "stream_encoder.h"

#include <algorithm>

#include "corvane.h"

namespace corvane_tool {
namespace {

constexpr std::uint32_t kShiftJis = 932;
constexpr std::uint32_t kIso2022Jp = 2022;
constexpr std::uint32_t kEucJp = 51932;
constexpr std::uint8_t kEscape = 0x1B;
constexpr std::uint32_t kSingleByteMode = 1;
constexpr std::uint32_t kTwoByteMode = 2;
constexpr std::uint8_t kToSingleByteMode[] = {kEscape, '(', 'B'};

constexpr bool IsHighSurrogate(std::uint16_t unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

// The Shift_JIS form of one unit, of which the library makes ISO-2022-JP and EUC-JP: one or two
// bytes (a unit the library's tables lack is its low byte, which may be a lead byte).
struct ShiftJisForm {
  std::uint8_t bytes[2] = {};
  std::size_t size = 0;
};

ShiftJisForm FormOf(std::uint16_t unit) {
  ShiftJisForm form;
  if (unit < 0x80) {
    form.bytes[0] = static_cast<std::uint8_t>(unit);
    form.size = 1;
    return form;
  }
  std::uint8_t bytes[8];
  const std::int32_t n =
      CV_WideCharToMultiByte(kShiftJis, 0, &unit, 1, bytes, sizeof bytes, nullptr, nullptr);
  form.size = static_cast<std::size_t>(std::clamp(n, 0, 2));
  std::copy(bytes, bytes + form.size, form.bytes);
  return form;
}

constexpr bool IsTranscoderLead(std::uint8_t b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xEF);
}

}  // namespace

void StreamEncoder::TranscoderState::Take(std::uint8_t b) {
  if (lead != 0) {
    if (b >= 0x40 && b <= 0xFC) mode = kTwoByteMode;  // a pair; anything else goes out as it is
    lead = 0;
  } else if (IsTranscoderLead(b)) {
    lead = b;
  } else {
    mode = kSingleByteMode;
  }
}

void StreamEncoder::ScanForCuts(const std::vector<std::uint16_t>& pending) {
  const bool jis = to_.codePage == kIso2022Jp;
  for (; scanned_ < pending.size(); ++scanned_) {
    const ShiftJisForm form = FormOf(pending[scanned_]);
    const bool afterHighSurrogate = scanned_ > 0 && IsHighSurrogate(pending[scanned_ - 1]);
    if (state_.lead == 0 && scanned_ > 0 && !afterHighSurrogate) {
      if (!jis || state_.mode == kSingleByteMode) {
        lastQuietCut_ = scanned_;
      } else if (form.size > 0 &&
                 (!IsTranscoderLead(form.bytes[0]) ||
                  (form.size == 2 && form.bytes[1] >= 0x40 && form.bytes[1] <= 0xFC))) {
        // In two-byte mode, before a pair or a single byte, both of which one call writes after
        // the same escape sequences that the next piece starts with.
        lastReopeningCut_ = scanned_;
      }
    }
    for (std::size_t k = 0; k < form.size; ++k)
      state_.Take(form.bytes[k]);
  }
}

bool CanEncode(std::uint32_t codePage) {
  const std::uint16_t unit = 'A';
  std::uint8_t bytes[16];
  return CV_WideCharToMultiByte(codePage, 0, &unit, 1, bytes, sizeof bytes, nullptr, nullptr) > 0;
}

StreamEncoder::StreamEncoder(const Encoding& to, std::size_t pieceUnits)
    : to_(to),
      pieceUnits_(pieceUnits),
      throughShiftJis_(to.kind == Encoding::Kind::kCodePage &&
                       (to.codePage == kIso2022Jp || to.codePage == kEucJp)) {}

StreamEncoder::Piece StreamEncoder::PieceEnd(const std::vector<std::uint16_t>& pending,
                                             bool atEnd) {
  const std::size_t n = pending.size();
  if (n == 0) return {0, false};
  if (!throughShiftJis_) return {atEnd || !IsHighSurrogate(pending[n - 1]) ? n : n - 1, false};
  ScanForCuts(pending);
  const bool jis = to_.codePage == kIso2022Jp;
  if (atEnd) return {n, jis && state_.mode == kTwoByteMode};
  if (lastQuietCut_ > 0) return {lastQuietCut_, false};
  if (n >= pieceUnits_ && lastReopeningCut_ > 0) return {lastReopeningCut_, true};
  return {0, false};
}

std::span<const std::uint8_t> StreamEncoder::Encode(std::vector<std::uint16_t>& pending,
                                                    bool atEnd) {
  const Piece piece = PieceEnd(pending, atEnd);
  const std::size_t end = piece.end;
  if (end == 0) return {};

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
    if (piece.closeTwoByteMode)
      bytes_.insert(bytes_.end(), std::begin(kToSingleByteMode), std::end(kToSingleByteMode));
  }
  pending.erase(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(end));
  // What was scanned past the cut stays scanned; the cuts found there stay good, since they
  // depend on the text before them only, not on where the pieces end.
  const auto rebase = [end](std::size_t at) { return at > end ? at - end : 0; };
  scanned_ = rebase(scanned_);
  lastQuietCut_ = rebase(lastQuietCut_);
  lastReopeningCut_ = rebase(lastReopeningCut_);
  return bytes_;
}

}  // namespace corvane_tool
