#include "convert/wide_to_multi.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <span>

#include "convert/code_page_resolution.h"
#include "convert/double_byte.h"
#include "convert/japanese.h"
#include "convert/road.h"
#include "convert/single_byte.h"
#include "convert/system_road.h"
#include "convert/temporary_buffer.h"
#include "convert/utf8_road.h"
#include "platform/platform.h"

namespace corvane {
namespace {

constexpr std::uint32_t kShiftJis = 932;

// Measuring converts for real into a buffer of our own, 3 x units + 60 bytes (the terminator
// counted as a unit), so the system is never asked for a size; the buffer is 20 bytes longer.
std::size_t ScratchCapacity(WideText src) {
  const std::int64_t units = static_cast<std::int64_t>(src.size) + (src.terminated ? 1 : 0);
  const std::int64_t t = 2 * units + 40;
  // Past 2 GiB the count could not be returned anyway; the clamp only keeps the size honest.
  return static_cast<std::size_t>(std::min<std::int64_t>(t + t / 2, INT32_MAX - 64));
}

// A road's bytes as the export returns them: 0 when the road failed.
std::int32_t Result(std::optional<std::size_t> bytes) {
  return bytes ? static_cast<std::int32_t>(*bytes) : 0;
}

// Each road's result is turned into the export's in its own branch: merged first as optionals,
// they cost a short string a stalled reload of the merged value.
std::int32_t Encode(const Road& road, std::uint32_t flags, const WideText& src,
                    std::span<std::uint8_t> out, const char* defaultChar,
                    std::int32_t* defaultUsed) {
  switch (road.kind) {
    case RoadKind::kSystem:
      return std::max(EncodeWithSystem(road.codePage, flags, src, out, defaultChar, defaultUsed),
                      0);
    case RoadKind::kSingleByte:
      return Result(EncodeSingleByte(*road.record, src, out));
    case RoadKind::kDoubleByte:
      return Result(EncodeDoubleByte(road, src, out));
    case RoadKind::kEucJp:
    case RoadKind::kIso2022Jp:
      return Result(EncodeJapanese(road, src, out, flags, defaultChar, defaultUsed));
    case RoadKind::kUtf8:
      return Result(EncodeUtf8Road(src, out));
  }
  return 0;
}

}  // namespace

std::int32_t WideToMultiByte(std::uint32_t codePage, std::uint32_t flags, const WideText& src,
                             std::uint8_t* dst, std::int32_t dstCap, const char* defaultChar,
                             std::int32_t* defaultUsed) {
  if (dst == nullptr && dstCap > 0) return 0;
  // Under 2023 the detector reads the caller's destination as it stands; a negative capacity
  // gives no readable bytes, and -1 must not be taken for a nul-terminated string.
  ResolveCodePage(&codePage,
                  {dst, dstCap > 0 ? static_cast<std::size_t>(dstCap) : std::size_t{0}, false});
  const Road road = RoadFor(codePage);

  if (dstCap < 0) {
    // UTF-8 counts anyway; the system is handed the capacity as it came; our tables write
    // nothing, and a Japanese encoding transcodes nothing.
    if (road.kind == RoadKind::kUtf8) return static_cast<std::int32_t>(*EncodeUtf8Road(src, {}));
    const bool system = road.kind == RoadKind::kSystem ||
                        (road.kind != RoadKind::kSingleByte && road.kind != RoadKind::kDoubleByte &&
                         road.record == nullptr);
    if (!system) return 0;
    const std::int32_t result = platform::WideCharToMultiByte(
        road.kind == RoadKind::kSystem ? road.codePage : kShiftJis, flags, src.data,
        src.terminated ? -1 : static_cast<std::int32_t>(src.size), dst, dstCap, defaultChar,
        defaultUsed);
    return road.kind == RoadKind::kSystem ? result : 0;
  }

  std::span<std::uint8_t> out(dst, static_cast<std::size_t>(dstCap));
  TemporaryBuffer<std::uint8_t> scratch;
  if (dstCap == 0 && road.kind != RoadKind::kUtf8) {
    const std::size_t capacity = ScratchCapacity(src);
    scratch = AllocateTemporary<std::uint8_t>(capacity + 20);
    if (scratch == nullptr) return 0;
    out = {scratch.get(), capacity};
  }
  return Encode(road, flags, src, out, defaultChar, defaultUsed);
}

}  // namespace corvane
