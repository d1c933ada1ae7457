#include "convert/japanese.h"

#include <cstring>

#include "convert/double_byte.h"
#include "convert/double_byte_blocks.h"
#include "convert/system_road.h"
#include "convert/temporary_buffer.h"
#include "japanese/transcoders.h"

namespace corvane {
namespace {

constexpr std::uint32_t kShiftJis = 932;

// The straight roads below give, for the ordinary bulk of the input, exactly the units that
// transcoding it to Shift_JIS and decoding that would give, without the intermediate text. Each
// stops at the first byte or unit that needs the transcoder's decision, at the last byte (or
// two) of the input, or when the destination is full, always on a character boundary of both
// roads, so the rest of the text can follow the long way from there.

// Counted EUC-JP: an ASCII byte or a well-formed pair. Every pair's Shift_JIS lead is a lead
// byte, and no single byte below 0x80 is, so each step is one whole character on both roads.
// The bulk goes by blocks; the rest a character at a time, with the pair's unit from the same
// index.
std::size_t DecodeEucJpRun(ByteText text, std::span<Utf16Unit> dst, std::size_t& written) {
  const DbcsDecodeIndex& index = EucJpDecodeIndex();
  const BlockProgress bulk = DecodeDoubleByteBlocks(index, PairRule::kBothLeadBytes, text.data,
                                                    text.size, dst.data(), dst.size());
  const std::uint8_t* const src = text.data;
  const std::size_t n = text.size;
  std::size_t i = bulk.read;
  std::size_t w = bulk.written;
  // A branch per character, not arithmetic: predicted branches let the next character's loads
  // start before this one is classified, which a data dependency would not.
  while (n - i >= 2 && w < dst.size()) {
    const unsigned b = src[i];
    if (b < 0x80) {
      // Below 0x80 no byte is a Shift_JIS lead and no key has a character: the byte passes
      // through, except 0, which has no character.
      dst[w++] = DecodeOneByte(index, static_cast<std::uint8_t>(b));
      i += 1;
      continue;
    }
    const unsigned c = src[i + 1];
    if (!InRange(b, 0xA1, 0xFE) || !InRange(c, 0xA1, 0xFE)) break;
    dst[w++] = DecodePair(index, b, c);
    i += 2;
  }
  written = w;
  return i;
}

// The same for ISO-2022-JP, with escape sequences and line ends read on the way and the mode
// carried in `mode`. A pair is EUC-JP's without the high bits; a single byte below 0x80 is no
// Shift_JIS lead byte, so again every step is one whole character on both roads. Blocks take the
// bulk; a character at a time takes what stops them (an escape sequence a block cuts off, for
// one), and the blocks go on after it.
std::size_t DecodeIso2022JpRun(ByteText text, std::span<Utf16Unit> dst, std::size_t& written,
                               JisShiftState& mode) {
  const DbcsDecodeIndex& index = EucJpDecodeIndex();
  const std::uint8_t* const src = text.data;
  const std::size_t n = text.size;
  std::size_t i = 0;
  std::size_t w = written;
  while (n - i >= 3 && w < dst.size()) {  // an escape sequence that starts here is whole
    if (BlockFits(n - i, dst.size() - w)) {
      const BlockProgress bulk = DecodeIso2022JpBlocks(EucJpDecodeIndex(), src + i, n - i,
                                                       dst.data() + w, dst.size() - w, mode);
      i += bulk.read;
      w += bulk.written;
      if (n - i < 3 || w == dst.size()) break;
    }
    const unsigned b = src[i];
    if (b == 0x1B) {
      i += 2 + static_cast<std::size_t>(ParseJisEscape(src[i + 1], mode));
    } else if (b == 0x0A || b == 0x0D) {
      mode = kJisSingleByte;
      dst[w++] = static_cast<Utf16Unit>(b);
      i += 1;
    } else if (mode == kJisTwoByte) {
      const unsigned c = src[i + 1];
      // Outside JIS X 0208's rows and cells the transcoder decides.
      if (!InRange(b, 0x21, 0x7E) || !InRange(c, 0x21, 0x7E)) break;
      dst[w++] = DecodePair(index, b | 0x80u, c | 0x80u);
      i += 2;
    } else {
      if (b >= 0x80) break;  // could be a Shift_JIS lead byte
      dst[w++] = DecodeOneByte(index, static_cast<std::uint8_t>(b));
      i += 1;
    }
  }
  written = w;
  return i;
}

// EUC-JP from UTF-16 through the 932 reverse index, two bytes of room a unit given. Stops before
// a unit whose one-byte result would be a Shift_JIS lead byte (the transcoder would pair it with
// the next character's byte), or whose pair the transcoder would not take as one.
std::size_t EncodeEucJpRun(const DbcsEncodeIndex& index, WideText text, std::uint8_t* dst,
                           std::size_t& written) {
  const DbcsEncodeIndex table = index;
  std::size_t i = 0;
  std::size_t w = written;
  for (; i < text.size; ++i) {
    const unsigned code = EncodeUnitBytes(table, text[i]);
    if (code > 0xFF) {
      const auto lead = static_cast<std::uint8_t>(code);
      const auto trail = static_cast<std::uint8_t>(code >> 8);
      if (!InRange(trail, 0x40, 0xFC)) break;
      std::uint8_t row = 0;
      std::uint8_t cell = 0;
      SjisPairToJis(lead, trail, row, cell);
      dst[w] = static_cast<std::uint8_t>(row + 0x80);
      dst[w + 1] = static_cast<std::uint8_t>(cell + 0x80);
      w += 2;
    } else {
      // A found one-byte code, or on a miss the unit's low byte, as the table road writes it.
      const auto byte = static_cast<std::uint8_t>(code);
      if (IsDbcsLeadByte(byte, kShiftJis) != 0) break;
      dst[w++] = byte;
    }
  }
  written = w;
  return i;
}

// The text transcoded to Shift_JIS, in a buffer of its own, with the 0 byte the transcoder writes
// after a terminated text; a null buffer when it could not be allocated.
struct PreparedText {
  TemporaryBuffer<std::uint8_t> buffer;
  std::size_t size = 0;
};

PreparedText PrepareMultiByteInput(const Road& road, ByteText text, JisShiftState& mode) {
  // Neither encoding grows into Shift_JIS; one byte more for the transcoder's terminator, and
  // one it keeps free.
  const std::size_t size = text.size + 2;
  PreparedText prepared{AllocateTemporary<std::uint8_t>(size), 0};
  if (prepared.buffer == nullptr) return prepared;
  const std::span<std::uint8_t> out(prepared.buffer.get(), size);
  prepared.size = road.kind == RoadKind::kIso2022Jp ? Iso2022JpToSjis(text, out, &mode)
                                                    : EucJpToSjis(text, out);
  return prepared;
}

// The long way: the text transcoded to Shift_JIS, then decoded as 932.
std::optional<std::size_t> DecodeThroughShiftJis(const Road& road, ByteText text,
                                                 std::span<Utf16Unit> dst, JisShiftState& mode) {
  const PreparedText prepared = PrepareMultiByteInput(road, text, mode);
  if (prepared.buffer == nullptr) return std::nullopt;
  const std::uint8_t* buffer = prepared.buffer.get();
  const std::size_t n = prepared.size;
  ByteText sjis{buffer, n, false};
  if (road.record == nullptr) {
    const std::int32_t units = DecodeWithSystem(kShiftJis, sjis, dst);
    return static_cast<std::size_t>(units > 0 ? units : 0);
  }
  // The 0 byte that the transcoder wrote for a terminated text ends the result with U+0000, as
  // every terminated text does, rather than with the U+003F of a 0 byte inside a count.
  if (text.terminated && n > 0 && buffer[n - 1] == 0) sjis = {buffer, n - 1, true};
  return DecodeDoubleByte(road, sjis, dst);
}

}  // namespace

std::optional<std::size_t> DecodeJapanese(const Road& road, ByteText text, std::span<Utf16Unit> dst,
                                          JisShiftState* state) {
  const bool jis = road.kind == RoadKind::kIso2022Jp;
  JisShiftState mode =
      jis && state != nullptr && *state == kJisTwoByte ? kJisTwoByte : kJisSingleByte;
  std::size_t written = 0;
  std::size_t taken = 0;
  // EUC-JP's index is derived from 932's tables: a road on them has both.
  if (road.indexes.forward != nullptr) {
    taken = jis ? DecodeIso2022JpRun(text, dst, written, mode) : DecodeEucJpRun(text, dst, written);
  }
  const ByteText rest = text.From(taken);
  if (written == dst.size()) {
    // Full: nothing more is stored, but the shift state reports the mode at the end of the whole
    // text, as when all of it is transcoded first.
    if (jis) mode = JisModeAfter(rest, mode);
  } else if (rest.size > 0 || rest.terminated) {
    const std::optional<std::size_t> more =
        DecodeThroughShiftJis(road, rest, dst.subspan(written), mode);
    if (!more) return std::nullopt;
    written += *more;
  }
  if (jis && state != nullptr) *state = mode;
  return written;
}

std::size_t PostConvertFromSjis(RoadKind to, ByteText sjis, std::span<std::uint8_t> dst) {
  if (to == RoadKind::kIso2022Jp) {
    JisShiftState finalMode = kJisSingleByte;  // the final mode is of no use to the caller
    return SjisToIso2022Jp(sjis, dst, &finalMode);
  }
  return SjisToEucJp(sjis, dst);
}

std::optional<std::size_t> EncodeJapanese(const Road& road, WideText text,
                                          std::span<std::uint8_t> dst, std::uint32_t flags,
                                          const char* defaultChar, std::int32_t* defaultUsed) {
  std::size_t written = 0;
  WideText rest = text;
  if (road.kind == RoadKind::kEucJp && road.indexes.reverse != nullptr) {
    // Counted, a terminator as one more 0 unit: with two bytes a unit room never runs out, and
    // the last byte stays free as the transcoder keeps it.
    const WideText whole{text.data, text.size + (text.terminated ? 1 : 0), false};
    if (dst.size() >= 2 * whole.size + 1) {
      const std::size_t taken = EncodeEucJpRun(*road.indexes.reverse, whole, dst.data(), written);
      if (taken == whole.size) return written;
      rest = whole.From(taken);
      dst = dst.subspan(written);
    }
  }
  const std::size_t count =
      road.record != nullptr
          ? EncodeDoubleByte(road, rest, dst)
          : static_cast<std::size_t>(std::max(
                EncodeWithSystem(kShiftJis, flags, rest, dst, defaultChar, defaultUsed), 0));
  const TemporaryBuffer<std::uint8_t> copy = AllocateTemporary<std::uint8_t>(count);
  if (copy == nullptr) return std::nullopt;
  std::memcpy(copy.get(), dst.data(), count);
  return written + PostConvertFromSjis(road.kind, {copy.get(), count, false}, dst);
}

}  // namespace corvane
