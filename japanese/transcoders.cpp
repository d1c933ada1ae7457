#include "japanese/transcoders.h"

namespace corvane {
namespace {

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kEnterTwoByte[] = {kEsc, 0x24, 0x42};  // ESC $ B
constexpr std::uint8_t kEnterOneByte[] = {kEsc, 0x28, 0x42};  // ESC ( B

// The input as the four transcoders read it: one position and one end test for both modes.
class Input {
 public:
  Input(const std::uint8_t* bytes, std::int32_t length)
      : bytes_(bytes), length_(length < 0 ? 0 : length), nul_(length == -1) {}

  bool EndsAt(std::int32_t i) const { return nul_ ? bytes_[i] == 0 : i >= length_; }
  bool AtEnd() const { return EndsAt(pos); }
  std::uint8_t At(std::int32_t i) const { return bytes_[i]; }
  // A character cut off by the end: in nul mode park on the 0 byte at i, so the terminator rule
  // sees that the whole input was read.
  void CutOffAt(std::int32_t i) { pos = i; }
  bool StopsAtTerminator() const { return nul_ && bytes_[pos] == 0; }

  std::int32_t pos = 0;

 private:
  const std::uint8_t* bytes_;
  std::int32_t length_;
  bool nul_;
};

class Output {
 public:
  Output(std::uint8_t* bytes, std::int32_t size)
      : bytes_(bytes), size_(size), limit_(size > 0 ? size - 1 : 0) {}

  bool Full() const { return written_ >= limit_; }
  bool Fits(std::int32_t n) const { return written_ + n <= limit_; }
  void Put(std::uint8_t b) { bytes_[written_++] = b; }
  template <std::size_t N>
  void Put(const std::uint8_t (&seq)[N]) {
    for (std::uint8_t b : seq) Put(b);
  }

  std::int32_t Finish(const Input& in) {
    // written_ <= size_ - 1 here whenever size_ > 0, so the terminator always has its byte.
    if (in.StopsAtTerminator() && written_ < size_) bytes_[written_++] = 0;
    return written_;
  }

 private:
  std::uint8_t* bytes_;
  std::int32_t size_;
  std::int32_t limit_;
  std::int32_t written_ = 0;
};

bool IsSjisLead(std::uint8_t b) { return IsDbcsLeadByte(b, 932) != 0; }
bool IsSjisTrail(std::uint8_t b) { return InRange(b, 0x40, 0xFC); }

}  // namespace

std::int32_t EucJpToSjis(const std::uint8_t* inBytes, std::int32_t inLen, std::uint8_t* outBytes,
                         std::int32_t outSize) {
  Input in(inBytes, inLen);
  Output out(outBytes, outSize);
  while (!in.AtEnd() && !out.Full()) {
    const std::uint8_t b = in.At(in.pos);
    if (InRange(b, 0xA1, 0xFE)) {
      if (in.EndsAt(in.pos + 1)) {
        in.CutOffAt(in.pos + 1);
        break;
      }
      if (!out.Fits(2)) break;
      const std::uint8_t c = in.At(in.pos + 1);
      if (InRange(c, 0xA1, 0xFE)) {
        std::uint8_t lead = 0;
        std::uint8_t trail = 0;
        JisPairToSjis(static_cast<std::uint8_t>(b - 0x80), static_cast<std::uint8_t>(c - 0x80),
                      lead, trail);
        out.Put(lead);
        out.Put(trail);
      } else {
        out.Put(b);
        out.Put(c);
      }
      in.pos += 2;
    } else if (b == 0x8E) {  // half-width katakana: the byte after the prefix stands alone
      if (in.EndsAt(in.pos + 1)) {
        in.CutOffAt(in.pos + 1);
        break;
      }
      out.Put(in.At(in.pos + 1));
      in.pos += 2;
    } else if (b == 0x8F) {  // JIS X 0212 has no Shift_JIS form: drop all three bytes
      if (in.EndsAt(in.pos + 1)) {
        in.CutOffAt(in.pos + 1);
        break;
      }
      if (in.EndsAt(in.pos + 2)) {
        in.CutOffAt(in.pos + 2);
        break;
      }
      in.pos += 3;
    } else {
      out.Put(b);
      in.pos += 1;
    }
  }
  return out.Finish(in);
}

std::int32_t Iso2022JpToSjis(const std::uint8_t* inBytes, std::int32_t inLen,
                             std::uint8_t* outBytes, std::int32_t outSize, JisShiftState* state) {
  Input in(inBytes, inLen);
  Output out(outBytes, outSize);
  JisShiftState mode = (state != nullptr && *state == kJisTwoByte) ? kJisTwoByte : kJisSingleByte;
  while (!in.AtEnd() && !out.Full()) {
    const std::uint8_t b = in.At(in.pos);
    if (b == kEsc) {
      if (in.EndsAt(in.pos + 1)) {
        in.CutOffAt(in.pos + 1);
        break;
      }
      const int more = ParseJisEscape(in.At(in.pos + 1), mode);
      // The mode the sequence selects stays in force even when its last byte is cut off.
      if (more == 1 && in.EndsAt(in.pos + 2)) {
        in.CutOffAt(in.pos + 2);
        break;
      }
      in.pos += 2 + more;
    } else if (b == 0x0A || b == 0x0D) {
      mode = kJisSingleByte;
      out.Put(b);
      in.pos += 1;
    } else if (mode == kJisTwoByte) {
      if (in.EndsAt(in.pos + 1)) {
        in.CutOffAt(in.pos + 1);
        break;
      }
      if (!out.Fits(2)) break;
      std::uint8_t lead = 0;
      std::uint8_t trail = 0;
      JisPairToSjis(b, in.At(in.pos + 1), lead, trail);
      out.Put(lead);
      out.Put(trail);
      in.pos += 2;
    } else {
      out.Put(b);
      in.pos += 1;
    }
  }
  if (state != nullptr) *state = mode;
  return out.Finish(in);
}

std::int32_t SjisToEucJp(const std::uint8_t* inBytes, std::int32_t inLen, std::uint8_t* outBytes,
                         std::int32_t outSize) {
  Input in(inBytes, inLen);
  Output out(outBytes, outSize);
  while (!in.AtEnd() && !out.Full()) {
    const std::uint8_t b = in.At(in.pos);
    if (!IsSjisLead(b)) {
      out.Put(b);
      in.pos += 1;
      continue;
    }
    if (in.EndsAt(in.pos + 1)) {
      in.CutOffAt(in.pos + 1);
      break;
    }
    if (!out.Fits(2)) break;
    const std::uint8_t c = in.At(in.pos + 1);
    if (IsSjisTrail(c)) {
      std::uint8_t row = 0;
      std::uint8_t cell = 0;
      SjisPairToJis(b, c, row, cell);
      out.Put(static_cast<std::uint8_t>(row + 0x80));
      out.Put(static_cast<std::uint8_t>(cell + 0x80));
    } else {
      out.Put(b);
      out.Put(c);
    }
    in.pos += 2;
  }
  return out.Finish(in);
}

std::int32_t SjisToIso2022Jp(const std::uint8_t* inBytes, std::int32_t inLen,
                             std::uint8_t* outBytes, std::int32_t outSize, JisShiftState* state) {
  Input in(inBytes, inLen);
  Output out(outBytes, outSize);
  JisShiftState mode = kJisSingleByte;
  while (!in.AtEnd() && !out.Full()) {
    const std::uint8_t b = in.At(in.pos);
    if (!IsSjisLead(b)) {
      const bool leaveTwoByte = mode == kJisTwoByte;
      if (!out.Fits(leaveTwoByte ? 4 : 1)) break;
      if (leaveTwoByte) {
        out.Put(kEnterOneByte);
        mode = kJisSingleByte;
      }
      out.Put(b);
      in.pos += 1;
      continue;
    }
    if (in.EndsAt(in.pos + 1)) {
      in.CutOffAt(in.pos + 1);
      break;
    }
    const std::uint8_t c = in.At(in.pos + 1);
    if (IsSjisTrail(c)) {
      const bool enterTwoByte = mode == kJisSingleByte;
      if (!out.Fits(enterTwoByte ? 5 : 2)) break;
      if (enterTwoByte) {
        out.Put(kEnterTwoByte);
        mode = kJisTwoByte;
      }
      std::uint8_t row = 0;
      std::uint8_t cell = 0;
      SjisPairToJis(b, c, row, cell);
      out.Put(row);
      out.Put(cell);
    } else {
      // Not a valid pair: both bytes go out as they are and the mode stays.
      if (!out.Fits(2)) break;
      out.Put(b);
      out.Put(c);
    }
    in.pos += 2;
  }
  if (state != nullptr) *state = mode;
  return out.Finish(in);
}

}  // namespace corvane
