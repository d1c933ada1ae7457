// Japanese auto-detection over a stream read in chunks, with the answer that
// CV_JapaneseAutoDetect gives for the whole text at once.
//
// The library's scan goes left to right, passes over each byte above 0x80 together with the
// byte after it, and remembers two markers (a pair only Shift_JIS accepts, a pair only EUC-JP
// accepts); the first pair that sets exactly one marker, or the first ESC, decides. A chunk
// scanned alone loses two things, both restored here through the public function itself:
// - markers set by earlier chunks: once a pair passed both tests the answer is 51932 and only
//   an ESC can make it confident. Later chunks are scanned behind the pair 0xE0 0xA1, which
//   passes both tests, so the scan sees the same markers;
// - a pair cut by the chunk end: after any byte up to 0x80 the scan stands at a character
//   start, so in the run of bytes above 0x80 that ends a chunk the pairs start at even offsets.
//   An odd run leaves its last byte waiting for its partner: it is scanned again in front of
//   the next chunk.
#pragma once

#include <cstdint>
#include <span>

namespace corvane_tool {

class JapaneseDetector {
 public:
  void Feed(std::span<const std::uint8_t> bytes);

  // The code page is known: a deciding byte was found, or a pair passed both tests (51932).
  bool Settled() const { return decided_ || bothMarkers_; }
  // Whether more input could still change the answer or its confidence.
  bool Final() const { return decided_; }

  // The answer for the text fed so far, as if it ended here: 2022, 51932 or 932.
  std::uint32_t CodePage() const;
  bool Confident() const { return decided_; }

 private:
  bool decided_ = false;
  bool bothMarkers_ = false;
  bool hasPending_ = false;
  std::uint8_t pending_ = 0;
  std::uint32_t decision_ = 0;
};

}  // namespace corvane_tool
