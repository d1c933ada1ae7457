#include "convert/multi_to_wide.h"

#include <algorithm>
#include <optional>
#include <span>

#include "convert/code_page_resolution.h"
#include "convert/double_byte.h"
#include "convert/japanese.h"
#include "convert/measure.h"
#include "convert/road.h"
#include "convert/single_byte.h"
#include "convert/system_road.h"
#include "convert/utf8_road.h"

namespace corvane {

std::int32_t MultiByteToWide(std::uint32_t codePage, const ByteText& src, Utf16Unit* dst,
                             std::int32_t dstCap, std::int32_t* consumed, JisShiftState* state) {
  if (dstCap < 0 || (dst == nullptr && dstCap != 0)) return 0;

  ResolveCodePage(&codePage, src);
  const Road road = RoadFor(codePage);
  if (dstCap == 0) return MeasureEncodedString(road, src, consumed);
  std::int32_t whole = -1;
  if (consumed != nullptr) MeasureEncodedString(road, src, &whole);
  if (consumed != nullptr) *consumed = whole;

  const std::span<Utf16Unit> out(dst, static_cast<std::size_t>(dstCap));
  // A counted source with a consumed count converts only the characters it counted whole, so
  // that the rest can be carried into the next call; the straight-through roads keep it all.
  // A reference, so that the caller's text is read field by field rather than copied whole: a
  // copy reloads the fields the exports have just stored, which stalls a short string's call.
  const ByteText prefix = src.Prefix(whole < 0 ? src.size : std::size_t(whole));
  const ByteText& counted = src.terminated || whole < 0 ? src : prefix;
  std::optional<std::size_t> units;
  switch (road.kind) {
    case RoadKind::kSystem:
      return DecodeWithSystem(road.codePage, counted, out);
    case RoadKind::kSingleByte:
      units = DecodeSingleByte(*road.record, counted, out);
      break;
    case RoadKind::kDoubleByte:
      units = DecodeDoubleByte(road, counted, out);
      break;
    case RoadKind::kEucJp:
    case RoadKind::kIso2022Jp:
      units = DecodeJapanese(road, src, out, state);
      break;
    case RoadKind::kUtf8:
      units = DecodeUtf8Road(src, out);
      break;
  }
  return units ? static_cast<std::int32_t>(*units) : 0;
}

}  // namespace corvane
