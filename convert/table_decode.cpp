// Single-byte tables: 256 entries of three units; unit 1 == 0 means "no character" and decodes
// to U+003F, units 2 and 3 continue a multi-character entry when not 0.
// Double-byte tables: range-compressed, looked up by DbcsCodeToWide (through the direct index of
// codepages/dbcs_lookup.h when the table has one); a key outside every range passes through as
// the unit of the same number, so only the key 0 becomes U+003F.
//
// Each road has a scalar loop, written from those rules, which defines what is correct
// (DecodeWithTablesScalar), and a fast loop (DecodeWithTables) that must give the same units,
// the same count and touch the same places. The fast loops work on a counted text: a
// nul-terminated text is measured first (all of it, even when the destination is small), which
// changes nothing, since the scalar loop stops at the first 0 byte exactly where a count would
// end it, lead bytes included.
#include "convert/table_decode.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>

#include "codepages/dbcs_lookup.h"
#include "japanese/byte_classes.h"

namespace corvane {
namespace {

constexpr Utf16Unit kQuestionMark = 0x003F;

// Where a fast loop stopped.
struct Progress {
  std::size_t read = 0;     // bytes consumed
  std::size_t written = 0;  // units stored
  bool full = false;        // stopped before a character that did not fit whole
};

// The single-byte road ------------------------------------------------------------------------

// One unit of the scalar rule for a byte: unit 1, or '?' for a byte without a character.
constexpr Utf16Unit FirstUnit(const Utf16Unit* entry) {
  return entry[0] != 0 ? entry[0] : kQuestionMark;
}

// Decodes one byte by the rules; false (and nothing stored) when its units do not all fit.
inline bool DecodeSingleByteStep(const Utf16Unit* table, std::uint8_t b, Utf16Unit* dst,
                                 std::size_t room, std::size_t& written) {
  // b <= 0xFF, so the entry lies inside the 768-unit table.
  const Utf16Unit* entry = table + kUnitsPerByteEntry * b;
  const std::size_t units = 1u + (entry[1] != 0 ? 1u : 0u) + (entry[2] != 0 ? 1u : 0u);
  if (units > room) return false;
  dst[written++] = FirstUnit(entry);
  if (entry[1] != 0) dst[written++] = entry[1];
  if (entry[2] != 0) dst[written++] = entry[2];
  return true;
}

// A table as the fast loop reads it: for each byte the one unit it decodes to ('?' for none),
// or 0 when its entry has more than one unit and the scalar step must take it. Building it
// costs about as much as decoding 256 bytes, so short texts go without.
using SingleUnitView = std::array<Utf16Unit, 256>;

constexpr std::size_t kViewPaysOff = 256;

SingleUnitView ViewOf(const Utf16Unit* table) {
  SingleUnitView view;
  for (std::size_t b = 0; b < view.size(); ++b) {
    const Utf16Unit* entry = table + kUnitsPerByteEntry * b;
    view[b] = entry[1] == 0 && entry[2] == 0 ? FirstUnit(entry) : Utf16Unit{0};
  }
  return view;
}

// Fast path: decodes whole chunks of eight bytes from the start of src while every byte of a
// chunk is one unit, and returns how many bytes (= units) it took; n is at most the room left,
// so every unit fits. A chunk holding a multi-unit byte stops it for the scalar step. ASCII
// takes no shortcut: the table lookup costs no more than widening, and a test for ASCII chunks
// would mispredict on text that mixes ASCII with other letters.
std::size_t DecodeSingleUnitChunks(const SingleUnitView& view, const std::uint8_t* src,
                                   std::size_t n, Utf16Unit* dst) {
  std::size_t i = 0;
  for (; n - i >= 8; i += 8) {
    Utf16Unit units[8];
    bool multi = false;
    for (std::size_t k = 0; k < 8; ++k) {
      units[k] = view[src[i + k]];  // a byte is below 256, the view's length
      multi |= units[k] == 0;
    }
    if (multi) break;
    std::memcpy(dst + i, units, sizeof units);
  }
  return i;
}

Progress DecodeSingleByte(const Utf16Unit* table, const std::uint8_t* src, std::size_t n,
                          Utf16Unit* dst, std::size_t cap) {
  Progress p;
  SingleUnitView view;
  const bool fast = std::min(n, cap) >= kViewPaysOff;
  if (fast) view = ViewOf(table);
  while (p.read < n && p.written < cap) {
    if (fast) {
      const std::size_t done = DecodeSingleUnitChunks(
          view, src + p.read, std::min(n - p.read, cap - p.written), dst + p.written);
      p.read += done;
      p.written += done;
      if (p.read == n || p.written == cap) break;
    }
    if (!DecodeSingleByteStep(table, src[p.read], dst, cap - p.written, p.written)) {
      p.full = true;
      break;
    }
    ++p.read;
  }
  return p;
}

// The double-byte road ------------------------------------------------------------------------

// IsDbcsLeadByte for every byte of one code page, computed once at compile time, so that the
// loop reads one byte instead of asking about the code page for every byte.
struct LeadByteMap {
  std::array<std::uint8_t, 256> isLead;
};

constexpr LeadByteMap MakeLeadByteMap(std::uint32_t codePage) {
  LeadByteMap map{};
  for (std::uint32_t b = 0; b < 256; ++b) {
    map.isLead[b] =
        static_cast<std::uint8_t>(IsDbcsLeadByte(static_cast<std::uint8_t>(b), codePage));
  }
  return map;
}

// The code pages whose lead bytes the conversions meet; any other is mapped when it comes.
constexpr std::uint32_t kLeadByteCodePages[] = {932, 936, 949, 950, 51932};
constexpr LeadByteMap kLeadByteMaps[] = {MakeLeadByteMap(932), MakeLeadByteMap(936),
                                         MakeLeadByteMap(949), MakeLeadByteMap(950),
                                         MakeLeadByteMap(51932)};
static_assert(std::size(kLeadByteCodePages) == std::size(kLeadByteMaps));

// One byte, one lead/trail pair, or nothing (a lead byte cut off by the end) by the rules.
inline void DecodeDoubleByteStep(const DbcsDirectIndex& index, const LeadByteMap& leads,
                                 const std::uint8_t* src, std::size_t n, Utf16Unit* dst,
                                 Progress& p) {
  const std::uint8_t b0 = src[p.read];
  if (leads.isLead[b0] == 0) {
    // Every forward key is two bytes wide (the generator checks it), so a single byte passes
    // through as itself, and the one key without a character is 0.
    dst[p.written++] = b0 != 0 ? Utf16Unit{b0} : kQuestionMark;
    ++p.read;
    return;
  }
  if (n - p.read < 2) {  // a lead byte cut off by the end is dropped
    p.read = n;
    return;
  }
  const auto key = static_cast<std::uint16_t>(b0 << 8 | src[p.read + 1]);
  const std::uint16_t unit = LookUpDbcsIndex(index, key);
  dst[p.written++] = unit != 0 ? unit : key;  // key >= 0x100 here, never 0
  p.read += 2;
}

// Decodes characters while two bytes and one place remain, so that a lead byte always has its
// trail. One branch per character, lead or not; a single byte, ASCII or not, passes through.
void DecodeDoubleByteRun(const DbcsDirectIndex& index, const LeadByteMap& leads,
                         const std::uint8_t* src, std::size_t n, Utf16Unit* dst, std::size_t cap,
                         Progress& p) {
  // Copied out of the index: stores through dst would otherwise make the compiler reload them.
  const std::uint8_t* const blockOf = index.blockOf;
  const std::uint16_t* const values = index.values;
  const std::uint8_t* const isLead = leads.isLead.data();
  std::size_t read = p.read;
  std::size_t written = p.written;
  for (;;) {
    // Characters that surely fit and surely have their trail (one unit and at most two bytes
    // each), so that the inner loop tests nothing else.
    const std::size_t count = std::min(cap - written, (n - read) / 2);
    if (count == 0) break;
    for (const std::size_t end = written + count; written < end; ++written) {
      const std::uint32_t b0 = src[read];
      if (isLead[b0] != 0) {
        const std::uint32_t b1 = src[read + 1];
        // Every block number in blockOf is below the block count and b1 < 256: inside values.
        // Block 0 is all zeros, so a lead byte without keys misses like any absent key.
        const std::uint32_t unit = values[std::size_t{blockOf[b0]} * 256 + b1];
        // All ones on a miss (unit - 1 wraps only for 0), as arithmetic so it stays a select.
        const std::uint32_t missMask = 0u - ((unit - 1u) >> 31);
        dst[written] = static_cast<Utf16Unit>(unit | ((b0 << 8 | b1) & missMask));
        read += 2;
      } else {
        // Every forward key is two bytes wide (the generator checks it), so a single byte
        // passes through as itself, and the one key without a character is 0.
        dst[written] = static_cast<Utf16Unit>(b0 != 0 ? b0 : kQuestionMark);
        read += 1;
      }
    }
  }
  p.read = read;
  p.written = written;
}

Progress DecodeDoubleByte(const DbcsDirectIndex& index, const LeadByteMap& leads,
                          const std::uint8_t* src, std::size_t n, Utf16Unit* dst, std::size_t cap) {
  Progress p;
  DecodeDoubleByteRun(index, leads, src, n, dst, cap, p);
  while (p.read < n && p.written < cap)
    DecodeDoubleByteStep(index, leads, src, n, dst, p);
  return p;
}

// The scalar loops ----------------------------------------------------------------------------

// One end test for both length modes; `read` counts the bytes taken so far.
struct TextEnd {
  const std::uint8_t* text;
  std::int32_t length;  // -1: nul-terminated
  bool At(std::int32_t read) const { return length == -1 ? text[read] == 0 : read >= length; }
};

std::int32_t DecodeSingleByteScalar(const CodePageRecord& record, TextEnd end, Utf16Unit* dst,
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

std::int32_t DecodeDoubleByteScalar(const CodePageRecord& record, std::uint32_t codePage,
                                    TextEnd end, Utf16Unit* dst, std::int32_t dstCap) {
  std::int32_t read = 0;
  std::int32_t written = 0;
  while (!end.At(read) && dstCap - written > 0) {
    const std::uint8_t b0 = end.text[read++];
    std::uint16_t key = b0;
    if (IsDbcsLeadByte(b0, codePage)) {
      if (end.At(read)) break;  // a lead byte cut off by the end is dropped
      key = static_cast<std::uint16_t>(b0 << 8 | end.text[read++]);
    }
    written += static_cast<std::int32_t>(DbcsCodeToWideScalar(dst + written, key, record));
  }
  return written;
}

}  // namespace

std::int32_t DecodeWithTables(const CodePageRecord& record, std::uint32_t codePage,
                              const std::uint8_t* text, std::int32_t textLen, bool terminate,
                              Utf16Unit* dst, std::int32_t dstCap) {
  const DbcsDirectIndex* index = nullptr;
  if (record.isMultiByte != 0) {
    index = FindDbcsForwardIndex(record);
    if (index == nullptr) {
      return DecodeWithTablesScalar(record, codePage, text, textLen, terminate, dst, dstCap);
    }
  }
  std::size_t n = 0;
  if (textLen == -1) {
    n = std::strlen(reinterpret_cast<const char*>(text));
  } else if (textLen > 0) {
    n = static_cast<std::size_t>(textLen);
  }
  const std::size_t cap = dstCap > 0 ? static_cast<std::size_t>(dstCap) : 0;

  Progress p;
  if (index == nullptr) {
    p = DecodeSingleByte(record.byteToWide, text, n, dst, cap);
  } else {
    LeadByteMap mapped;
    const LeadByteMap* leads = nullptr;
    for (std::size_t i = 0; i < std::size(kLeadByteCodePages); ++i) {
      if (kLeadByteCodePages[i] == codePage) leads = &kLeadByteMaps[i];
    }
    if (leads == nullptr) {
      mapped = MakeLeadByteMap(codePage);
      leads = &mapped;
    }
    p = DecodeDoubleByte(*index, *leads, text, n, dst, cap);
  }
  if (terminate && !p.full && p.written < cap) dst[p.written++] = 0;
  return static_cast<std::int32_t>(p.written);
}

std::int32_t DecodeWithTablesScalar(const CodePageRecord& record, std::uint32_t codePage,
                                    const std::uint8_t* text, std::int32_t textLen, bool terminate,
                                    Utf16Unit* dst, std::int32_t dstCap) {
  const TextEnd end{text, textLen};
  bool full = false;
  std::int32_t written = record.isMultiByte != 0
                             ? DecodeDoubleByteScalar(record, codePage, end, dst, dstCap)
                             : DecodeSingleByteScalar(record, end, dst, dstCap, full);
  if (terminate && !full && dstCap - written >= 1) dst[written++] = 0;
  return written;
}

}  // namespace corvane
