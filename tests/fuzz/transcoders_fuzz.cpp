// The four Japanese transcoders, called directly: any bytes, both length modes, any output size.
// Then the round trips that hold by construction: Shift_JIS made of ASCII and valid pairs goes
// to EUC-JP or ISO-2022-JP and comes back unchanged.
#include <cstring>
#include <span>

#include "fuzz_support.h"
#include "japanese/transcoders.h"

namespace {

using namespace corvane;
using namespace corvane::fuzz;
using Bytes = std::vector<std::uint8_t>;

// Runs one transcoder with an output of exactly outSize bytes; the result stays inside it.
template <typename Transcode>
Bytes Run(Transcode transcode, const Bytes& input, std::int32_t inLen, std::int32_t outSize) {
  const auto in = ExactCopy(input);
  auto out = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(outSize));
  const auto n = static_cast<std::int32_t>(transcode(
      SettleBytes(in.get(), inLen), std::span<std::uint8_t>(out.get(), std::size_t(outSize))));
  FUZZ_CHECK(n >= 0 && n <= outSize);
  FUZZ_CHECK(outSize == 0 || n <= outSize - 1 || out[static_cast<std::size_t>(n - 1)] == 0);
  return Bytes(out.get(), out.get() + n);
}

// Shift_JIS text from arbitrary bytes: ASCII but ESC, and lead bytes followed by a trail byte.
Bytes ValidSjis(const Bytes& raw) {
  Bytes sjis;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const std::uint8_t b = raw[i];
    if (b < 0x80) {
      if (b != 0x1B) sjis.push_back(b);
    } else if (i + 1 < raw.size()) {
      const std::uint8_t lead = static_cast<std::uint8_t>(b % 2 ? 0x81 + b % 31 : 0xE0 + b % 16);
      std::uint8_t trail = static_cast<std::uint8_t>(0x40 + raw[++i] % 189);
      if (trail == 0x7F) trail = 0x80;
      sjis.push_back(lead);
      sjis.push_back(trail);
    }
  }
  return sjis;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const auto which = in.ConsumeIntegralInRange<int>(0, 3);
  const bool nul = in.ConsumeBool();
  const auto outSize = in.ConsumeIntegralInRange<std::int32_t>(0, 64);
  const auto stateIn = in.ConsumeIntegralInRange<JisShiftState>(0, 3);
  Bytes input = in.ConsumeRemainingBytes<std::uint8_t>();
  const auto n = static_cast<std::int32_t>(input.size());
  if (nul) input.push_back(0);
  const std::int32_t inLen = nul ? -1 : n;
  // Nothing any of them writes is longer than four bytes per input byte.
  const std::int32_t roomy = 4 * n + 8;

  JisShiftState state = stateIn;
  const auto iso2022ToSjis = [&state](ByteText i, std::span<std::uint8_t> o) {
    return Iso2022JpToSjis(i, o, &state);
  };
  const auto sjisToIso2022 = [&state](ByteText i, std::span<std::uint8_t> o) {
    return SjisToIso2022Jp(i, o, &state);
  };
  for (const std::int32_t room : {outSize, roomy}) {
    state = stateIn;
    switch (which) {
      case 0:
        Run(EucJpToSjis, input, inLen, room);
        break;
      case 1:
        Run(iso2022ToSjis, input, inLen, room);
        break;
      case 2:
        Run(SjisToEucJp, input, inLen, room);
        break;
      default:
        Run(sjisToIso2022, input, inLen, room);
        break;
    }
    if (which % 2 == 1) FUZZ_CHECK(state == kJisSingleByte || state == kJisTwoByte);
  }

  // A short output holds the start of what a roomy one holds.
  state = stateIn;
  const Bytes whole = which == 0   ? Run(EucJpToSjis, input, inLen, roomy)
                      : which == 1 ? Run(iso2022ToSjis, input, inLen, roomy)
                      : which == 2 ? Run(SjisToEucJp, input, inLen, roomy)
                                   : Run(sjisToIso2022, input, inLen, roomy);
  state = stateIn;
  const Bytes part = which == 0   ? Run(EucJpToSjis, input, inLen, outSize)
                     : which == 1 ? Run(iso2022ToSjis, input, inLen, outSize)
                     : which == 2 ? Run(SjisToEucJp, input, inLen, outSize)
                                  : Run(sjisToIso2022, input, inLen, outSize);
  const bool terminated = nul && !part.empty() && part.back() == 0;
  const auto compared = static_cast<std::int32_t>(part.size()) - (terminated ? 1 : 0);
  FUZZ_CHECK(static_cast<std::int32_t>(whole.size()) >= compared);
  FUZZ_CHECK(SamePrefix(part.data(), whole.data(), compared));

  // Round trips of valid Shift_JIS, counted.
  const Bytes sjis = ValidSjis(Bytes(input.begin(), input.begin() + n));
  const auto len = static_cast<std::int32_t>(sjis.size());
  const Bytes euc = Run(SjisToEucJp, sjis, len, 2 * len + 2);
  FUZZ_CHECK(Run(EucJpToSjis, euc, static_cast<std::int32_t>(euc.size()), len + 1) == sjis);
  const Bytes iso = Run(sjisToIso2022, sjis, len, 4 * len + 8);
  state = kJisSingleByte;
  FUZZ_CHECK(Run(iso2022ToSjis, iso, static_cast<std::int32_t>(iso.size()), len + 1) == sjis);
  return 0;
}
