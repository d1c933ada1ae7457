// The scoring loop. Candidates are read in blocks so that the loop can stop as soon as one of
// them leads by a margin no later text is likely to overturn; real text settles within a few
// kilobytes, and the rest of a long file is never read.
//
// Single-byte candidates score only the letter pairs that touch a byte above 0x7F: pairs of
// ASCII bytes read alike in every candidate. Double-byte candidates score each character by its
// frequency, parsing the text their own way. UTF-16 scores each unit by its high byte.
#include "detect/scoring.h"

#include <cstring>
#include <memory>

namespace corvane::detection {
namespace {

using models::kImpossible;

// Blocks start small, so that the hopeless candidates are dropped before they cost much.
constexpr std::size_t kFirstBlock = 256;
constexpr std::size_t kBlock = 1024;
// After this many bytes a lead of kDecisiveLead (in cost units) ends the scoring.
constexpr std::size_t kMinimumRead = 2048;
constexpr std::int64_t kDecisiveLead = 96 * models::kScale;
// A candidate this far behind the leader after a block is not read any further.
constexpr std::int64_t kHopeless = 128 * models::kScale;
// The low byte of a UTF-16 unit, about as unpredictable as a byte gets.
constexpr std::int64_t kUtf16LowByteCost = 7 * models::kScale;

// The models expanded for the inner loops: a bigram cost as one byte, a double-byte pair's cost
// as one entry of a table over lead and trail.
struct Prepared {
  std::uint8_t pair[models::kSingleByteModels][models::kClasses][models::kClasses];
  std::uint8_t pairCost[models::kDoubleByteModels][128 * 256];
};

const Prepared& Tables() {
  static const std::unique_ptr<Prepared> prepared = [] {
    auto p = std::make_unique<Prepared>();
    for (int m = 0; m < models::kSingleByteModels; ++m) {
      const char* levels = models::kSingleByte[m].pairLevels;
      for (int i = 0; i < models::kClasses * models::kClasses; ++i) {
        const char* digit = std::strchr(models::kLevelDigits, levels[i]);
        p->pair[m][i / models::kClasses][i % models::kClasses] =
            static_cast<std::uint8_t>((digit - models::kLevelDigits) * models::kLevelCost);
      }
    }
    for (int m = 0; m < models::kDoubleByteModels; ++m) {
      const models::DoubleByteModel& model = models::kDoubleByte[m];
      std::uint8_t* table = p->pairCost[m];
      std::memset(table, kImpossible, 128 * 256);
      for (int r = 0; r < model.rangeCount; ++r) {
        const models::PairRange& range = model.ranges[r];
        for (int t = range.lo; t <= range.hi; ++t)
          table[(range.lead & 0x7F) << 8 | t] = model.rareCost;
      }
      for (int c = 0; c < model.codeCount; ++c)
        table[(model.codes[c] >> 8 & 0x7F) << 8 | (model.codes[c] & 0xFF)] = model.costs[c];
    }
    return p;
  }();
  return *prepared;
}

std::size_t SkipAscii(const std::uint8_t* p, std::size_t i, std::size_t end) {
  for (; i + 8 <= end; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, p + i, 8);
    if (word & 0x8080808080808080u) break;
  }
  while (i < end && p[i] < 0x80)
    ++i;
  return i;
}

constexpr int IsAsciiLetter(std::uint8_t b) {
  return static_cast<std::uint8_t>((b | 0x20) - 'a') < 26 ? 1 : 0;
}

constexpr bool IsLetterOrHigh(std::uint8_t b) {
  return b >= 0x80 || static_cast<std::uint8_t>((b | 0x20) - 'a') < 26;
}

class Scorer {
 public:
  Scorer(std::span<const std::uint8_t> bytes, Scores& scores)
      : p_(bytes.data()), size_(bytes.size()), scores_(scores), tables_(Tables()) {}

  void SingleBytes(std::size_t begin, std::size_t end) {
    int live[models::kSingleByteModels];
    int count = 0;
    for (int m = 0; m < models::kSingleByteModels; ++m)
      if (scores_.alive[m]) live[count++] = m;
    if (count == 0) return;
    for (std::size_t i = SkipAscii(p_, begin, end); i < end; i = SkipAscii(p_, i + 1, end)) {
      const std::uint8_t before = i > 0 ? p_[i - 1] : ' ';
      const std::uint8_t b = p_[i];
      const bool asciiAfter = i + 1 >= size_ || p_[i + 1] < 0x80;
      const std::uint8_t after = i + 1 < size_ ? p_[i + 1] : ' ';
      for (int k = 0; k < count; ++k) {
        const int m = live[k];
        const models::SingleByteModel& model = models::kSingleByte[m];
        const std::uint8_t c = model.byteClass[b];
        const std::uint8_t cb = model.byteClass[before];
        const std::uint8_t ca = model.byteClass[after];
        if (c == kImpossible || cb == kImpossible || ca == kImpossible) {
          Kill(m, i);
          live[k--] = live[--count];
          continue;
        }
        std::int64_t cost = tables_.pair[m][cb][c] + model.letterCost[b];
        if (asciiAfter) cost += tables_.pair[m][c][ca];
        scores_.cost[m] += cost;
      }
      if (count == 0) return;
    }
  }

  // Returns where the next block starts for this candidate: a character may straddle `end`.
  std::size_t DoubleBytes(int m, std::size_t i, std::size_t end) {
    const models::DoubleByteModel& model = models::kDoubleByte[m - kFirstDoubleByte];
    const std::uint8_t* table = tables_.pairCost[m - kFirstDoubleByte];
    std::int64_t cost = 0;
    for (i = SkipAscii(p_, i, end); i < end; i = SkipAscii(p_, i, end)) {
      const std::uint8_t b = p_[i];
      if (model.loneCost[b] != kImpossible) {
        cost += model.loneCost[b];
        ++i;
        continue;
      }
      const std::size_t length = b == model.threeByteLead ? 3 : 2;
      if (i + length > size_) {  // cut off by the end of the text
        cost += model.cutCost + model.letterBesideCost * IsAsciiLetter(i > 0 ? p_[i - 1] : ' ');
        i = size_;
        break;
      }
      const std::uint8_t pairCost =
          length == 3 ? (p_[i + 1] >= 0xA1 && p_[i + 2] >= 0xA1 ? model.rareCost : kImpossible)
                      : table[(b & 0x7F) << 8 | p_[i + 1]];
      if (pairCost == kImpossible) {
        Kill(m, i);
        return size_;
      }
      cost += pairCost +
              model.letterBesideCost * (IsAsciiLetter(i > 0 ? p_[i - 1] : ' ') +
                                        IsAsciiLetter(i + length < size_ ? p_[i + length] : ' '));
      i += length;
    }
    scores_.cost[m] += cost;
    return i;
  }

  // Every byte encoding pays for the words of ASCII letters in a block at its language's rate:
  // a page of Italian with one "è" in it reads as Italian, not as Russian with one "и". A word
  // that touches a byte above 0x7F is the candidates' to read.
  void AsciiWords(std::size_t begin, std::size_t end) {
    std::int64_t words = 0;
    bool inWord = begin > 0 && IsLetterOrHigh(p_[begin - 1]);
    for (std::size_t i = begin; i < end; ++i) {
      const bool letter = IsLetterOrHigh(p_[i]);
      words += letter && !inWord && p_[i] < 0x80;
      inWord = letter;
    }
    if (words == 0) return;
    for (int m = 0; m < kUtf16Le; ++m) {
      if (!scores_.alive[m]) continue;
      scores_.cost[m] +=
          words * (m < kFirstDoubleByte ? models::kSingleByte[m].asciiWordCost
                                        : models::kDoubleByte[m - kFirstDoubleByte].asciiWordCost);
    }
  }

  // Surrogates must come in pairs, high then low; a pair may straddle blocks.
  void Utf16(int candidate, std::size_t begin, std::size_t end) {
    const bool little = candidate == kUtf16Le;
    bool& expectLow = expectLow_[candidate - kUtf16Le];
    std::int64_t cost = 0;
    for (std::size_t i = begin; i + 1 < end; i += 2) {
      const std::uint8_t high = little ? p_[i + 1] : p_[i];
      const std::uint8_t low = little ? p_[i] : p_[i + 1];
      const bool surrogate = (high & 0xF8) == 0xD8;
      if (expectLow != (surrogate && high >= 0xDC) || (high == 0xFF && low >= 0xFE)) {
        Kill(candidate, i);
        return;
      }
      expectLow = surrogate && high < 0xDC;
      if (high != 0) cost += models::kUtf16HighByteCost[high] + kUtf16LowByteCost;
    }
    scores_.cost[candidate] += cost;
  }

 private:
  void Kill(int candidate, std::size_t at) {
    scores_.alive[candidate] = false;
    scores_.lasted[candidate] = at;
  }

  const std::uint8_t* p_;
  std::size_t size_;
  Scores& scores_;
  const Prepared& tables_;
  bool expectLow_[2] = {};
};

}  // namespace

const char* CandidateName(int candidate) {
  if (candidate < kFirstDoubleByte) return models::kSingleByte[candidate].encoding;
  if (candidate < kUtf16Le) return models::kDoubleByte[candidate - kFirstDoubleByte].encoding;
  return candidate == kUtf16Le ? "UTF-16LE" : "UTF-16BE";
}

std::int64_t SingleByteCostAt(std::span<const std::uint8_t> bytes, std::size_t read, int m,
                              const bool (&counted)[128]) {
  const models::SingleByteModel& model = models::kSingleByte[m];
  const auto& pair = Tables().pair[m];
  const auto classOf = [&](std::size_t i) -> int {
    const std::uint8_t c = i < bytes.size() ? model.byteClass[bytes[i]] : 0;
    return c == kImpossible ? 0 : c;
  };
  std::int64_t cost = 0;
  for (std::size_t i = 0; i < read && i < bytes.size(); ++i) {
    const std::uint8_t b = bytes[i];
    if (b < 0x80 || !counted[b - 0x80]) continue;
    const int c = classOf(i);
    cost += pair[i > 0 ? classOf(i - 1) : 0][c] + pair[c][classOf(i + 1)] + model.letterCost[b];
  }
  return cost;
}

std::array<int, 2> Leaders(const Scores& scores) {
  std::array<int, 2> best = {-1, -1};
  for (int c = 0; c < kCandidates; ++c) {
    if (!scores.alive[c]) continue;
    if (best[0] < 0 || scores.cost[c] < scores.cost[best[0]]) {
      best[1] = best[0];
      best[0] = c;
    } else if (best[1] < 0 || scores.cost[c] < scores.cost[best[1]]) {
      best[1] = c;
    }
  }
  return best;
}

Scores ScoreCandidates(std::span<const std::uint8_t> bytes, const bool (&alive)[kCandidates]) {
  Scores scores;
  for (int c = 0; c < kCandidates; ++c) {
    scores.alive[c] = alive[c];
    scores.lasted[c] = alive[c] ? bytes.size() : 0;
  }
  Scorer scorer(bytes, scores);
  std::size_t doubleAt[models::kDoubleByteModels] = {};
  std::size_t end = 0;
  while (end < bytes.size()) {
    const std::size_t begin = end;
    end = std::min(bytes.size(), begin + (begin == 0 ? kFirstBlock : kBlock));
    scorer.SingleBytes(begin, end);
    scorer.AsciiWords(begin, end);
    for (int m = kFirstDoubleByte; m < kUtf16Le; ++m) {
      std::size_t& at = doubleAt[m - kFirstDoubleByte];
      if (scores.alive[m] && at < end) at = scorer.DoubleBytes(m, at, end);
    }
    for (int c : {kUtf16Le, kUtf16Be})
      if (scores.alive[c]) scorer.Utf16(c, begin, end);
    scores.read = end;
    const auto [first, second] = Leaders(scores);
    if (first < 0) break;
    if (end >= kMinimumRead && second >= 0 &&
        scores.cost[second] - scores.cost[first] >= kDecisiveLead)
      break;
    bool alone = true;
    for (int c = 0; c < kCandidates; ++c) {
      if (scores.cost[c] - scores.cost[first] >= kHopeless) scores.alive[c] = false;
      alone = alone && (c == first || !scores.alive[c]);
    }
    if (alone) break;
  }
  return scores;
}

}  // namespace corvane::detection
