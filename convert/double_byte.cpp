// Table format and lookups: codepages/dbcs_lookup.h. The ...Scalar loops, one character at a
// time with every key searched by bisection, define what is correct; each fast loop sits below
// its fast path and must give the same elements and count and touch the same places. A road
// without direct indexes (a table the generator made none for) takes the ...Scalar loop.
#include "convert/double_byte.h"

#include <algorithm>
#include <cstring>

#include "codepages/dbcs_lookup.h"
#include "convert/double_byte_blocks.h"
#include "convert/single_byte.h"

namespace corvane {
namespace {

// Where a loop stopped.
struct Progress {
  std::size_t read = 0;     // elements of the text consumed
  std::size_t written = 0;  // elements stored
  bool full = false;        // stopped before a character that did not fit whole
};

template <typename T, typename Out>
std::size_t Terminate(const Text<T>& text, const Progress& p, std::span<Out> dst) {
  std::size_t written = p.written;
  if (text.terminated && !p.full && p.read == text.size && written < dst.size()) dst[written++] = 0;
  return written;
}

// Decoding ------------------------------------------------------------------------------------

// Decodes characters while two bytes and one place remain, so that a lead byte always has its
// trail: what the blocks leave near the end of the text or of the room. A branch per character.
void DecodeRun(const DbcsDecodeIndex& index, const LeadByteMap& leads, ByteText text,
               std::span<Utf16Unit> dst, Progress& p) {
  // Copied into locals: stores through dst would otherwise make the compiler reload them.
  const DbcsDecodeIndex table = index;
  const std::uint8_t* const isLead = leads.data();
  const std::uint8_t* const src = text.data;
  Utf16Unit* const out = dst.data();
  std::size_t read = p.read;
  std::size_t written = p.written;
  for (;;) {
    // Characters that surely fit and surely have their trail (one unit and at most two bytes
    // each), so that the inner loop tests nothing else.
    const std::size_t count = std::min(dst.size() - written, (text.size - read) / 2);
    if (count == 0) break;
    for (const std::size_t end = written + count; written < end; ++written) {
      const std::uint8_t b0 = src[read];
      if (isLead[b0] != 0) {
        out[written] = DecodePair(table, b0, src[read + 1]);
        read += 2;
      } else {
        out[written] = DecodeOneByte(table, b0);
        read += 1;
      }
    }
  }
  p.read = read;
  p.written = written;
}

}  // namespace

std::size_t DecodeDoubleByte(const Road& road, ByteText text, std::span<Utf16Unit> dst) {
  if (road.indexes.forward == nullptr) return DecodeDoubleByteScalar(road, text, dst);
  const DbcsDecodeIndex& index = *road.indexes.forward;
  const BlockProgress bulk =
      DecodeDoubleByteBlocks(index, PairRule::kAny, text.data, text.size, dst.data(), dst.size());
  Progress p{bulk.read, bulk.written};
  DecodeRun(index, *road.leads, text, dst, p);
  // The run leaves a full destination or at most one byte: a character of its own, or a lead
  // byte cut off by the end, which is dropped.
  if (p.read < text.size && p.written < dst.size()) {
    const std::uint8_t b = text[p.read];
    if ((*road.leads)[b] == 0) dst[p.written++] = DecodeOneByte(index, b);
    p.read = text.size;
  }
  return Terminate(text, p, dst);
}

std::size_t DecodeDoubleByteScalar(const Road& road, ByteText text, std::span<Utf16Unit> dst) {
  Progress p;
  while (p.read < text.size && p.written < dst.size()) {
    const std::uint8_t b0 = text[p.read++];
    std::uint16_t key = b0;
    if ((*road.leads)[b0] != 0) {
      if (p.read == text.size) break;  // a lead byte cut off by the end is dropped
      key = static_cast<std::uint16_t>(b0 << 8 | text[p.read++]);
    }
    p.written += DbcsCodeToWide(dst.data() + p.written, key, *road.record);
  }
  return Terminate(text, p, dst);
}

// Encoding ------------------------------------------------------------------------------------

namespace {

// Stores the two bytes of one unit at out and returns how many of them count (1 or 2): the
// index gives them in the order written, so no branch decides between one byte and two.
inline std::size_t StorePair(const DbcsEncodeIndex& table, Utf16Unit unit, std::uint8_t* out) {
  const std::uint32_t bytes = EncodeUnitBytes(table, unit);
  out[0] = static_cast<std::uint8_t>(bytes);
  out[1] = static_cast<std::uint8_t>(bytes >> 8);  // trail byte, or the spare
  // 1 more for a value above 0xFF, as a carry rather than a compare, which compilers turn into
  // a branch that ASCII and double-byte characters alternating defeats.
  return 1 + ((bytes + 0xFF00u) >> 16);
}

// Fast path: encodes units while another unit follows and three bytes of room remain. Each unit
// stores two bytes, the lead/trail pair or its one byte followed by a spare; the spare lies inside
// the room, and the next unit overwrites it: one follows, and with at least two bytes of room
// left the fast loop or the step writes a byte there. So no branch decides between one byte and
// two (ASCII and double-byte characters alternate too often to predict), and no byte past the
// final count is ever touched.
void EncodeRun(const DbcsEncodeIndex& index, WideText text, std::span<std::uint8_t> dst,
               Progress& p) {
  // Copied into locals: stores through dst may alias anything, and would otherwise make the
  // compiler reload them for every unit.
  const DbcsEncodeIndex table = index;
  const Utf16Unit* const src = text.data;
  std::uint8_t* const out = dst.data();
  const std::size_t n = text.size;
  const std::size_t cap = dst.size();
  std::size_t read = p.read;
  std::size_t written = p.written;
  while (n - read >= 2 && cap - written >= 3) {
    // Units that surely meet both conditions, at two bytes each at most, so that the inner loop
    // tests nothing else.
    const std::size_t count = std::min(n - read - 1, (cap - written - 3) / 2 + 1);
    for (const std::size_t end = read + count; read < end; ++read)
      written += StorePair(table, src[read], out + written);
  }
  p.read = read;
  p.written = written;
}

}  // namespace

std::size_t EncodeDoubleByte(const Road& road, WideText text, std::span<std::uint8_t> dst) {
  if (road.indexes.reverse == nullptr) return EncodeDoubleByteScalar(road, text, dst);
  const DbcsEncodeIndex& index = *road.indexes.reverse;
  Progress p;
  while (p.read < text.size && p.written < dst.size()) {
    EncodeRun(index, text, dst, p);
    if (p.read == text.size || p.written == dst.size()) break;
    // One unit by the rules, with the room it finds.
    std::uint8_t code[2];
    const Utf16Unit unit = text[p.read];
    const std::size_t bytes = WriteDbcsCode(code, EncodeUnitBytes(index, unit));
    if (bytes > dst.size() - p.written) {
      p.full = true;
      break;
    }
    std::memcpy(dst.data() + p.written, code, bytes);
    p.written += bytes;
    ++p.read;
  }
  return Terminate(text, p, dst);
}

std::size_t EncodeDoubleByteScalar(const Road& road, WideText text, std::span<std::uint8_t> dst) {
  Progress p;
  while (p.read < text.size && p.written < dst.size()) {
    std::uint8_t code[2];
    const std::size_t bytes = WideUnitToBytes(code, text[p.read], 1, *road.record);
    if (bytes > dst.size() - p.written) {
      p.full = true;
      break;
    }
    std::memcpy(dst.data() + p.written, code, bytes);
    p.written += bytes;
    ++p.read;
  }
  return Terminate(text, p, dst);
}

}  // namespace corvane
