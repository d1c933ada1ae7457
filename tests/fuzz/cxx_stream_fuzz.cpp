// The C++ interface's streaming Decoder and Encoder against its one-shot decode and encode: for
// any encoding, error policy and byte order mark option, text fed in pieces of any size (empty
// ones too, characters and surrogate pairs cut anywhere) gives the same result and the same
// Report as the whole text in one call; when strict, both throw the same error at the same offset
// or neither throws. Every output buffer is exactly as large as the interface asks, so that
// AddressSanitizer sees a write one past it.
//
// Input, read from the end (FuzzedDataProvider): the encoding (a code page number as it is, so
// that seeds can name one; any other value picks one of Encoding::all()), the policy, the bom
// option, the direction, the cut pattern, which pieces use the appending overloads; then the text
// (bytes to decode, or UTF-16 units, two bytes each, low byte first, to encode).
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "corvane.hpp"
#include "fuzz_check.h"

namespace {

constexpr std::size_t kMaxBytes = 4096;

corvane::Encoding PickEncoding(FuzzedDataProvider& in) {
  static const std::vector<corvane::Encoding> every = corvane::Encoding::all();
  const auto value = in.ConsumeIntegral<std::uint32_t>();
  for (const corvane::Encoding& e : every)
    if (e.code_page() == value && value != 0) return e;
  return every[value % every.size()];
}

// Sixteen piece sizes, one per nibble of the pattern, used in turn. Mostly the few bytes a
// character spans, so that cuts land inside characters, escape sequences and byte order marks.
class Cuts {
 public:
  explicit Cuts(std::uint64_t pattern) : pattern_(pattern) {}
  std::size_t Next(std::size_t left) {
    static constexpr std::size_t kSizes[16] = {0, 1, 1, 1, 2, 2, 3, 3, 4, 5, 6, 7, 9, 16, 31, 300};
    // A pattern of empty pieces alone would never end.
    const std::size_t size =
        ++count_ > 64 + 2 * kMaxBytes ? left : kSizes[(pattern_ >> (4 * (count_ % 16))) & 15];
    return std::min(size, left);
  }
  std::size_t count() const { return count_; }

 private:
  std::uint64_t pattern_;
  std::size_t count_ = 0;
};

// What a conversion gave: its output and Report, or the error it threw.
template <typename Text>
struct Outcome {
  Text text;
  corvane::Report report;
  std::optional<corvane::Error::Kind> error;
  std::size_t offset = 0;
};

template <typename Text>
void CheckSame(const Outcome<Text>& whole, const Outcome<Text>& pieces, corvane::OnError policy) {
  FUZZ_CHECK(whole.error == pieces.error);
  if (whole.error) {
    FUZZ_CHECK(policy == corvane::OnError::strict);
    FUZZ_CHECK(whole.offset == pieces.offset);
    return;
  }
  FUZZ_CHECK(whole.text == pieces.text);
  FUZZ_CHECK(whole.report.replaced == pieces.report.replaced);
  FUZZ_CHECK(whole.report.first == pieces.report.first);
  if (policy == corvane::OnError::strict) FUZZ_CHECK(whole.report.replaced == 0);
  FUZZ_CHECK(whole.report.first.has_value() == (whole.report.replaced != 0));
}

void CheckDecoding(const std::vector<std::uint8_t>& bytes, corvane::Encoding encoding,
                   corvane::Options options, Cuts cuts, std::uint16_t appending) {
  Outcome<std::u16string> whole;
  try {
    whole.text = corvane::decode(std::span(bytes), encoding, options, &whole.report);
  } catch (const corvane::Error& e) {
    whole.error = e.kind();
    whole.offset = e.offset();
  }

  Outcome<std::u16string> pieces;
  corvane::Decoder decoder(encoding, options);
  try {
    std::size_t at = 0;
    while (at < bytes.size()) {
      const std::size_t n = cuts.Next(bytes.size() - at);
      const std::string_view piece(reinterpret_cast<const char*>(bytes.data()) + at, n);
      if ((appending >> (cuts.count() % 16)) & 1) {
        decoder.decode(piece, pieces.text);
      } else {
        const std::size_t room = corvane::Decoder::max_units(n);
        const auto out = std::make_unique<char16_t[]>(room);
        const std::size_t written = decoder.decode(piece, std::span(out.get(), room));
        FUZZ_CHECK(written <= room);
        pieces.text.append(out.get(), written);
      }
      at += n;
      // Only a character cut off at the end waits (four bytes while a mark is undecided).
      FUZZ_CHECK(decoder.position() <= at && at - decoder.position() <= 4);
    }
    const std::size_t room = corvane::Decoder::max_units(0);
    const auto out = std::make_unique<char16_t[]>(room);
    pieces.text.append(out.get(), decoder.finish(std::span(out.get(), room)));
    FUZZ_CHECK(decoder.position() == bytes.size());
    pieces.report = decoder.report();
  } catch (const corvane::Error& e) {
    pieces.error = e.kind();
    pieces.offset = e.offset();
  }
  CheckSame(whole, pieces, options.on_error);
}

void CheckEncoding(const std::vector<std::uint8_t>& bytes, corvane::Encoding encoding,
                   corvane::Options options, Cuts cuts, std::uint16_t appending) {
  std::u16string units;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
    units.push_back(static_cast<char16_t>(bytes[i] | bytes[i + 1] << 8));

  Outcome<std::string> whole;
  try {
    whole.text = corvane::encode(units, encoding, options, &whole.report);
  } catch (const corvane::Error& e) {
    whole.error = e.kind();
    whole.offset = e.offset();
  }

  Outcome<std::string> pieces;
  corvane::Encoder encoder(encoding, options);
  try {
    std::size_t at = 0;
    while (at < units.size()) {
      const std::size_t n = cuts.Next(units.size() - at);
      const std::u16string_view piece = std::u16string_view(units).substr(at, n);
      if ((appending >> (cuts.count() % 16)) & 1) {
        encoder.encode(piece, pieces.text);
      } else {
        const std::size_t room = encoder.max_bytes(n);
        const auto out = std::make_unique<char[]>(room);
        const std::size_t written = encoder.encode(piece, std::span(out.get(), room));
        FUZZ_CHECK(written <= room);
        pieces.text.append(out.get(), written);
      }
      at += n;
      // Only a high surrogate at the end of the piece waits.
      FUZZ_CHECK(encoder.position() <= at && at - encoder.position() <= 1);
    }
    const std::size_t room = encoder.max_bytes(0);
    const auto out = std::make_unique<char[]>(room);
    pieces.text.append(out.get(), encoder.finish(std::span(out.get(), room)));
    FUZZ_CHECK(encoder.position() == units.size());
    pieces.report = encoder.report();
  } catch (const corvane::Error& e) {
    pieces.error = e.kind();
    pieces.offset = e.offset();
  }
  CheckSame(whole, pieces, options.on_error);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const corvane::Encoding encoding = PickEncoding(in);
  corvane::Options options;
  options.on_error = in.PickValueInArray(
      {corvane::OnError::replace, corvane::OnError::skip, corvane::OnError::strict});
  options.bom = in.ConsumeBool();
  const bool decoding = in.ConsumeBool();
  const Cuts cuts(in.ConsumeIntegral<std::uint64_t>());
  const auto appending = in.ConsumeIntegral<std::uint16_t>();
  std::vector<std::uint8_t> text = in.ConsumeRemainingBytes<std::uint8_t>();
  if (text.size() > kMaxBytes) text.resize(kMaxBytes);

  if (decoding) {
    CheckDecoding(text, encoding, options, cuts, appending);
  } else {
    CheckEncoding(text, encoding, options, cuts, appending);
  }
  return 0;
}
