// Table format: 256 byte entries of three units; unit 1 == 0 means "no character" and decodes to
// U+003F, units 2 and 3 continue a multi-unit entry when not 0. Two reverse pages, page 0 for
// U+0000-U+07FF and page 1 for U+2000-U+27FF, indexed by the unit; 0 means "no byte" (except for
// U+0000 itself). Units outside both windows have no byte in any single-byte code page.
//
// The ...Scalar loops, one character at a time from those rules, define what is correct; each
// fast loop sits below its fast path and must give the same elements and count and touch the
// same places.
#include "convert/single_byte.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>

#include "codepages/dbcs_lookup.h"

namespace corvane {
namespace {

constexpr Utf16Unit kQuestionMark = 0x003F;

// Where a loop stopped.
struct Progress {
  std::size_t read = 0;     // elements of the text consumed
  std::size_t written = 0;  // elements stored
  bool full = false;        // stopped before a character that did not fit whole
};

// The terminator of a terminated text, after all of it, when there is room and nothing stopped
// the conversion short.
template <typename T, typename Out>
std::size_t Terminate(const Text<T>& text, const Progress& p, std::span<Out> dst) {
  std::size_t written = p.written;
  if (text.terminated && !p.full && p.read == text.size && written < dst.size()) dst[written++] = 0;
  return written;
}

// Decoding ------------------------------------------------------------------------------------

// One unit of the rule for a byte: unit 1, or '?' for a byte without a character.
constexpr Utf16Unit FirstUnit(const Utf16Unit* entry) {
  return entry[0] != 0 ? entry[0] : kQuestionMark;
}

// Decodes one byte by the rules; false (and nothing stored) when its units do not all fit.
inline bool DecodeStep(const Utf16Unit* table, std::uint8_t b, std::span<Utf16Unit> dst,
                       std::size_t& written) {
  // b <= 0xFF, so the entry lies inside the 768-unit table.
  const Utf16Unit* entry = table + kUnitsPerByteEntry * b;
  const std::size_t units = 1u + (entry[1] != 0 ? 1u : 0u) + (entry[2] != 0 ? 1u : 0u);
  if (units > dst.size() - written) return false;
  dst[written++] = FirstUnit(entry);
  if (entry[1] != 0) dst[written++] = entry[1];
  if (entry[2] != 0) dst[written++] = entry[2];
  return true;
}

// A table as the fast loop reads it: for each byte the one unit it decodes to ('?' for none),
// or 0 when its entry has more than one unit and the step must take it.
struct SingleUnitView {
  std::array<Utf16Unit, 256> units;
  bool keepsAscii;  // 0x01-0x7F decode to themselves
  bool allSingle;   // no byte has more than one unit (most tables): nothing stops the loop

  Utf16Unit operator[](std::size_t b) const { return units[b]; }
};

SingleUnitView ViewOf(const Utf16Unit* table) {
  SingleUnitView view{};
  for (std::size_t b = 0; b < view.units.size(); ++b) {
    const Utf16Unit* entry = table + kUnitsPerByteEntry * b;
    view.units[b] = entry[1] == 0 && entry[2] == 0 ? FirstUnit(entry) : Utf16Unit{0};
  }
  view.keepsAscii = true;
  view.allSingle = true;
  for (std::size_t b = 0; b < view.units.size(); ++b)
    view.allSingle &= view.units[b] != 0;
  for (std::size_t b = 1; b < 0x80; ++b)
    view.keepsAscii &= view.units[b] == b;
  return view;
}

// The views of the registered tables, built together on first use. A view costs about as much to
// build as decoding 256 bytes, so building one per call would leave short texts, the common case,
// on the slower step; the tables never change, so built once they serve every call and thread.
struct RegisteredViews {
  const Utf16Unit* tables[RegistryCapacity];  // the table each view was built from, by slot
  SingleUnitView views[RegistryCapacity];
};

const RegisteredViews& Views() {
  static RegisteredViews views{};
  [[maybe_unused]] static const bool built = [] {
    const CodePageRecord* r = GetCodePageRegistry().records;
    for (std::size_t slot = 0; r[slot].id != kTerminatorId; ++slot) {
      if (r[slot].isMultiByte != 0 || r[slot].byteToWide == nullptr) continue;
      views.tables[slot] = r[slot].byteToWide;
      views.views[slot] = ViewOf(r[slot].byteToWide);
    }
    return true;
  }();
  return views;
}

// The view of a registered record's table; null for a record outside the registry.
const SingleUnitView* RegisteredView(const CodePageRecord& record) {
  const RegisteredViews& built = Views();
  const CodePageRecord* first = GetCodePageRegistry().records;
  // std::less orders any two addresses, so a record from elsewhere is told apart without
  // subtracting pointers into different arrays.
  if (std::less<>()(&record, first) || !std::less<>()(&record, first + RegistryCapacity)) {
    return nullptr;
  }
  const auto slot = static_cast<std::size_t>(&record - first);
  return built.tables[slot] == record.byteToWide ? &built.views[slot] : nullptr;
}

// Fast path: decodes bytes from the start of src while each is one unit, eight at a time and then
// one by one, and returns how many bytes (= units) it took; n is at most the room left, so every
// unit fits. A multi-unit byte stops it for the step. ASCII takes no shortcut: the view lookup
// costs no more than widening, and a test for ASCII chunks would mispredict on text that mixes
// ASCII with other letters.
std::size_t DecodeSingleUnits(const SingleUnitView& view, const std::uint8_t* src, std::size_t n,
                              Utf16Unit* dst) {
  std::size_t i = 0;
  for (; n - i >= 8; i += 8) {
    // Eight bytes of 0x01-0x7F (a 0 byte borrows into its high bit) widen as they stand where the
    // table keeps ASCII: Western text is mostly such runs, and widening them takes one vector
    // instruction where the lookups take eight loads.
    std::uint64_t word;
    std::memcpy(&word, src + i, sizeof word);
    if (view.keepsAscii && ((word | (word - 0x0101010101010101u)) & 0x8080808080808080u) == 0) {
      for (std::size_t k = 0; k < 8; ++k)
        dst[i + k] = src[i + k];
      continue;
    }
    if (view.allSingle) {  // no test per byte: every byte has its one unit
      for (std::size_t k = 0; k < 8; ++k)
        dst[i + k] = view[src[i + k]];
      continue;
    }
    Utf16Unit units[8];
    bool multi = false;
    for (std::size_t k = 0; k < 8; ++k) {
      units[k] = view[src[i + k]];  // a byte is below 256, the view's length
      multi |= units[k] == 0;
    }
    if (multi) break;
    std::memcpy(dst + i, units, sizeof units);
  }
  for (; i < n && view[src[i]] != 0; ++i)  // a byte is below 256, the view's length
    dst[i] = view[src[i]];
  return i;
}

}  // namespace

std::size_t DecodeSingleByte(const CodePageRecord& record, const ByteText& text,
                             std::span<Utf16Unit> dst) {
  const Utf16Unit* table = record.byteToWide;
  const SingleUnitView* view = RegisteredView(record);
  SingleUnitView own;
  if (view == nullptr) {
    own = ViewOf(table);
    view = &own;
  }
  Progress p;
  while (p.read < text.size && p.written < dst.size()) {
    const std::size_t done = DecodeSingleUnits(*view, text.data + p.read,
                                               std::min(text.size - p.read, dst.size() - p.written),
                                               dst.data() + p.written);
    p.read += done;
    p.written += done;
    if (p.read == text.size || p.written == dst.size()) break;
    if (!DecodeStep(table, text[p.read], dst, p.written)) {
      p.full = true;
      break;
    }
    ++p.read;
  }
  return Terminate(text, p, dst);
}

std::size_t DecodeSingleByteScalar(const CodePageRecord& record, const ByteText& text,
                                   std::span<Utf16Unit> dst) {
  Progress p;
  while (p.read < text.size && p.written < dst.size()) {
    // b <= 0xFF, so the entry lies inside the 768-unit table.
    const Utf16Unit* entry = record.byteToWide + 3 * std::size_t{text[p.read]};
    const std::size_t units = 1u + (entry[1] != 0 ? 1u : 0u) + (entry[2] != 0 ? 1u : 0u);
    if (units > dst.size() - p.written) {
      p.full = true;
      break;
    }
    ++p.read;
    dst[p.written++] = entry[0] != 0 ? entry[0] : kQuestionMark;
    if (entry[1] != 0) dst[p.written++] = entry[1];
    if (entry[2] != 0) dst[p.written++] = entry[2];
  }
  return Terminate(text, p, dst);
}

// Encoding ------------------------------------------------------------------------------------

namespace {

constexpr std::array<std::uint8_t, 0x80> kAsciiBytes = [] {
  std::array<std::uint8_t, 0x80> bytes{};
  for (std::size_t b = 0; b < bytes.size(); ++b)
    bytes[b] = static_cast<std::uint8_t>(b);
  return bytes;
}();

constexpr std::size_t kAsciiCheckPaysOff = 128;

// Whether U+0001-U+007F encode as the bytes of the same value in this page 0.
bool LowPageKeepsAscii(const std::uint8_t* lowPage) {
  return std::memcmp(lowPage + 1, kAsciiBytes.data() + 1, kAsciiBytes.size() - 1) == 0;
}

// Fast path: encodes whole chunks of eight units from the start of src while every unit of a
// chunk lies in page 0 and has a byte there, and returns how many units (= bytes) it took; n is
// at most the room left. A chunk of ASCII is narrowed without the page where the page keeps
// ASCII; a chunk holding any other unit (page 1, no byte, beyond both windows) stops it for the
// step. Chunks are decided one by one rather than by ASCII runs, because text that mixes ASCII
// with other letters breaks runs too often for a run to pay.
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

}  // namespace

std::uint32_t WideUnitToBytes(std::uint8_t* dst, Utf16Unit unit, std::uint32_t multiByte,
                              const CodePageRecord& record) {
  // The bisection, not an index: the reference loops built on this step are what the fast
  // loops and their indexes are checked against, so it must not lean on either.
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

std::size_t EncodeSingleByte(const CodePageRecord& record, const WideText& text,
                             std::span<std::uint8_t> dst) {
  Progress p;
  // The check reads 127 bytes of the page, more than a short text saves by it.
  const bool keepsAscii = text.size >= kAsciiCheckPaysOff && LowPageKeepsAscii(record.lowPage);
  while (p.read < text.size && p.written < dst.size()) {
    const std::size_t done = EncodeLowPageChunks(
        record.lowPage, keepsAscii, text.data + p.read,
        std::min(text.size - p.read, dst.size() - p.written), dst.data() + p.written);
    p.read += done;
    p.written += done;
    if (p.read == text.size || p.written == dst.size()) break;
    p.written += WideUnitToBytes(dst.data() + p.written, text[p.read++], 0, record);
  }
  return Terminate(text, p, dst);
}

std::size_t EncodeSingleByteScalar(const CodePageRecord& record, const WideText& text,
                                   std::span<std::uint8_t> dst) {
  Progress p;
  while (p.read < text.size && p.written < dst.size())
    p.written += WideUnitToBytes(dst.data() + p.written, text[p.read++], 0, record);
  return Terminate(text, p, dst);
}

}  // namespace corvane
