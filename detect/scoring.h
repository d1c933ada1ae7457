// Scores every encoding a text could still be in, by how well it reads as the language each one
// carries; the lower a cost, the likelier the encoding. An encoding that meets a byte sequence it
// has no character for is out.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "detect/models/detect_models.h"

namespace corvane::detection {

// Candidates in one list: the single-byte models, then the double-byte ones, then UTF-16LE and
// UTF-16BE without a byte order mark.
inline constexpr int kFirstDoubleByte = models::kSingleByteModels;
inline constexpr int kUtf16Le = kFirstDoubleByte + models::kDoubleByteModels;
inline constexpr int kUtf16Be = kUtf16Le + 1;
inline constexpr int kCandidates = kUtf16Be + 1;

const char* CandidateName(int candidate);

struct Scores {
  std::int64_t cost[kCandidates] = {};  // in models::kScale units per bit
  bool alive[kCandidates] = {};
  // Where each candidate met what it cannot hold (or the size of the text): the one that lasted
  // longest is the best guess when none is left.
  std::size_t lasted[kCandidates] = {};
  std::size_t read = 0;  // bytes looked at; scoring stops once one candidate is far ahead
};

// `alive` says which candidates to consider. A byte left over at the end of UTF-16 is a cut unit.
Scores ScoreCandidates(std::span<const std::uint8_t> bytes, const bool (&alive)[kCandidates]);

// What single-byte candidate m makes of the letters at the high bytes `counted` marks (bit b for
// byte 0x80 + b) in the first `read` bytes: the pairs on both sides of each, and its own cost.
std::int64_t SingleByteCostAt(std::span<const std::uint8_t> bytes, std::size_t read, int m,
                              const bool (&counted)[128]);

// The best and second-best live candidates (-1 where there is none).
std::array<int, 2> Leaders(const Scores& scores);

}  // namespace corvane::detection
