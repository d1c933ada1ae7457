#include "japanese_detector.h"

#include <vector>

#include "corvane.h"

namespace corvane_tool {
namespace {

constexpr std::uint32_t kIso2022Jp = 2022;
constexpr std::uint32_t kEucJp = 51932;
// A pair that both the Shift_JIS and the EUC-JP test accept.
constexpr std::uint8_t kBothMarkersPair[] = {0xE0, 0xA1};

constexpr bool StartsPair(std::uint8_t b) {
  return b > 0x80;
}

}  // namespace

void JapaneseDetector::Feed(std::span<const std::uint8_t> bytes) {
  if (decided_ || bytes.empty()) return;
  std::vector<std::uint8_t> scan;
  scan.reserve(bytes.size() + 3);
  if (bothMarkers_)
    scan.insert(scan.end(), std::begin(kBothMarkersPair), std::end(kBothMarkersPair));
  const std::size_t textStart = scan.size();
  if (hasPending_) scan.push_back(pending_);
  scan.insert(scan.end(), bytes.begin(), bytes.end());

  std::uint32_t confident = 0;
  const std::uint32_t answer =
      CV_JapaneseAutoDetect(scan.data(), static_cast<std::int32_t>(scan.size()), &confident);
  if (confident != 0) {
    decided_ = true;
    decision_ = answer;
    return;
  }
  // Without a decision the answer is 51932 only when a pair passed both tests.
  if (answer == kEucJp) bothMarkers_ = true;

  std::size_t run = 0;
  for (std::size_t i = scan.size(); i > textStart && StartsPair(scan[i - 1]); --i)
    ++run;
  hasPending_ = run % 2 == 1;
  pending_ = scan.back();
}

std::uint32_t JapaneseDetector::CodePage() const {
  if (decided_) return decision_;
  return bothMarkers_ ? kEucJp : kIso2022Jp;
}

}  // namespace corvane_tool
