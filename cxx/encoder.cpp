// The streaming encoder: a high surrogate at the end of a piece waits for the next one, which may
// start with its low half; the byte order mark goes first; ISO-2022-JP's shift state lives in
// `mode_` from piece to piece and returns to ASCII when the stream ends.
#include "cxx/codec.h"

namespace corvane {
namespace {

using standard::Family;

constexpr bool IsUnicode(Family f) {
  return f <= Family::kUtf32;
}

}  // namespace

Encoder::Encoder(Encoding to, Options options) noexcept : to_(to), options_(options) {}

void Encoder::reset() noexcept {
  *this = Encoder(to_, options_);
}

std::size_t Encoder::max_bytes(std::size_t units) const noexcept {
  // A waiting high surrogate counts as one unit more; eight for a byte order mark and a final
  // escape sequence.
  return cxx::CodecOf(to_.record().family).maxBytesPerUnit * (units + 1) + 8;
}

std::size_t Encoder::Run(const char16_t* text, std::size_t size, bool last, char* out) {
  const standard::EncodingRecord& encoding = to_.record();
  const cxx::FamilyCodec& codec = cxx::CodecOf(encoding.family);
  char* o = out;
  if (!started_) {
    started_ = true;
    const bool mark = encoding.family == Family::kUtf16 || encoding.family == Family::kUtf32 ||
                      (options_.bom && IsUnicode(encoding.family));
    if (mark) {
      static constexpr char16_t kMark = 0xFEFF;
      cxx::Faults none(OnError::strict, report_, 0);  // U+FEFF is never a fault
      o += codec.encode(encoding, mode_, {&kMark, 1, false}, o, none).written;
    }
  }
  std::size_t used = 0;
  if (hasPending_) {
    const char16_t joined[2] = {pending_, size > 0 ? text[0] : char16_t{0}};
    const std::size_t count = size > 0 ? 2 : 1;
    cxx::Faults faults(options_.on_error, report_, consumed_);
    const cxx::Progress p =
        codec.encode(encoding, mode_, {joined, count, last && size <= 1}, o, faults);
    o += p.written;
    if (p.read == 0) return static_cast<std::size_t>(o - out);  // no piece after it yet
    hasPending_ = false;
    consumed_ += p.read;
    used = p.read - 1;
  }
  if (used < size || last) {
    cxx::Faults faults(options_.on_error, report_, consumed_);
    const cxx::Progress p =
        codec.encode(encoding, mode_, {text + used, size - used, last}, o, faults);
    o += p.written;
    consumed_ += p.read;
    used += p.read;
    if (used < size) {  // a high surrogate, the piece's last unit
      pending_ = text[used];
      hasPending_ = true;
    }
  }
  return static_cast<std::size_t>(o - out);
}

std::size_t Encoder::encode(std::u16string_view text, std::span<char> out) {
  if (out.size() < max_bytes(text.size())) throw std::length_error("corvane::Encoder: output");
  return Run(text.data(), text.size(), false, out.data());
}

void Encoder::encode(std::u16string_view text, std::string& out) {
  const std::size_t old = out.size();
  out.resize(old + max_bytes(text.size()));
  try {
    out.resize(old + Run(text.data(), text.size(), false, out.data() + old));
  } catch (...) {
    out.resize(old);
    throw;
  }
}

std::size_t Encoder::finish(std::span<char> out) {
  if (out.size() < max_bytes(0)) throw std::length_error("corvane::Encoder: output");
  return Run(nullptr, 0, true, out.data());
}

void Encoder::finish(std::string& out) {
  const std::size_t old = out.size();
  out.resize(old + max_bytes(0));
  try {
    out.resize(old + Run(nullptr, 0, true, out.data() + old));
  } catch (...) {
    out.resize(old);
    throw;
  }
}

}  // namespace corvane
