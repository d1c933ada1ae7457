// The road chooser of CV_WideCharToMultiByte. Our own table road is convert/table_encode.cpp.
#include "convert/wide_to_multi.h"

#include <algorithm>
#include <cstring>

#include "convert/direct_japanese.h"
#include "convert/prepare.h"
#include "convert/table_encode.h"
#include "convert/temporary_buffer.h"
#include "frame/code_page_resolution.h"
#include "platform/platform.h"
#include "quillon/quillon.h"

namespace corvane {
namespace {
constexpr std::uint32_t kEucJp = 51932;
}  // namespace

std::int32_t WideToMultiByte(std::uint32_t codePage, std::uint32_t flags, const Utf16Unit* src,
                             std::int32_t srcLen, std::uint8_t* dst, std::int32_t dstCap,
                             const char* defaultChar, std::int32_t* defaultUsed) {
  if (src == nullptr || (dst == nullptr && dstCap > 0)) return 0;
  if (srcLen < -1) srcLen = 0;  // any other negative count is an empty text

  // Under 2023 the detector reads the caller's destination as it stands; a negative capacity
  // gives no readable bytes, and -1 must not be taken for a nul-terminated string.
  ResolveCodePage(&codePage, dst, dstCap < 0 ? 0 : dstCap);
  const std::uint32_t requested = codePage;

  TemporaryBuffer<std::uint8_t> utf8;
  WideOutcome outcome = WideOutcome::kDirect;
  std::int32_t result = PrepareWideInput(&codePage, src, srcLen, utf8, outcome);
  if (outcome == WideOutcome::kFinished) {
    if (dstCap > 0 && utf8 != nullptr) {
      result = std::min(result, dstCap);
      std::memcpy(dst, utf8.get(), static_cast<std::size_t>(result));
    }
    return result;
  }

  const CodePageRecord* record = FindCodePageRecord(RoadCodePage(codePage));

  // Measuring converts for real into a buffer of our own; the system is never asked for a size.
  TemporaryBuffer<std::uint8_t> scratch;
  if (dstCap == 0) {
    const std::int64_t units = srcLen == -1 ? std::int64_t{quillon::w_strlen(src)} + 1 : srcLen;
    const std::int64_t t = 2 * units + 40;
    // Past 2 GiB the count could not be returned anyway; the clamp only keeps the size honest.
    dstCap = static_cast<std::int32_t>(std::min<std::int64_t>(t + t / 2, INT32_MAX - 64));
    scratch = AllocateTemporary<std::uint8_t>(static_cast<std::size_t>(dstCap) + 20);
    if (scratch == nullptr) return 0;
    dst = scratch.get();
  }

  // EUC-JP on our own tables with room for two bytes per unit goes straight from UTF-16 as far
  // as it can; the rest follows the ordinary road from that character boundary.
  std::int32_t written = 0;
  if (requested == kEucJp && record != nullptr && record->provider != ProviderSystem) {
    const DbcsDirectIndex* index = FindDbcsReverseIndex(*record);
    const std::int64_t units = srcLen == -1 ? std::int64_t{quillon::w_strlen(src)} + 1 : srcLen;
    if (index != nullptr && std::int64_t{dstCap} - 1 >= 2 * units) {
      const auto n = static_cast<std::int32_t>(units);  // counted: a terminator is a 0 unit
      const std::int32_t taken = EncodeEucJpRun(*index, src, n, dst, written);
      if (taken == n) return written;
      src += taken;
      srcLen = n - taken;
      dst += written;
      dstCap -= written;
    }
  }

  if (record == nullptr || record->provider == ProviderSystem) {
    result = platform::WideCharToMultiByte(codePage, flags, src, srcLen, dst, dstCap, defaultChar,
                                           defaultUsed);
  } else {
    result = EncodeWithTables(*record, src, srcLen, dst, dstCap);
  }

  if (outcome == WideOutcome::kThroughSjis) {
    const auto count = static_cast<std::size_t>(std::max(result, 0));
    const auto sjis = AllocateTemporary<std::uint8_t>(count);
    if (sjis == nullptr) return 0;
    std::memcpy(sjis.get(), dst, count);
    result = PostConvertFromSjis(932, requested, sjis.get(), static_cast<std::int32_t>(count), dst,
                                 dstCap);
  }
  return written + result;
}

}  // namespace corvane
