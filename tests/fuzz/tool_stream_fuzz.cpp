// The corvane tool's streaming: random text fed through its decoder in random chunks (down to one
// byte), with a hold limit small enough that short texts reach every rule for where a piece may
// end, must give what one library call over the whole text gives; the same text read as UTF-16
// and fed through its encoder in random pieces must give one call's bytes (ISO-2022-JP, which the
// encoder may close and reopen between pieces: the same text back).
#include <random>
#include <span>

#include "corvane.h"
#include "fuzz_support.h"
#include "stream_decoder.h"
#include "stream_encoder.h"

namespace {

using corvane::fuzz::CodePages;
using corvane_tool::Encoding;

constexpr std::uint32_t kUtf8 = 65001;
constexpr std::uint32_t kIso2022Jp = 2022;
constexpr std::uint32_t kEucKr = 51949;
constexpr std::uint32_t kGb18030 = 54936;

// Every code page the tool can be asked to stream: the fuzzers' list and the system's
// multi-byte and UTF-16 and UTF-32 code pages.
std::uint32_t PickStreamedCodePage(FuzzedDataProvider& in) {
  static const std::vector<std::uint32_t> pages = [] {
    std::vector<std::uint32_t> v;
    for (std::uint32_t page : CodePages())
      if (page != 2023) v.push_back(page);  // the tool detects first, then streams the result
    for (std::uint32_t extra : {1201u, 12000u, 12001u, 51949u, 54936u})
      v.push_back(extra);
    return v;
  }();
  // A code page of the list taken as it is (so that seeds can name one), any other value picks one.
  const auto value = in.ConsumeIntegral<std::uint32_t>();
  return std::find(pages.begin(), pages.end(), value) != pages.end() ? value
                                                                     : pages[value % pages.size()];
}

std::vector<std::uint16_t> DecodeOnce(std::uint32_t cp, std::span<const std::uint8_t> text,
                                      std::int32_t* consumed) {
  std::vector<std::uint16_t> units(3 * text.size() + 8);
  std::uint32_t state = 1;
  std::int32_t n = CV_MultiByteToWideChar(
      cp, 0, text.data(), static_cast<std::int32_t>(text.size()), units.data(),
      static_cast<std::int32_t>(units.size()), consumed, &state);
  if (cp == kUtf8 && n > 0) --n;  // the decoder's terminator
  units.resize(static_cast<std::size_t>(std::max(n, 0)));
  return units;
}

std::vector<std::uint8_t> EncodeOnce(std::uint32_t cp, std::span<const std::uint16_t> text) {
  std::vector<std::uint8_t> bytes(8 * text.size() + 64);
  const std::int32_t n = CV_WideCharToMultiByte(
      cp, 0, text.data(), static_cast<std::int32_t>(text.size()), bytes.data(),
      static_cast<std::int32_t>(bytes.size()), nullptr, nullptr);
  bytes.resize(static_cast<std::size_t>(std::max(n, 0)));
  return bytes;
}

// ISO-2022-JP that the tool's encoder cut inside a two-byte run closes the run and opens it again
// with the next piece; the bytes are one call's once those pairs of escape sequences are gone.
std::vector<std::uint8_t> WithoutReopenings(std::vector<std::uint8_t> bytes) {
  constexpr std::uint8_t kReopening[] = {0x1B, '(', 'B', 0x1B, '$', 'B'};
  for (auto at =
           std::search(bytes.begin(), bytes.end(), std::begin(kReopening), std::end(kReopening));
       at != bytes.end();
       at = std::search(at, bytes.end(), std::begin(kReopening), std::end(kReopening))) {
    at = bytes.erase(at, at + static_cast<std::ptrdiff_t>(std::size(kReopening)));
  }
  return bytes;
}

// The tool ends ISO-2022-JP in single-byte mode where one call ends it in two-byte mode.
bool EqualButForTheClose(std::vector<std::uint8_t> streamed, std::vector<std::uint8_t> whole) {
  if (streamed == whole) return true;
  whole.insert(whole.end(), {0x1B, '(', 'B'});
  return streamed == whole;
}

template <typename Feed>
void InChunks(std::size_t size, std::minstd_rand& random, std::size_t largest, Feed feed) {
  for (std::size_t at = 0; at < size;) {
    const std::size_t take = std::min(size - at, 1 + random() % largest);
    feed(at, take);
    at += take;
  }
}

void CheckDecoding(std::uint32_t cp, std::span<const std::uint8_t> text, std::size_t holdLimit,
                   std::minstd_rand& random, std::size_t largest) {
  corvane_tool::StreamDecoder decoder(Encoding{Encoding::Kind::kCodePage, cp, ""}, holdLimit);
  std::vector<std::uint16_t> streamed;
  bool ok = true;
  InChunks(text.size(), random, largest, [&](std::size_t at, std::size_t take) {
    if (!ok) return;
    decoder.Feed(text.subspan(at, take));
    ok = decoder.Decode(false, streamed);
  });
  if (ok) ok = decoder.Decode(true, streamed);
  std::int32_t consumed = -1;
  const std::vector<std::uint16_t> whole = DecodeOnce(cp, text, cp == kUtf8 ? &consumed : nullptr);
  if (!ok) {
    // Only invalid UTF-8 stops the tool, where one call stops too; what came before is the same.
    FUZZ_CHECK(cp == kUtf8 && consumed < static_cast<std::int32_t>(text.size()));
    FUZZ_CHECK(streamed.size() <= whole.size() &&
               std::equal(streamed.begin(), streamed.end(), whole.begin()));
    return;
  }
  FUZZ_CHECK(streamed == whole);
}

void CheckEncoding(std::uint32_t cp, std::span<const std::uint16_t> text, std::size_t pieceUnits,
                   std::minstd_rand& random, std::size_t largest) {
  if (!corvane_tool::CanEncode(cp)) return;
  corvane_tool::StreamEncoder encoder(Encoding{Encoding::Kind::kCodePage, cp, ""}, pieceUnits);
  std::vector<std::uint16_t> pending;
  std::vector<std::uint8_t> streamed;
  InChunks(text.size(), random, largest, [&](std::size_t at, std::size_t take) {
    pending.insert(pending.end(), text.begin() + static_cast<std::ptrdiff_t>(at),
                   text.begin() + static_cast<std::ptrdiff_t>(at + take));
    const std::span<const std::uint8_t> bytes = encoder.Encode(pending, false);
    streamed.insert(streamed.end(), bytes.begin(), bytes.end());
  });
  const std::span<const std::uint8_t> last = encoder.Encode(pending, true);
  streamed.insert(streamed.end(), last.begin(), last.end());
  const std::vector<std::uint8_t> whole = EncodeOnce(cp, text);
  FUZZ_CHECK(cp == kIso2022Jp
                 ? EqualButForTheClose(WithoutReopenings(streamed), WithoutReopenings(whole))
                 : streamed == whole);
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
  const std::vector<std::uint8_t> text = in.ConsumeRemainingBytes<std::uint8_t>();
  if (!corvane_tool::CanDecode(cp)) return 0;
  std::minstd_rand random(seed);
  const std::size_t largest = 1 + seed % 16;
  CheckDecoding(cp, text, holdLimit, random, largest);
  std::vector<std::uint16_t> units(text.size() / 2);
  for (std::size_t i = 0; i < units.size(); ++i)
    units[i] = static_cast<std::uint16_t>(text[2 * i] | text[2 * i + 1] << 8);
  CheckEncoding(cp, units, smallLimit, random, largest);
  return 0;
}
