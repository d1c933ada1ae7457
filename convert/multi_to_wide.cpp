#include "convert/multi_to_wide.h"

#include <algorithm>
#include <cstring>

#include "codepages/registry.h"
#include "convert/measure.h"
#include "convert/prepare.h"
#include "convert/table_decode.h"
#include "frame/code_page_resolution.h"
#include "platform/platform.h"

namespace corvane {

std::int32_t MultiByteToWide(std::uint32_t codePage, const std::uint8_t* src, std::int32_t srcLen,
                             Utf16Unit* dst, std::int32_t dstCap, std::int32_t* consumed,
                             JisShiftState* state) {
  if (src == nullptr || dstCap < 0 || (dst == nullptr && dstCap != 0)) return 0;
  if (srcLen < -1) srcLen = 0;  // any other negative count is an empty text

  ResolveCodePage(&codePage, src, srcLen);
  if (dstCap == 0) return MeasureEncodedString(src, codePage, srcLen, consumed);
  if (consumed != nullptr) MeasureEncodedString(src, codePage, srcLen, consumed);

  PreparedBuffer buffer;
  PreparedKind kind = PreparedKind::PreparedNone;
  const std::int32_t prepared = PrepareMultiByteInput(&codePage, src, srcLen, buffer, kind, state);

  if (kind == PreparedKind::PreparedWide) {
    const std::int32_t units = std::min(prepared, 2 * dstCap) / 2;
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

  const CodePageRecord* record = FindCodePageRecord(codePage);
  if (record == nullptr || record->provider == ProviderSystem) {
    return platform::MultiByteToWideChar(codePage, 0, text, textLen, dst, dstCap);
  }

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

}  // namespace corvane
