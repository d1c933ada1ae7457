// The corvane tool's streaming: random text fed through its decoder in random chunks (down to one
// byte), with a hold limit small enough that short texts reach every rule for where a piece may
// end, must give what one library call over the whole text gives; the same text read as UTF-16
// and fed through its encoder in random pieces must give one call's bytes (ISO-2022-JP, which the
// encoder may close and reopen between pieces: the same text back).
#include <iterator>
#include <random>
#include <span>

#include "corvane.h"
#include "fuzz_support.h"
#include "stream_decoder.h"
#include "stream_encoder.h"

namespace {

using corvane_tool::Encoding;
using Units = std::vector<std::uint16_t>;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kUtf8 = 65001;
constexpr std::uint32_t kEucKr = 51949;
constexpr std::uint32_t kGb18030 = 54936;

// Every code page the tool can be asked to stream: the fuzzers' list (less 2023, which the tool
// detects first and then streams as the result) and the system's multi-byte, UTF-16 and UTF-32
// code pages. A code page of the list is taken as it is (so that seeds can name one), any other
// value picks one.
std::uint32_t PickStreamedCodePage(FuzzedDataProvider& in) {
  static const std::vector<std::uint32_t> pages = [] {
    std::vector<std::uint32_t> v = corvane::fuzz::CodePages();
    std::erase(v, 2023u);
    v.insert(v.end(), {1201u, 12000u, 12001u, kEucKr, kGb18030});
    return v;
  }();
  const auto value = in.ConsumeIntegral<std::uint32_t>();
  return std::find(pages.begin(), pages.end(), value) != pages.end() ? value
                                                                     : pages[value % pages.size()];
}

// ISO-2022-JP that the tool's encoder cut inside a two-byte run closes the run and opens it again
// with the next piece, and ends in single-byte mode where one call may end in two-byte mode: the
// bytes are one call's once those are gone.
Bytes WithoutReopenings(Bytes bytes) {
  constexpr std::uint8_t kReopening[] = {0x1B, '(', 'B', 0x1B, '$', 'B'};
  for (auto at = bytes.begin(); (at = std::search(at, bytes.end(), std::begin(kReopening),
                                                  std::end(kReopening))) != bytes.end();)
    at = bytes.erase(at, at + std::ssize(kReopening));
  if (bytes.size() >= 3 && std::equal(bytes.end() - 3, bytes.end(), kReopening))
    bytes.resize(bytes.size() - 3);
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::uint32_t cp = PickStreamedCodePage(in);
  // Malformed EUC-KR and GB18030, which only the system converts, may be read otherwise by the
  // system than by the tool's cut past its hold limit (stream_decoder.h), so that cut is left
  // to real sizes there.
  const std::size_t smallLimit = 1 + in.ConsumeIntegral<std::uint8_t>() % 64;
  const std::size_t holdLimit =
      cp == kGb18030 || cp == kEucKr ? corvane_tool::StreamDecoder::kDefaultHoldLimit : smallLimit;
  const std::uint32_t seed = in.ConsumeIntegral<std::uint32_t>();
  const Bytes text = in.ConsumeRemainingBytes<std::uint8_t>();
  if (!corvane_tool::CanDecode(cp)) return 0;
  std::minstd_rand random(seed);
  // Hands rest to feed in chunks of 1 to largest (at most 16) elements.
  const auto inChunks = [&random, largest = 1 + seed % 16]<typename T>(std::span<const T> rest,
                                                                       auto feed) {
    while (!rest.empty()) {
      const std::size_t take = std::min<std::size_t>(rest.size(), 1 + random() % largest);
      feed(rest.first(take));
      rest = rest.subspan(take);
    }
  };
  const Encoding encoding{Encoding::Kind::kCodePage, cp, ""};

  corvane_tool::StreamDecoder decoder(encoding, holdLimit);
  Units decoded;
  bool ok = true;
  inChunks(std::span<const std::uint8_t>(text), [&](std::span<const std::uint8_t> chunk) {
    decoder.Feed(chunk);
    ok = ok && decoder.Decode(false, decoded);
  });
  ok = ok && decoder.Decode(true, decoded);
  Units whole(3 * text.size() + 8);
  std::int32_t consumed = -1;
  std::uint32_t state = 1;
  const std::int32_t n = CV_MultiByteToWideChar(
      cp, 0, text.data(), static_cast<std::int32_t>(text.size()), whole.data(),
      static_cast<std::int32_t>(whole.size()), cp == kUtf8 ? &consumed : nullptr, &state);
  whole.resize(static_cast<std::size_t>(std::max(cp == kUtf8 ? n - 1 : n, 0)));  // UTF-8's end
  // Only invalid UTF-8 stops the tool, where one call stops too; what came before is the same.
  FUZZ_CHECK(ok ? decoded == whole
                : cp == kUtf8 && consumed < static_cast<std::int32_t>(text.size()) &&
                      decoded.size() <= whole.size() &&
                      std::equal(decoded.begin(), decoded.end(), whole.begin()));

  // The same bytes as UTF-16 units, low byte first, through the encoder in pieces.
  if (!corvane_tool::CanEncode(cp)) return 0;
  Units units(text.size() / 2);
  for (std::size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<std::uint16_t>(text[2 * i] | text[2 * i + 1] << 8);
  corvane_tool::StreamEncoder encoder(encoding, smallLimit);
  Units pending;
  Bytes encoded;
  const auto append = [&encoded](std::span<const std::uint8_t> bytes) {
    encoded.insert(encoded.end(), bytes.begin(), bytes.end());
  };
  inChunks(std::span<const std::uint16_t>(units), [&](std::span<const std::uint16_t> piece) {
    pending.insert(pending.end(), piece.begin(), piece.end());
    append(encoder.Encode(pending, false));
  });
  append(encoder.Encode(pending, true));
  Bytes oneCall(8 * units.size() + 64);
  oneCall.resize(static_cast<std::size_t>(
      std::max(CV_WideCharToMultiByte(cp, 0, units.data(), static_cast<std::int32_t>(units.size()),
                                      oneCall.data(), static_cast<std::int32_t>(oneCall.size()),
                                      nullptr, nullptr),
               0)));
  FUZZ_CHECK(cp == 2022 ? WithoutReopenings(encoded) == WithoutReopenings(oneCall)
                        : encoded == oneCall);
  return 0;
}
