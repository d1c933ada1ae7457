// Single-byte tables: 256 entries of three units; unit 1 == 0 means "no character" and decodes
// to U+003F, units 2 and 3 continue a multi-character entry when not 0.
// Double-byte tables: range-compressed, looked up by DbcsCodeToWide; a key outside every range
// passes through as the unit of the same number, so only the key 0 becomes U+003F.
#include "convert/table_decode.h"

#include "codepages/dbcs_lookup.h"
#include "japanese/byte_classes.h"

namespace corvane {
namespace {

constexpr Utf16Unit kQuestionMark = 0x003F;

// One end test for both length modes; `read` counts the bytes taken so far.
struct TextEnd {
  const std::uint8_t* text;
  std::int32_t length;  // -1: nul-terminated
  bool At(std::int32_t read) const { return length == -1 ? text[read] == 0 : read >= length; }
};

std::int32_t DecodeSingleByte(const CodePageRecord& record, TextEnd end, Utf16Unit* dst,
                              std::int32_t dstCap, bool& full) {
  const Utf16Unit* table = record.byteToWide;
  std::int32_t read = 0;
  std::int32_t written = 0;
  while (!end.At(read) && dstCap - written > 0) {
    // b <= 0xFF, so the entry lies inside the 768-unit table.
    const Utf16Unit* entry = table + 3 * static_cast<std::size_t>(end.text[read]);
    const std::int32_t units = 1 + (entry[1] != 0 ? 1 : 0) + (entry[2] != 0 ? 1 : 0);
    if (units > dstCap - written) {
      full = true;
      break;
    }
    ++read;
    dst[written++] = entry[0] != 0 ? entry[0] : kQuestionMark;
    if (entry[1] != 0) dst[written++] = entry[1];
    if (entry[2] != 0) dst[written++] = entry[2];
  }
  return written;
}

std::int32_t DecodeDoubleByte(const CodePageRecord& record, std::uint32_t codePage, TextEnd end,
                              Utf16Unit* dst, std::int32_t dstCap) {
  std::int32_t read = 0;
  std::int32_t written = 0;
  while (!end.At(read) && dstCap - written > 0) {
    const std::uint8_t b0 = end.text[read++];
    std::uint16_t key = b0;
    if (IsDbcsLeadByte(b0, codePage)) {
      if (end.At(read)) break;  // a lead byte cut off by the end is dropped
      key = static_cast<std::uint16_t>(b0 << 8 | end.text[read++]);
    }
    written += static_cast<std::int32_t>(DbcsCodeToWide(dst + written, key, record));
  }
  return written;
}

}  // namespace

std::int32_t DecodeWithTables(const CodePageRecord& record, std::uint32_t codePage,
                              const std::uint8_t* text, std::int32_t textLen, bool terminate,
                              Utf16Unit* dst, std::int32_t dstCap) {
  const TextEnd end{text, textLen};
  bool full = false;
  std::int32_t written = record.isMultiByte != 0
                             ? DecodeDoubleByte(record, codePage, end, dst, dstCap)
                             : DecodeSingleByte(record, end, dst, dstCap, full);
  if (terminate && !full && dstCap - written >= 1) dst[written++] = 0;
  return written;
}

}  // namespace corvane
