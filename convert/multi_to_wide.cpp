#include "convert/multi_to_wide.h"

#include <algorithm>
#include <cstring>

#include "codepages/dbcs_lookup.h"
#include "codepages/registry.h"
#include "convert/direct_japanese.h"
#include "convert/measure.h"
#include "convert/prepare.h"
#include "convert/table_decode.h"
#include "convert/temporary_buffer.h"
#include "frame/code_page_resolution.h"
#include "japanese/byte_classes.h"
#include "japanese/transcoders.h"
#include "platform/platform.h"

namespace corvane {
namespace {

constexpr std::uint32_t kEucJp = 51932;
constexpr std::uint32_t kIso2022Jp = 2022;
constexpr std::uint32_t kShiftJis = 932;

// Everything after resolution and measuring: preparation, then the system road or our tables.
std::int32_t ConvertPrepared(std::uint32_t codePage, const std::uint8_t* src, std::int32_t srcLen,
                             Utf16Unit* dst, std::int32_t dstCap, std::int32_t* consumed,
                             JisShiftState* state);

}  // namespace

std::int32_t MultiByteToWide(std::uint32_t codePage, const std::uint8_t* src, std::int32_t srcLen,
                             Utf16Unit* dst, std::int32_t dstCap, std::int32_t* consumed,
                             JisShiftState* state) {
  if (src == nullptr || dstCap < 0 || (dst == nullptr && dstCap != 0)) return 0;
  if (srcLen < -1) srcLen = 0;  // any other negative count is an empty text

  ResolveCodePage(&codePage, src, srcLen);
  if (dstCap == 0) return MeasureEncodedString(src, codePage, srcLen, consumed);
  if (consumed != nullptr) MeasureEncodedString(src, codePage, srcLen, consumed);

  if (codePage == kEucJp && srcLen > 0) {
    const CodePageRecord* sjis = FindCodePageRecord(kShiftJis);
    const DbcsDirectIndex* index = sjis != nullptr ? FindDbcsForwardIndex(*sjis) : nullptr;
    if (index != nullptr && sjis->provider != ProviderSystem) {
      std::int32_t written = 0;
      const std::int32_t taken = DecodeEucJpRun(*index, src, srcLen, dst, dstCap, written);
      if (written == dstCap) return written;  // full: nothing more would be stored
      return written + ConvertPrepared(codePage, src + taken, srcLen - taken, dst + written,
                                       dstCap - written, consumed, state);
    }
  }
  if (codePage == kIso2022Jp && srcLen > 0) {
    const CodePageRecord* sjis = FindCodePageRecord(kShiftJis);
    const DbcsDirectIndex* index = sjis != nullptr ? FindDbcsForwardIndex(*sjis) : nullptr;
    if (index != nullptr && sjis->provider != ProviderSystem) {
      JisShiftState mode =
          (state != nullptr && *state == kJisTwoByte) ? kJisTwoByte : kJisSingleByte;
      std::int32_t written = 0;
      const std::int32_t taken =
          DecodeIso2022JpRun(*index, src, srcLen, dst, dstCap, written, mode);
      if (taken < srcLen && written < dstCap) {
        written += ConvertPrepared(codePage, src + taken, srcLen - taken, dst + written,
                                   dstCap - written, consumed, &mode);
      } else if (taken < srcLen) {
        // Full: nothing more is stored, but the shift state reports the mode at the end of the
        // whole source, as when everything is transcoded first.
        const auto size = 2 * static_cast<std::size_t>(srcLen - taken) + 4;
        const auto scratch = AllocateTemporary<std::uint8_t>(size);
        if (scratch == nullptr) return 0;
        Iso2022JpToSjis(src + taken, srcLen - taken, scratch.get(), static_cast<std::int32_t>(size),
                        &mode);
      }
      if (state != nullptr) *state = mode;
      return written;
    }
  }
  return ConvertPrepared(codePage, src, srcLen, dst, dstCap, consumed, state);
}

namespace {

std::int32_t ConvertPrepared(std::uint32_t codePage, const std::uint8_t* src, std::int32_t srcLen,
                             Utf16Unit* dst, std::int32_t dstCap, std::int32_t* consumed,
                             JisShiftState* state) {
  PreparedBuffer buffer;
  PreparedKind kind = PreparedKind::PreparedNone;
  const std::int32_t prepared = PrepareMultiByteInput(&codePage, src, srcLen, buffer, kind, state);
  if ((kind == PreparedKind::PreparedWide && buffer.units == nullptr) ||
      (kind == PreparedKind::PreparedBytes && buffer.bytes == nullptr)) {
    return 0;  // no memory for the prepared text
  }

  if (kind == PreparedKind::PreparedWide) {
    // 2 x dstCap in 64 bits: a capacity above 2^30 units must not wrap to a negative copy.
    const auto units =
        static_cast<std::int32_t>(std::min<std::int64_t>(prepared, 2 * std::int64_t{dstCap}) / 2);
    std::memcpy(dst, buffer.units.get(), static_cast<std::size_t>(units) * sizeof(Utf16Unit));
    return units;
  }

  const std::uint8_t* text = src;
  std::int32_t textLen = srcLen;
  if (kind == PreparedKind::PreparedBytes) {
    text = buffer.bytes.get();
    textLen = prepared;
  } else if (srcLen != -1 && consumed != nullptr && *consumed != -1) {
    textLen = *consumed;  // stop before a character cut off at the end of the source
  }

  const std::uint32_t roadCodePage = RoadCodePage(codePage);
  const CodePageRecord* record = FindCodePageRecord(roadCodePage);
  if (record == nullptr || record->provider == ProviderSystem) {
    return platform::MultiByteToWideChar(codePage, 0, text, textLen, dst, dstCap);
  }
  codePage = roadCodePage;

  // A nul-terminated ISO-2022-JP or EUC-JP source arrives as Shift_JIS ending in the 0 byte that
  // the transcoder wrote. Decoding it as an ordinary byte would end the text with U+003F; it
  // ends with U+0000 instead, as on the system road and for every other nul-terminated source.
  bool terminate = textLen == -1;
  if (kind == PreparedKind::PreparedBytes && srcLen == -1 && textLen > 0 &&
      text[textLen - 1] == 0) {
    --textLen;
    terminate = true;
  }
  return DecodeWithTables(*record, codePage, text, textLen, terminate, dst, dstCap);
}

}  // namespace
}  // namespace corvane
