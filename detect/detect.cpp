// corvane::detect: the cheap certainties first (a byte order mark, seven-bit text, valid UTF-8),
// then the Japanese rules of the C interface, then the language models for what is left.
#include <algorithm>
#include <array>
#include <bitset>
#include <cstring>
#include <string>

#include "corvane.hpp"
#include "detect/scoring.h"
#include "detect/unicode_forms.h"
#include "japanese/auto_detect.h"

namespace corvane {
namespace {

using detection::Bytes;
using detection::kCandidates;

// A lead of this many bits over the runner-up is "sure"; at 16 bytes few texts get there.
constexpr double kSureBits = 20;

Detection Sure(const char* name, double confidence = 1.0) {
  return {Encoding(name), confidence, true};
}

// ESC $ or ESC ( opens every designation ISO-2022-JP uses; any other escape is a terminal's.
bool HasJisEscape(Bytes bytes) {
  for (std::size_t i = 0; i + 1 < bytes.size(); ++i)
    if (bytes[i] == 0x1B && (bytes[i + 1] == '$' || bytes[i + 1] == '(')) return true;
  return false;
}

// What a first look at every byte tells: no byte encoding puts a zero byte in text, and few
// controls other than the white space and ESC (a bell here and there); UTF-16 does, in its high
// bytes, for every Latin or Cyrillic letter. Where the zeros fall tells the byte order.
struct Survey {
  std::size_t zeros[2] = {};  // at even and at odd offsets
  std::size_t controls = 0;   // C0 controls other than ESC, white space and zero
  bool sevenBit = true;
};

Survey SurveyBytes(Bytes bytes) {
  // 1: a control no text holds; 2: a zero byte.
  static constexpr std::array<std::uint8_t, 256> kKind = [] {
    std::array<std::uint8_t, 256> kind{};
    for (std::size_t b = 1; b < 0x20; ++b)
      kind[b] = (b >= 0x09 && b <= 0x0D) || b == 0x1B ? 0 : 1;
    kind[0] = 2;
    return kind;
  }();
  Survey survey;
  std::uint8_t high = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const std::uint8_t kind = kKind[bytes[i]];
    high |= bytes[i];
    survey.controls += kind & 1;
    if (kind == 2) ++survey.zeros[i % 2];
  }
  survey.sevenBit = high < 0x80;
  return survey;
}

// Whether two single-byte candidates turn the high bytes of the text into the same characters:
// then neither is wrong, and the lead of one over the other says nothing.
bool ReadAlike(Bytes bytes, std::size_t read, int a, int b) {
  if (a >= detection::kFirstDoubleByte || b >= detection::kFirstDoubleByte) return false;
  std::bitset<128> seen;
  for (std::size_t i = 0; i < read && i < bytes.size(); ++i)
    if (bytes[i] >= 0x80) seen.set(bytes[i] - 0x80);
  std::string high;
  for (std::size_t v = 0; v < 128; ++v)
    if (seen[v]) high.push_back(static_cast<char>(v + 0x80));
  return decode(high, Encoding(detection::CandidateName(a))) ==
         decode(high, Encoding(detection::CandidateName(b)));
}

Detection Judge(Bytes bytes, const detection::Scores& scores) {
  const auto [first, second] = detection::Leaders(scores);
  if (first < 0) {  // nothing holds the text: the one that held out longest
    int longest = 0;
    for (int c = 1; c < kCandidates; ++c)
      if (scores.lasted[c] > scores.lasted[longest]) longest = c;
    return {Encoding(detection::CandidateName(longest)), 0.0, false};
  }
  // The runner-up that matters is the best one that reads the text differently.
  int rival = -1;
  for (int c = 0; c < kCandidates; ++c) {
    if (!scores.alive[c] || c == first) continue;
    if (rival >= 0 && scores.cost[c] >= scores.cost[rival]) continue;
    if (!ReadAlike(bytes, scores.read, first, c)) rival = c;
  }
  (void)second;
  const double lead = rival < 0 ? 64.0
                                : static_cast<double>(scores.cost[rival] - scores.cost[first]) /
                                      detection::models::kScale;
  const double confidence = lead / (lead + kSureBits / 2);
  return {Encoding(detection::CandidateName(first)), confidence, lead >= kSureBits};
}

}  // namespace

Detection detect(std::span<const std::uint8_t> bytes) {
  if (const char* marked = detection::MarkedEncoding(bytes)) return Sure(marked);

  bool alive[kCandidates];
  std::fill(std::begin(alive), std::end(alive), true);
  const Survey survey = SurveyBytes(bytes);
  // More than one byte in eight a control: UTF-16 of a small alphabet, or no text at all.
  const bool notBytes = survey.zeros[0] + survey.zeros[1] > 0 || survey.controls * 8 > bytes.size();
  if (notBytes) {
    for (int c = 0; c < detection::kUtf16Le; ++c)
      alive[c] = false;
  } else if (survey.sevenBit) {
    return HasJisEscape(bytes) ? Sure("ISO-2022-JP") : Sure("US-ASCII");
  } else {
    // A sequence cut off at the end is no evidence for UTF-8: two complete ones are.
    const detection::Utf8Shape utf8 = detection::ExamineUtf8(bytes);
    if (utf8.valid && utf8.multiByte > 0)
      return {Encoding("UTF-8"), utf8.multiByte > 1 ? 1.0 : 0.6, utf8.multiByte > 1};
  }
  alive[detection::kUtf16Le] = detection::IsPlausibleUtf16(bytes, true);
  alive[detection::kUtf16Be] = detection::IsPlausibleUtf16(bytes, false);
  if (notBytes && !alive[detection::kUtf16Le] && !alive[detection::kUtf16Be]) {
    // Binary, or UTF-16 cut at an odd byte: the zeros still tell the order.
    const bool little = survey.zeros[1] >= survey.zeros[0];
    return {Encoding(little ? "UTF-16LE" : "UTF-16BE"), 0.0, false};
  }

  // The C interface's rule between the two Japanese byte encodings: a pair only one of them
  // accepts settles it.
  std::uint32_t confident = 0;
  const std::uint32_t japanese =
      DetectJapaneseEncoding(ByteText{bytes.data(), bytes.size(), false}, confident);
  for (int m = 0; m < detection::models::kDoubleByteModels; ++m) {
    const std::string_view name = detection::models::kDoubleByte[m].encoding;
    if (confident &&
        ((japanese == 932 && name == "EUC-JP") || (japanese == 51932 && name == "Shift_JIS")))
      alive[detection::kFirstDoubleByte + m] = false;
  }
  return Judge(bytes, detection::ScoreCandidates(bytes, alive));
}

Detection detect(std::string_view bytes) {
  return detect(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

}  // namespace corvane
