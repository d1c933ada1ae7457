// The streaming decoder: what the families' piece functions need around them so that a stream
// cut anywhere decodes as the whole would. The bytes a piece ends with that start a character
// wait in `pending_` (three at most; four while a byte order mark is still undecided), and the
// next piece first completes them: the family decodes the waiting bytes with the first few new
// ones, then the rest of the new piece in one go.
#include <algorithm>
#include <cstring>

#include "cxx/codec.h"

namespace corvane {
namespace {

using cxx::CodecOf;
using standard::EncodingRecord;
using standard::Family;

// memcpy, which may not be handed a null pointer even for no bytes.
void Copy(std::uint8_t* to, const std::uint8_t* from, std::size_t n) {
  if (n != 0) std::memcpy(to, from, n);
}

constexpr bool IsUtf32(Family f) {
  return f == Family::kUtf32 || f == Family::kUtf32Le || f == Family::kUtf32Be;
}

struct Mark {
  std::uint8_t bytes[4];
  std::size_t size;
  const char* encoding;
};
constexpr Mark kMarks[] = {
    {{0xEF, 0xBB, 0xBF}, 3, "UTF-8"}, {{0xFE, 0xFF}, 2, "UTF-16BE"}, {{0xFF, 0xFE}, 2, "UTF-16LE"}};
constexpr Mark kUtf32Marks[] = {{{0x00, 0x00, 0xFE, 0xFF}, 4, "UTF-32BE"},
                                {{0xFF, 0xFE, 0x00, 0x00}, 4, "UTF-32LE"}};

}  // namespace

Decoder::Decoder(Encoding from, Options options) noexcept
    : from_(from), reading_(from), options_(options) {}

void Decoder::reset() noexcept {
  *this = Decoder(from_, options_);
}

// With Options::bom, at the start of the stream: gathers up to four bytes in pending_, and once
// they tell, takes a byte order mark away and reads on in the encoding it names. False while
// they cannot tell yet.
bool Decoder::TakeByteOrderMark(const std::uint8_t* bytes, std::size_t size, bool last,
                                std::size_t& used) {
  const std::size_t take = std::min<std::size_t>(size, 4 - pendingCount_);
  Copy(pending_ + pendingCount_, bytes, take);
  pendingCount_ = static_cast<std::uint8_t>(pendingCount_ + take);
  used = take;
  const std::span<const Mark> marks =
      IsUtf32(from_.record().family) ? std::span<const Mark>(kUtf32Marks) : kMarks;
  for (const Mark& mark : marks) {
    const std::size_t common = std::min<std::size_t>(mark.size, pendingCount_);
    if (std::memcmp(pending_, mark.bytes, common) != 0) continue;
    if (common < mark.size) {
      if (!last) return false;  // a mark's first bytes: the next piece tells
      continue;
    }
    reading_ = Encoding(mark.encoding);
    std::memmove(pending_, pending_ + mark.size, pendingCount_ - mark.size);
    pendingCount_ = static_cast<std::uint8_t>(pendingCount_ - mark.size);
    consumed_ += mark.size;
    break;
  }
  started_ = true;
  return true;
}

std::size_t Decoder::Run(const std::uint8_t* bytes, std::size_t size, bool last, char16_t* out) {
  char16_t* o = out;
  std::size_t used = 0;
  if (!started_) {
    if (options_.bom && !TakeByteOrderMark(bytes, size, last, used)) return 0;
    started_ = true;
  }
  const cxx::FamilyCodec& reader = CodecOf(reading_.record().family);
  // The waiting bytes and the first new ones, until the waiting ones are decoded.
  while (pendingCount_ > 0) {
    std::uint8_t joined[sizeof pending_ + 8];
    const std::size_t take = std::min<std::size_t>(size - used, 8);
    Copy(joined, pending_, pendingCount_);
    Copy(joined + pendingCount_, bytes + used, take);
    const bool joinedLast = last && used + take == size;
    cxx::Faults faults(options_.on_error, report_, consumed_);
    const cxx::Progress p = reader.decode(reading_.record(), mode_,
                                          {joined, pendingCount_ + take, joinedLast}, o, faults);
    o += p.written;
    consumed_ += p.read;
    if (p.read >= pendingCount_) {
      used += p.read - pendingCount_;
      pendingCount_ = 0;
    } else if (p.read > 0) {
      std::memmove(pending_, pending_ + p.read, pendingCount_ - p.read);
      pendingCount_ = static_cast<std::uint8_t>(pendingCount_ - p.read);
    } else {
      // Still cut off, so the piece has fewer new bytes than a character needs: they wait too.
      Copy(pending_ + pendingCount_, bytes + used, take);
      pendingCount_ = static_cast<std::uint8_t>(pendingCount_ + take);
      return static_cast<std::size_t>(o - out);
    }
  }
  if (used < size || last) {
    cxx::Faults faults(options_.on_error, report_, consumed_);
    const cxx::Progress p =
        reader.decode(reading_.record(), mode_, {bytes + used, size - used, last}, o, faults);
    o += p.written;
    consumed_ += p.read;
    used += p.read;
    // A family leaves at most a character's first bytes; anything more is a fault of ours, which
    // must not become a write past pending_.
    if (size - used > sizeof pending_) throw std::logic_error("corvane::Decoder: left too much");
    Copy(pending_, bytes + used, size - used);
    pendingCount_ = static_cast<std::uint8_t>(size - used);
  }
  return static_cast<std::size_t>(o - out);
}

std::size_t Decoder::decode(std::span<const std::uint8_t> bytes, std::span<char16_t> out) {
  if (out.size() < max_units(bytes.size())) throw std::length_error("corvane::Decoder: output");
  return Run(bytes.data(), bytes.size(), false, out.data());
}

std::size_t Decoder::decode(std::string_view bytes, std::span<char16_t> out) {
  return decode(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()), out);
}

void Decoder::decode(std::string_view bytes, std::u16string& out) {
  const std::size_t old = out.size();
  out.resize(old + max_units(bytes.size()));
  try {
    const std::size_t written = Run(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                    bytes.size(), false, out.data() + old);
    out.resize(old + written);
  } catch (...) {
    out.resize(old);
    throw;
  }
}

std::size_t Decoder::finish(std::span<char16_t> out) {
  if (out.size() < max_units(0)) throw std::length_error("corvane::Decoder: output");
  return Run(nullptr, 0, true, out.data());
}

void Decoder::finish(std::u16string& out) {
  char16_t rest[max_units(0)];
  const std::size_t written = Run(nullptr, 0, true, rest);
  out.append(rest, written);
}

}  // namespace corvane
