#include "japanese/transcoders.h"

#include <cstddef>

namespace corvane {
namespace {

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kEnterTwoByte[] = {kEsc, 0x24, 0x42};  // ESC $ B
constexpr std::uint8_t kEnterOneByte[] = {kEsc, 0x28, 0x42};  // ESC ( B

// The input as the four transcoders read it: one position and the end of the text.
class Input {
 public:
  explicit Input(ByteText text) : text_(text) {}

  bool EndsAt(std::size_t i) const { return i >= text_.size; }
  bool AtEnd() const { return EndsAt(pos); }
  std::uint8_t At(std::size_t i) const { return text_[i]; }
  // A character cut off by the end: stand at the end, so the terminator rule sees that the whole
  // input was read.
  void CutOff() { pos = text_.size; }
  bool StopsAtTerminator() const { return text_.terminated && pos == text_.size; }
  // The bytes not read yet, for the fast runs.
  std::size_t Rest() const { return text_.size - pos; }
  const std::uint8_t* Here() const { return text_.data + pos; }

  std::size_t pos = 0;

 private:
  ByteText text_;
};

class Output {
 public:
  explicit Output(std::span<std::uint8_t> bytes)
      : bytes_(bytes.data()), size_(bytes.size()), limit_(bytes.empty() ? 0 : bytes.size() - 1) {}

  bool Full() const { return written_ >= limit_; }
  bool Fits(std::size_t n) const { return limit_ - written_ >= n; }
  void Put(std::uint8_t b) { bytes_[written_++] = b; }
  template <std::size_t N>
  void Put(const std::uint8_t (&seq)[N]) {
    for (std::uint8_t b : seq)
      Put(b);
  }

  // Room that stays enough for `inputBytes` more input bytes, each writing at most one byte.
  bool NeverFillsFor(std::size_t inputBytes) const { return limit_ - written_ >= inputBytes; }
  std::uint8_t* Here() { return bytes_ + written_; }
  void Advance(std::size_t n) { written_ += n; }

  std::size_t Finish(const Input& in) {
    // written_ <= size_ - 1 here whenever size_ > 0, so the terminator always has its byte.
    if (in.StopsAtTerminator() && written_ < size_) bytes_[written_++] = 0;
    return written_;
  }

 private:
  std::uint8_t* bytes_;
  std::size_t size_;
  std::size_t limit_;
  std::size_t written_ = 0;
};

bool IsSjisLead(std::uint8_t b) {
  return IsDbcsLeadByte(b, 932) != 0;
}
bool IsSjisTrail(std::uint8_t b) {
  return InRange(b, 0x40, 0xFC);
}

// The fast runs below convert the ordinary bulk of counted input, one well-predicted branch per
// character and none of the character loop's end and room tests. They stop at the first byte
// that needs a decision (escape, line end, prefix, lone lead) and one byte before the end,
// leaving all of that to the loop that calls them. The caller makes sure the output cannot fill
// up during a run. Each returns the input bytes it consumed and moves `out` past what it wrote.

// EUC-JP pairs and single bytes below 0x80.
std::size_t EucJpToSjisRun(const std::uint8_t* in, std::size_t n, std::uint8_t*& out) {
  std::size_t i = 0;
  std::uint8_t* o = out;
  while (i + 1 < n) {
    const std::uint8_t b = in[i];
    if (b < 0x80) {
      *o++ = b;
      i += 1;
      continue;
    }
    const std::uint8_t c = in[i + 1];
    if (!InRange(b, 0xA1, 0xFE) || !InRange(c, 0xA1, 0xFE)) break;  // the loop decides
    JisPairToSjis(static_cast<std::uint8_t>(b - 0x80), static_cast<std::uint8_t>(c - 0x80), o[0],
                  o[1]);
    o += 2;
    i += 2;
  }
  out = o;
  return i;
}

// ISO-2022-JP inside one mode: pairs in two-byte mode, bytes in single-byte mode.
std::size_t Iso2022JpToSjisRun(const std::uint8_t* in, std::size_t n, bool twoByte,
                               std::uint8_t*& out) {
  std::size_t i = 0;
  std::uint8_t* o = out;
  while (i + 1 < n) {
    const std::uint8_t b = in[i];
    if (b == kEsc || b == 0x0A || b == 0x0D) break;
    if (twoByte) {
      JisPairToSjis(b, in[i + 1], o[0], o[1]);
      o += 2;
      i += 2;
    } else {
      *o++ = b;
      i += 1;
    }
  }
  out = o;
  return i;
}

// Shift_JIS pairs with a valid trail byte, and every byte that is no lead byte.
std::size_t SjisToEucJpRun(const std::uint8_t* in, std::size_t n, std::uint8_t*& out) {
  std::size_t i = 0;
  std::uint8_t* o = out;
  // A branch per character: predicted, it lets the next character's loads start early.
  while (i + 1 < n) {
    const std::uint8_t b = in[i];
    if (!IsSjisLead(b)) {
      *o++ = b;
      i += 1;
      continue;
    }
    const std::uint8_t c = in[i + 1];
    if (!IsSjisTrail(c)) break;  // a lead byte without a valid trail
    std::uint8_t row = 0;
    std::uint8_t cell = 0;
    SjisPairToJis(b, c, row, cell);
    o[0] = static_cast<std::uint8_t>(row + 0x80);
    o[1] = static_cast<std::uint8_t>(cell + 0x80);
    o += 2;
    i += 2;
  }
  out = o;
  return i;
}

// Runs the fast run at the input position when the output has room for the rest of the input at
// one byte each (none of the three grows the text), and moves both sides past what it converted.
// The ...Scalar transcoders (kFast false) never take it: they are what the runs are held to.
template <bool kFast, typename Run>
void RunFast(Input& in, Output& out, Run run) {
  if constexpr (!kFast) return;
  const std::size_t rest = in.Rest();
  if (rest < 2 || !out.NeverFillsFor(rest)) return;
  std::uint8_t* start = out.Here();
  std::uint8_t* end = start;
  in.pos += run(in.Here(), rest, end);
  out.Advance(static_cast<std::size_t>(end - start));
}

}  // namespace

template <bool kFast>
std::size_t EucJpToSjisWith(ByteText text, std::span<std::uint8_t> bytes) {
  Input in(text);
  Output out(bytes);
  while (!in.AtEnd() && !out.Full()) {
    RunFast<kFast>(in, out, EucJpToSjisRun);
    if (in.AtEnd()) break;
    const std::uint8_t b = in.At(in.pos);
    if (InRange(b, 0xA1, 0xFE)) {
      if (in.EndsAt(in.pos + 1)) {
        in.CutOff();
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
        in.CutOff();
        break;
      }
      out.Put(in.At(in.pos + 1));
      in.pos += 2;
    } else if (b == 0x8F) {  // JIS X 0212 has no Shift_JIS form: drop all three bytes
      if (in.EndsAt(in.pos + 1)) {
        in.CutOff();
        break;
      }
      if (in.EndsAt(in.pos + 2)) {
        in.CutOff();
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

template <bool kFast>
std::size_t Iso2022JpToSjisWith(ByteText text, std::span<std::uint8_t> bytes,
                                JisShiftState* state) {
  Input in(text);
  Output out(bytes);
  JisShiftState mode = (state != nullptr && *state == kJisTwoByte) ? kJisTwoByte : kJisSingleByte;
  while (!in.AtEnd() && !out.Full()) {
    RunFast<kFast>(
        in, out,
        [twoByte = mode == kJisTwoByte](const std::uint8_t* run, std::size_t n, std::uint8_t*& to) {
          return Iso2022JpToSjisRun(run, n, twoByte, to);
        });
    if (in.AtEnd()) break;
    const std::uint8_t b = in.At(in.pos);
    if (b == kEsc) {
      if (in.EndsAt(in.pos + 1)) {
        in.CutOff();
        break;
      }
      const auto more = static_cast<std::size_t>(ParseJisEscape(in.At(in.pos + 1), mode));
      // The mode the sequence selects stays in force even when its last byte is cut off.
      if (more == 1 && in.EndsAt(in.pos + 2)) {
        in.CutOff();
        break;
      }
      in.pos += 2 + more;
    } else if (b == 0x0A || b == 0x0D) {
      mode = kJisSingleByte;
      out.Put(b);
      in.pos += 1;
    } else if (mode == kJisTwoByte) {
      if (in.EndsAt(in.pos + 1)) {
        in.CutOff();
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

JisShiftState JisModeAfter(ByteText text, JisShiftState mode) {
  mode = mode == kJisTwoByte ? kJisTwoByte : kJisSingleByte;
  for (std::size_t i = 0; i < text.size;) {
    const std::uint8_t b = text[i];
    if (b == kEsc) {
      if (text.size - i < 2) break;
      // The mode a sequence selects stays in force even when its last byte is cut off.
      i += 2 + static_cast<std::size_t>(ParseJisEscape(text[i + 1], mode));
    } else if (b == 0x0A || b == 0x0D) {
      mode = kJisSingleByte;
      i += 1;
    } else {
      i += mode == kJisTwoByte ? 2 : 1;
    }
  }
  return mode;
}

template <bool kFast>
std::size_t SjisToEucJpWith(ByteText text, std::span<std::uint8_t> bytes) {
  Input in(text);
  Output out(bytes);
  while (!in.AtEnd() && !out.Full()) {
    RunFast<kFast>(in, out, SjisToEucJpRun);  // pairs stay pairs, single bytes stay single
    if (in.AtEnd()) break;
    const std::uint8_t b = in.At(in.pos);
    if (!IsSjisLead(b)) {
      out.Put(b);
      in.pos += 1;
      continue;
    }
    if (in.EndsAt(in.pos + 1)) {
      in.CutOff();
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

std::size_t SjisToIso2022Jp(ByteText text, std::span<std::uint8_t> bytes, JisShiftState* state) {
  Input in(text);
  Output out(bytes);
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
      in.CutOff();
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

std::size_t EucJpToSjis(ByteText in, std::span<std::uint8_t> out) {
  return EucJpToSjisWith<true>(in, out);
}
std::size_t EucJpToSjisScalar(ByteText in, std::span<std::uint8_t> out) {
  return EucJpToSjisWith<false>(in, out);
}
std::size_t Iso2022JpToSjis(ByteText in, std::span<std::uint8_t> out, JisShiftState* state) {
  return Iso2022JpToSjisWith<true>(in, out, state);
}
std::size_t Iso2022JpToSjisScalar(ByteText in, std::span<std::uint8_t> out, JisShiftState* state) {
  return Iso2022JpToSjisWith<false>(in, out, state);
}
std::size_t SjisToEucJp(ByteText in, std::span<std::uint8_t> out) {
  return SjisToEucJpWith<true>(in, out);
}
std::size_t SjisToEucJpScalar(ByteText in, std::span<std::uint8_t> out) {
  return SjisToEucJpWith<false>(in, out);
}

}  // namespace corvane
