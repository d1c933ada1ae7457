#include "convert/multi_to_wide.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "codepages/dbcs_lookup.h"
#include "codepages/registry.h"
#include "convert/measure.h"
#include "convert/prepare.h"
#include "convert/table_decode.h"
#include "frame/code_page_resolution.h"
#include "japanese/byte_classes.h"
#include "japanese/transcoders.h"
#include "platform/platform.h"

namespace corvane {
namespace {

constexpr std::uint32_t kEucJp = 51932;
constexpr std::uint32_t kIso2022Jp = 2022;
constexpr std::uint32_t kShiftJis = 932;

// Fast path for counted EUC-JP on our own tables: an ASCII byte or a well-formed pair becomes
// exactly the unit that transcoding it to Shift_JIS and decoding that would give, without the
// intermediate text. Every pair's Shift_JIS lead is a lead byte, and no single byte below 0x80
// is, so each step is one whole character on both roads and the rest of the text can follow the
// ordinary road from where this stops: at the first byte that needs the transcoder's decision,
// at the last byte, or when the destination is full. Returns the bytes taken.
std::int32_t DecodeEucJpRun(const DbcsDirectIndex& sjis, const std::uint8_t* src, std::int32_t n,
                            Utf16Unit* dst, std::int32_t dstCap, std::int32_t& written) {
  // Copied out of the index: stores through dst would otherwise make the compiler reload them.
  const std::uint8_t* const blockOf = sjis.blockOf;
  const std::uint16_t* const values = sjis.values;
  std::int32_t i = 0;
  std::int32_t w = written;
  // A branch per character, not arithmetic: predicted branches let the next character's loads
  // start before this one is classified, which a data dependency would not.
  while (i + 1 < n && w < dstCap) {
    const unsigned b = src[i];
    if (b < 0x80) {
      // Below 0x80 no byte is a Shift_JIS lead and no key has a character: the byte passes
      // through, except 0, which has no character.
      dst[w++] = static_cast<Utf16Unit>(b != 0 ? b : 0x003Fu);
      i += 1;
      continue;
    }
    const unsigned c = src[i + 1];
    if (!InRange(b, 0xA1, 0xFE) || !InRange(c, 0xA1, 0xFE)) break;
    std::uint8_t lead = 0;
    std::uint8_t trail = 0;
    JisPairToSjis(static_cast<std::uint8_t>(b - 0x80), static_cast<std::uint8_t>(c - 0x80), lead,
                  trail);
    // lead < 256 and blockOf's entries are below the block count: inside values.
    const unsigned unit = values[std::size_t{blockOf[lead]} * 256 + trail];
    dst[w++] = static_cast<Utf16Unit>(unit != 0 ? unit : (unsigned{lead} << 8 | trail));
    i += 2;
  }
  written = w;
  return i;
}

// The same for ISO-2022-JP, with escape sequences and line ends read on the way and the mode
// carried in `mode`. A pair's row byte 0x21-0x7E gives a Shift_JIS lead byte, and a single byte
// below 0x80 is none, so again every step is one whole character on both roads.
std::int32_t DecodeIso2022JpRun(const DbcsDirectIndex& sjis, const std::uint8_t* src,
                                std::int32_t n, Utf16Unit* dst, std::int32_t dstCap,
                                std::int32_t& written, JisShiftState& mode) {
  const std::uint8_t* const blockOf = sjis.blockOf;
  const std::uint16_t* const values = sjis.values;
  std::int32_t i = 0;
  std::int32_t w = written;
  while (i + 2 < n && w < dstCap) {  // an escape sequence that starts here is whole
    const unsigned b = src[i];
    if (b == 0x1B) {
      i += 2 + ParseJisEscape(src[i + 1], mode);
    } else if (b == 0x0A || b == 0x0D) {
      mode = kJisSingleByte;
      dst[w++] = static_cast<Utf16Unit>(b);
      i += 1;
    } else if (mode == kJisTwoByte) {
      if (!InRange(b, 0x21, 0x7E)) break;  // its Shift_JIS lead would be no lead byte
      std::uint8_t lead = 0;
      std::uint8_t trail = 0;
      JisPairToSjis(static_cast<std::uint8_t>(b), src[i + 1], lead, trail);
      const unsigned unit = values[std::size_t{blockOf[lead]} * 256 + trail];
      dst[w++] = static_cast<Utf16Unit>(unit != 0 ? unit : (unsigned{lead} << 8 | trail));
      i += 2;
    } else {
      if (b >= 0x80) break;  // could be a Shift_JIS lead byte
      dst[w++] = static_cast<Utf16Unit>(b != 0 ? b : 0x003Fu);
      i += 1;
    }
  }
  written = w;
  return i;
}

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
        const auto scratch = std::make_unique_for_overwrite<std::uint8_t[]>(size);
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

}  // namespace
}  // namespace corvane
