// Single-byte reverse pages: page 0 for U+0000-U+07FF, page 1 for U+2000-U+27FF, indexed by
// the unit; 0 means "no byte" (except for U+0000 itself). Units outside both windows have no
// byte in any single-byte code page. Double-byte reverse tables: range-compressed, looked up by
// WideToDbcsCode; a miss writes the unit's low byte.
#include "convert/wide_to_multi.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "codepages/dbcs_lookup.h"
#include "convert/prepare.h"
#include "frame/code_page_resolution.h"
#include "japanese/byte_classes.h"
#include "platform/platform.h"
#include "quillon/quillon.h"

namespace corvane {
namespace {

// Encodes with the record's tables. Room is tested once per unit, before it. A double-byte code
// that finds only one byte of room is left out and ends the conversion, like a full destination
// (no terminator): a caller never receives half of a character.
std::int32_t EncodeWithTables(const CodePageRecord& record, const Utf16Unit* src,
                              std::int32_t srcLen, std::uint8_t* dst, std::int32_t dstCap) {
  const bool nul = srcLen == -1;
  std::int32_t read = 0;
  std::int32_t written = 0;
  bool full = false;
  while (nul ? src[read] != 0 : read < srcLen) {
    const std::int32_t room = dstCap - written;
    if (room <= 0) break;
    const Utf16Unit unit = src[read++];
    if (room == 1 && record.isMultiByte != 0) {
      std::uint8_t code[2];
      if (WideUnitToBytes(code, unit, 1, record) == 2) {
        full = true;
        break;
      }
      dst[written++] = code[0];
      continue;
    }
    written += static_cast<std::int32_t>(WideUnitToBytes(dst + written, unit, record.isMultiByte,
                                                         record));
  }
  if (nul && !full && dstCap - written >= 1) dst[written++] = 0;
  return written;
}

}  // namespace

std::uint32_t WideUnitToBytes(std::uint8_t* dst, Utf16Unit unit, std::uint32_t multiByte,
                              const CodePageRecord& record) {
  if (multiByte != 0) return WideToDbcsCode(dst, unit, record);
  std::uint8_t byte = 0;
  if (unit <= 0x07FF) {
    byte = record.lowPage[unit];
  } else if (InRange(unit, 0x2000, 0x27FF)) {
    byte = record.highPage[unit - 0x2000];  // unit - 0x2000 < 0x800, inside the page
  }
  if (byte == 0 && unit != 0) return 0;  // no byte: the character is dropped
  *dst = byte;
  return 1;
}

std::int32_t WideToMultiByte(std::uint32_t codePage, std::uint32_t flags, const Utf16Unit* src,
                             std::int32_t srcLen, std::uint8_t* dst, std::int32_t dstCap,
                             const char* defaultChar, std::int32_t* defaultUsed) {
  if (src == nullptr || (dst == nullptr && dstCap > 0)) return 0;
  if (srcLen < -1) srcLen = 0;  // any other negative count is an empty text

  ResolveCodePage(&codePage, dst, dstCap);
  const std::uint32_t requested = codePage;

  std::unique_ptr<std::uint8_t[]> utf8;
  WideOutcome outcome = WideOutcome::kDirect;
  std::int32_t result = PrepareWideInput(&codePage, src, srcLen, utf8, outcome);
  if (outcome == WideOutcome::kFinished) {
    if (dstCap > 0) {
      result = std::min(result, dstCap);
      std::memcpy(dst, utf8.get(), static_cast<std::size_t>(result));
    }
    return result;
  }

  const CodePageRecord* record = FindCodePageRecord(codePage);

  // Measuring converts for real into a buffer of our own; the system is never asked for a size.
  std::unique_ptr<std::uint8_t[]> scratch;
  if (dstCap == 0) {
    const std::int64_t units = srcLen == -1 ? std::int64_t{quillon::w_strlen(src)} + 1 : srcLen;
    const std::int64_t t = 2 * units + 40;
    // Past 2 GiB the count could not be returned anyway; the clamp only keeps the size honest.
    dstCap = static_cast<std::int32_t>(std::min<std::int64_t>(t + t / 2, INT32_MAX - 64));
    scratch = std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(dstCap) + 20);
    dst = scratch.get();
  }

  if (record == nullptr || record->provider == ProviderSystem) {
    result = platform::WideCharToMultiByte(codePage, flags, src, srcLen, dst, dstCap, defaultChar,
                                           defaultUsed);
  } else {
    result = EncodeWithTables(*record, src, srcLen, dst, dstCap);
  }

  if (outcome == WideOutcome::kThroughSjis) {
    const auto count = static_cast<std::size_t>(std::max(result, 0));
    auto sjis = std::make_unique_for_overwrite<std::uint8_t[]>(count);
    std::memcpy(sjis.get(), dst, count);
    result = PostConvertFromSjis(932, requested, sjis.get(), static_cast<std::int32_t>(count), dst,
                                 dstCap);
  }
  return result;
}

}  // namespace corvane
