#include "convert/prepare.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "convert/measure.h"
#include "japanese/transcoders.h"
#include "quillon/quillon.h"
#include "utf8/utf8_codec.h"

namespace corvane {
namespace {

constexpr std::uint32_t kIso2022Jp = 2022;
constexpr std::uint32_t kEucJp = 51932;
constexpr std::uint32_t kShiftJis = 932;
constexpr std::uint32_t kUtf8 = 65001;

// Units of the temporary buffer for a byte source: ISO-2022-JP, EUC-JP and UTF-8 never grow
// when turned into Shift_JIS bytes or UTF-16 units, so the input's own size (measured once in nul
// mode, counted otherwise) bounds it, with slack for the terminator.
std::size_t PreparedUnits(const std::uint8_t* src, std::int32_t srcLen, std::uint32_t measureAs) {
  if (srcLen == -1) {
    return static_cast<std::size_t>(MeasureEncodedString(src, measureAs, -1, nullptr)) + 2;
  }
  return static_cast<std::size_t>(std::max(srcLen, 0)) + 2;
}

// The capacity handed to a converter for a buffer of this size. Every size above is at most about
// twice a 32-bit length, so only the biggest inputs reach the clamp, and their text still fits.
std::int32_t Capacity(std::size_t size) {
  return static_cast<std::int32_t>(std::min<std::size_t>(size, INT32_MAX));
}

}  // namespace

std::int32_t PrepareMultiByteInput(std::uint32_t* codePage, const std::uint8_t* src,
                                   std::int32_t srcLen, PreparedBuffer& buffer, PreparedKind& kind,
                                   JisShiftState* state) {
  if (*codePage == kIso2022Jp || *codePage == kEucJp) {
    const bool iso = *codePage == kIso2022Jp;
    *codePage = kShiftJis;  // measured with the Shift_JIS lead bytes from here on
    const std::size_t units = PreparedUnits(src, srcLen, kShiftJis);
    buffer.bytes = AllocateTemporary<std::uint8_t>(2 * units);
    const std::int32_t size = Capacity(2 * units);
    kind = PreparedKind::PreparedBytes;
    if (buffer.bytes == nullptr) return 0;
    if (!iso) return EucJpToSjis(src, srcLen, buffer.bytes.get(), size);
    JisShiftState mode = state != nullptr ? *state : kJisSingleByte;
    const std::int32_t n = Iso2022JpToSjis(src, srcLen, buffer.bytes.get(), size, &mode);
    if (state != nullptr) *state = mode;
    return n;
  }
  if (*codePage == kUtf8) {
    const std::size_t units = PreparedUnits(src, srcLen, kUtf8);
    buffer.units = AllocateTemporary<Utf16Unit>(units);
    kind = PreparedKind::PreparedWide;
    if (buffer.units == nullptr) return 0;
    const std::int32_t decoded =
        Utf8ToUcs2(src, srcLen, buffer.units.get(), Capacity(units), nullptr);
    // The buffer is sized for the whole text; the clamp only guards the copy that follows. The
    // byte count saturates rather than wraps: past 2^30 units (a UTF-8 source over 1 GiB) the
    // result is cut there, where CV_UTF8ToWideChar, which counts in units, is not.
    const std::int64_t bytes = 2 * std::int64_t{std::min(decoded, Capacity(units))};
    return static_cast<std::int32_t>(std::min<std::int64_t>(bytes, INT32_MAX - 1));
  }
  kind = PreparedKind::PreparedNone;
  return 0;
}

std::int32_t PrepareWideInput(std::uint32_t* codePage, const Utf16Unit* src, std::int32_t srcLen,
                              TemporaryBuffer<std::uint8_t>& utf8, WideOutcome& outcome) {
  if (*codePage == kIso2022Jp || *codePage == kEucJp) {
    *codePage = kShiftJis;
    outcome = WideOutcome::kThroughSjis;
    return 0;
  }
  if (*codePage == kUtf8) {
    // Three bytes per unit covers every form the encoder writes, plus the terminator.
    const std::size_t size = srcLen == -1 ? static_cast<std::size_t>(quillon::w_strlen(src)) * 3 + 3
                                          : (static_cast<std::size_t>(std::max(srcLen, 0)) + 2) * 3;
    utf8 = AllocateTemporary<std::uint8_t>(size);
    outcome = WideOutcome::kFinished;
    if (utf8 == nullptr) return 0;
    return Ucs2ToUtf8(src, srcLen, utf8.get(), Capacity(size));
  }
  outcome = WideOutcome::kDirect;
  return 0;
}

std::int32_t PostConvertFromSjis(std::uint32_t /*from*/, std::uint32_t to, const std::uint8_t* sjis,
                                 std::int32_t count, std::uint8_t* dst, std::int32_t dstCap) {
  if (to == kIso2022Jp) {
    JisShiftState finalMode = kJisSingleByte;  // the final mode is of no use to the caller
    return SjisToIso2022Jp(sjis, count, dst, dstCap, &finalMode);
  }
  return SjisToEucJp(sjis, count, dst, dstCap);
}

}  // namespace corvane
