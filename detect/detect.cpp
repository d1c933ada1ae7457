// corvane::detect: the cheap certainties first (a byte order mark, seven-bit text, valid UTF-8),
// then the language models for what is left, with the Japanese rule of the C interface between
// Shift_JIS and EUC-JP and a closer look between code pages that differ in a few bytes only.
#include <algorithm>
#include <array>
#include <cmath>
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
constexpr double kSureBits = 24;
constexpr double kHalfBits = 8;

Detection Sure(const char* name, double confidence = 1.0) {
  return {Encoding(name), confidence, true};
}

// ESC $ or ESC ( opens every designation ISO-2022-JP uses; any other escape is a terminal's.
bool HasJisEscape(Bytes bytes) {
  const auto* end = bytes.data() + bytes.size();
  for (const auto* p = bytes.data(); p < end; ++p) {
    p = static_cast<const std::uint8_t*>(std::memchr(p, 0x1B, static_cast<std::size_t>(end - p)));
    if (p == nullptr || p + 1 == end) return false;
    if (p[1] == '$' || p[1] == '(') return true;
  }
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

// Zeros and controls are counted in the first kSurveyed bytes only: UTF-16 puts them
// everywhere, and a text that has them nowhere near its start is no UTF-16.
constexpr std::size_t kSurveyed = 4096;

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
  const std::size_t surveyed = std::min(bytes.size(), kSurveyed);
  for (std::size_t i = 0; i < surveyed; ++i) {
    const std::uint8_t kind = kKind[bytes[i]];
    survey.controls += kind & 1;
    if (kind == 2) ++survey.zeros[i % 2];
  }
  if (survey.zeros[0] + survey.zeros[1] == 0 && bytes.size() > surveyed &&
      std::memchr(bytes.data() + surveyed, 0, bytes.size() - surveyed) != nullptr)
    survey.zeros[0] = 1;  // far into the text: no byte encoding, and no telling the order
  std::size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes.data() + i, 8);
    if (word & 0x8080808080808080u) {
      survey.sevenBit = false;
      return survey;
    }
  }
  for (; i < bytes.size(); ++i)
    if (bytes[i] >= 0x80) survey.sevenBit = false;
  return survey;
}

// The characters a single-byte candidate reads its bytes 0x80 to 0xFF as (U+FFFD for none).
const std::u16string& HighCharacters(int candidate) {
  static const auto kTables = [] {
    std::string high;
    for (int b = 0x80; b <= 0xFF; ++b)
      high.push_back(static_cast<char>(b));
    std::array<std::u16string, detection::kFirstDoubleByte> tables;
    for (int c = 0; c < detection::kFirstDoubleByte; ++c)
      tables[static_cast<std::size_t>(c)] = decode(high, Encoding(detection::CandidateName(c)));
    return tables;
  }();
  return kTables[static_cast<std::size_t>(candidate)];
}

// Which high bytes the first `read` bytes hold (bit b for byte 0x80 + b).
struct HighBytes {
  bool seen[128] = {};
  HighBytes(Bytes bytes, std::size_t read) {
    for (std::size_t i = 0; i < read && i < bytes.size(); ++i)
      if (bytes[i] >= 0x80) seen[bytes[i] - 0x80] = true;
  }
};

// The high bytes of the text where single-byte candidates a and b read different characters;
// how many kinds there are.
int Differences(const HighBytes& high, int a, int b, bool (&differ)[128]) {
  const std::u16string& ca = HighCharacters(a);
  const std::u16string& cb = HighCharacters(b);
  const bool(&seen)[128] = high.seen;
  int kinds = 0;
  for (std::size_t v = 0; v < 128; ++v) {
    differ[v] = seen[v] && ca[v] != cb[v];
    kinds += differ[v];
  }
  return kinds;
}

// Code pages that differ in a handful of bytes only (windows-1252 and 1254) carry languages that
// share most letters, so the shared letters speak of the text's subject (a list of foreign
// names) more than of its encoding: between two such, only the bytes where they differ count.
constexpr int kFewDifferences = 16;

// Bytes two single-byte code pages read differently that a text must hold before the one can
// be sure over the other.
constexpr std::size_t kSureDifferences = 4;

std::size_t DifferingBytes(Bytes bytes, std::size_t read, const bool (&differ)[128]) {
  std::size_t count = 0;
  for (std::size_t i = 0; i < read && i < bytes.size(); ++i)
    count += bytes[i] >= 0x80 && differ[bytes[i] - 0x80];
  return count;
}

bool ReadAlike(const HighBytes& high, int a, int b) {
  if (a >= detection::kFirstDoubleByte || b >= detection::kFirstDoubleByte) return false;
  bool differ[128];
  return Differences(high, a, b, differ) == 0;
}

// The C interface's rule between the two Japanese byte encodings, where one of them leads: a pair
// only one of them accepts settles it. It reads until such a pair, so it is asked only then.
void SettleJapanese(Bytes bytes, detection::Scores& scores) {
  const int first = detection::Leaders(scores)[0];
  if (first < 0) return;
  const std::string_view leader = detection::CandidateName(first);
  if (leader != "Shift_JIS" && leader != "EUC-JP") return;
  std::uint32_t confident = 0;
  const std::uint32_t japanese =
      DetectJapaneseEncoding(ByteText{bytes.data(), bytes.size(), false}, confident);
  if (!confident || japanese == 2022) return;
  const std::string_view ruledOut = japanese == 932 ? "EUC-JP" : "Shift_JIS";
  for (int c = 0; c < kCandidates; ++c)
    if (detection::CandidateName(c) == ruledOut) scores.alive[c] = false;
}

Detection FromLead(int winner, double lead) {
  // Each kHalfBits of lead halves the doubt.
  return {Encoding(detection::CandidateName(winner)), 1.0 - std::exp2(-lead / kHalfBits),
          lead >= kSureBits};
}

Detection Judge(Bytes bytes, const detection::Scores& scores) {
  const int first = detection::Leaders(scores)[0];
  if (first < 0) {  // nothing holds the text: the one that held out longest
    int longest = 0;
    for (int c = 1; c < kCandidates; ++c)
      if (scores.lasted[c] > scores.lasted[longest]) longest = c;
    return {Encoding(detection::CandidateName(longest)), 0.0, false};
  }
  // The runner-up that matters is the best one that reads the text differently.
  const HighBytes high(bytes, scores.read);
  int rival = -1;
  for (int c = 0; c < kCandidates; ++c) {
    if (!scores.alive[c] || c == first) continue;
    if (rival >= 0 && scores.cost[c] >= scores.cost[rival]) continue;
    if (!ReadAlike(high, first, c)) rival = c;
  }
  Detection answer =
      // A candidate far enough behind was dropped while scoring: the lead is at least that.
      FromLead(first, rival < 0 ? 128.0
                                : static_cast<double>(scores.cost[rival] - scores.cost[first]) /
                                      detection::models::kScale);
  if (rival >= 0 && rival < detection::kFirstDoubleByte && first < detection::kFirstDoubleByte) {
    bool differ[128];
    int kinds = 0;
    for (std::size_t v = 0; v < 128; ++v)
      kinds += HighCharacters(first)[v] != HighCharacters(rival)[v];
    const int seen = Differences(high, first, rival, differ);
    if (kinds <= kFewDifferences && seen > 0) {
      const std::int64_t own = detection::SingleByteCostAt(bytes, scores.read, first, differ);
      const std::int64_t other = detection::SingleByteCostAt(bytes, scores.read, rival, differ);
      answer = FromLead(other < own ? rival : first,
                        static_cast<double>(std::abs(own - other)) / detection::models::kScale);
    }
    // The letters both read alike tell the language more than the encoding (Lithuanian and
    // Czech share their č): a text with few bytes the two read differently cannot make us sure.
    if (answer.sure && DifferingBytes(bytes, scores.read, differ) < kSureDifferences) {
      answer.sure = false;
      answer.confidence = std::min(answer.confidence, 1.0 - std::exp2(-kSureBits / kHalfBits));
    }
  }
  return answer;
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
  if (notBytes && !detection::IsPlausibleUtf16(bytes, true) &&
      !detection::IsPlausibleUtf16(bytes, false)) {
    // Binary, or UTF-16 cut at an odd byte: the zeros still tell the order.
    const bool little = survey.zeros[1] >= survey.zeros[0];
    return {Encoding(little ? "UTF-16LE" : "UTF-16BE"), 0.0, false};
  }
  detection::Scores scores = detection::ScoreCandidates(bytes, alive);
  SettleJapanese(bytes, scores);
  return Judge(bytes, scores);
}

Detection detect(std::string_view bytes) {
  return detect(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

}  // namespace corvane
