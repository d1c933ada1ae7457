// Single-byte reverse pages: page 0 for U+0000-U+07FF, page 1 for U+2000-U+27FF, indexed by
// the unit; 0 means "no byte" (except for U+0000 itself). Units outside both windows have no
// byte in any single-byte code page. Double-byte reverse tables: range-compressed, looked up by
// WideToDbcsCode (through the direct index of codepages/dbcs_lookup.h when the table has one);
// a miss writes the unit's low byte.
//
// EncodeWithTablesScalar, one WideUnitToBytes call per unit, defines what is correct;
// EncodeWithTables must give the same bytes and count and touch the same places. The fast loops
// work on a counted text: a nul-terminated text is measured first, which changes nothing, since
// the scalar loop stops at the first 0 unit exactly where a count would end it.
#include "convert/table_encode.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

#include "codepages/dbcs_lookup.h"
#include "japanese/byte_classes.h"
#include "quillon/quillon.h"

namespace corvane {
namespace {

// Where a fast loop stopped.
struct Progress {
  std::size_t read = 0;     // units consumed
  std::size_t written = 0;  // bytes stored
  bool full = false;        // stopped before a code that did not fit whole
};

// The single-byte road ------------------------------------------------------------------------

constexpr std::array<std::uint8_t, 0x80> kAsciiBytes = [] {
  std::array<std::uint8_t, 0x80> bytes{};
  for (std::size_t b = 0; b < bytes.size(); ++b)
    bytes[b] = static_cast<std::uint8_t>(b);
  return bytes;
}();

// Whether U+0001-U+007F encode as the bytes of the same value in this page 0.
bool LowPageKeepsAscii(const std::uint8_t* lowPage) {
  return std::memcmp(lowPage + 1, kAsciiBytes.data() + 1, kAsciiBytes.size() - 1) == 0;
}

// Fast path: encodes whole chunks of eight units from the start of src while every unit of a
// chunk lies in page 0 and has a byte there, and returns how many units (= bytes) it took; n is
// at most the room left. A chunk of ASCII is narrowed without the page where the page keeps
// ASCII; a chunk holding any other unit (page 1, no byte, beyond both windows) stops it for the
// scalar step. Chunks are decided one by one rather than by ASCII runs, because text that mixes
// ASCII with other letters breaks runs too often for a run to pay.
std::size_t EncodeLowPageChunks(const std::uint8_t* lowPage, bool keepsAscii, const Utf16Unit* src,
                                std::size_t n, std::uint8_t* dst) {
  std::size_t i = 0;
  for (; n - i >= 8; i += 8) {
    Utf16Unit units[8];
    std::memcpy(units, src + i, sizeof units);
    Utf16Unit any = 0;
    for (Utf16Unit u : units)
      any |= u;
    std::uint8_t bytes[8];
    if (keepsAscii && any < 0x80) {
      for (std::size_t k = 0; k < 8; ++k)
        bytes[k] = static_cast<std::uint8_t>(units[k]);
    } else {
      if (any > 0x07FF) break;
      bool mapped = true;
      for (std::size_t k = 0; k < 8; ++k) {
        bytes[k] = lowPage[units[k]];  // units[k] <= 0x07FF: inside the 2048-byte page
        mapped &= bytes[k] != 0 || units[k] == 0;
      }
      if (!mapped) break;
    }
    std::memcpy(dst + i, bytes, sizeof bytes);
  }
  return i;
}

Progress EncodeSingleByte(const CodePageRecord& record, const Utf16Unit* src, std::size_t n,
                          std::uint8_t* dst, std::size_t cap) {
  Progress p;
  const bool keepsAscii = n >= 8 && LowPageKeepsAscii(record.lowPage);  // no chunk without 8
  while (p.read < n && p.written < cap) {
    const std::size_t done =
        EncodeLowPageChunks(record.lowPage, keepsAscii, src + p.read,
                            std::min(n - p.read, cap - p.written), dst + p.written);
    p.read += done;
    p.written += done;
    if (p.read == n || p.written == cap) break;
    p.written += WideUnitToBytes(dst + p.written, src[p.read++], 0, record);
  }
  return p;
}

// The double-byte road ------------------------------------------------------------------------

// Stores the two bytes of one unit at out and returns how many of them count (1 or 2).
inline std::size_t StoreDbcsPair(const DbcsDirectIndex& table, std::uint32_t unit,
                                 std::uint8_t* out) {
  const std::uint32_t code = LookUpDbcsIndex(table, static_cast<std::uint16_t>(unit));
  // All ones on a miss (code - 1 wraps only for 0), written as arithmetic so that it stays a
  // select and does not become a branch.
  const std::uint32_t missMask = 0u - ((code - 1u) >> 31);
  const std::uint32_t two = code > 0xFF ? 1u : 0u;
  // One byte: the found code, or on a miss the unit's low byte. Two: the lead byte, which is
  // code >> 8; that is 0 for a one-byte code, and the one byte is masked out for a two-byte one.
  const std::uint32_t one = code | (unit & missMask);
  out[0] = static_cast<std::uint8_t>((code >> 8) | (one & (two - 1u)));
  out[1] = static_cast<std::uint8_t>(code);  // trail byte, or the spare
  return 1 + two;
}

// Encodes units while another unit follows and three bytes of room remain. Each unit stores two
// bytes, the lead/trail pair or its one byte followed by a spare; the spare lies inside the
// room, and the next unit overwrites it: one follows, and with at least two bytes of room left
// the fast loop or the scalar step writes a byte there. So no branch decides between one byte
// and two (ASCII and double-byte characters alternate too often to predict), and no byte past
// the final count is ever touched.
void EncodeDoubleByteRun(const DbcsDirectIndex& index, const Utf16Unit* src, std::size_t n,
                         std::uint8_t* dst, std::size_t cap, Progress& p) {
  // Copied out of the index: stores through dst may alias anything, and would otherwise make
  // the compiler reload them for every unit.
  const DbcsDirectIndex table = index;
  std::size_t read = p.read;
  std::size_t written = p.written;
  while (n - read >= 2 && cap - written >= 3) {
    // Units that surely meet both conditions, at two bytes each at most, so that the inner loop
    // tests nothing else.
    const std::size_t count = std::min(n - read - 1, (cap - written - 3) / 2 + 1);
    for (const std::size_t end = read + count; read < end; ++read) {
      written += StoreDbcsPair(table, src[read], dst + written);
    }
  }
  p.read = read;
  p.written = written;
}

Progress EncodeDoubleByte(const DbcsDirectIndex& index, const Utf16Unit* src, std::size_t n,
                          std::uint8_t* dst, std::size_t cap) {
  Progress p;
  while (p.read < n && p.written < cap) {
    EncodeDoubleByteRun(index, src, n, dst, cap, p);
    if (p.read == n || p.written == cap) break;
    // One unit by the rules, with the room it finds.
    std::uint8_t code[2];
    const Utf16Unit unit = src[p.read];
    const std::uint32_t bytes = WriteDbcsCode(code, unit, LookUpDbcsIndex(index, unit));
    if (bytes > cap - p.written) {
      p.full = true;
      break;
    }
    std::memcpy(dst + p.written, code, bytes);
    p.written += bytes;
    ++p.read;
  }
  return p;
}

}  // namespace

std::uint32_t WideUnitToBytes(std::uint8_t* dst, Utf16Unit unit, std::uint32_t multiByte,
                              const CodePageRecord& record) {
  // The bisection, not the index: the scalar loop built on this step is what the fast road and
  // its index are checked against, so it must not lean on either.
  if (multiByte != 0) return WideToDbcsCodeScalar(dst, unit, record);
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

std::int32_t EncodeWithTables(const CodePageRecord& record, const Utf16Unit* src,
                              std::int32_t srcLen, std::uint8_t* dst, std::int32_t dstCap) {
  const DbcsDirectIndex* index = nullptr;
  if (record.isMultiByte != 0) {
    index = FindDbcsReverseIndex(record);
    if (index == nullptr) return EncodeWithTablesScalar(record, src, srcLen, dst, dstCap);
  }
  std::size_t n = 0;
  if (srcLen == -1) {
    n = static_cast<std::size_t>(quillon::w_strlen(src));
  } else if (srcLen > 0) {
    n = static_cast<std::size_t>(srcLen);
  }
  const std::size_t cap = dstCap > 0 ? static_cast<std::size_t>(dstCap) : 0;

  const Progress p = index == nullptr ? EncodeSingleByte(record, src, n, dst, cap)
                                      : EncodeDoubleByte(*index, src, n, dst, cap);
  std::size_t written = p.written;
  if (srcLen == -1 && !p.full && written < cap) dst[written++] = 0;
  return static_cast<std::int32_t>(written);
}

std::int32_t EncodeWithTablesScalar(const CodePageRecord& record, const Utf16Unit* src,
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
    written +=
        static_cast<std::int32_t>(WideUnitToBytes(dst + written, unit, record.isMultiByte, record));
  }
  if (nul && !full && dstCap - written >= 1) dst[written++] = 0;
  return written;
}

}  // namespace corvane
