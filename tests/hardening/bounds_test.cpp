// Every export that reads or writes a caller's buffer, with that buffer ending exactly at a page
// the process may not touch: one byte read or written past the end faults. A canary in front of
// each destination catches a write before it. Destinations are offered every capacity from 0 to
// a few units past what the text needs, for every registered code page and every number with a
// road of its own, in both length modes; sources end at a guard page too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "corvane.h"
#include "guarded_pages.h"

namespace {

// Pages of which the last may not be touched (guarded_pages.h). Place() copies an object so that
// it ends right at that page and puts a canary in the bytes before it.
class GuardedRegion {
 public:
  static constexpr std::size_t kCanary = 64;
  static constexpr std::size_t kBytes = 1 << 16;

  GuardedRegion() : pages_(corvane::hardening::ReserveGuardedPages(kBytes + kCanary)) {}
  ~GuardedRegion() { corvane::hardening::ReleaseGuardedPages(pages_); }
  GuardedRegion(const GuardedRegion&) = delete;
  GuardedRegion& operator=(const GuardedRegion&) = delete;

  // count elements ending at the guard page, filled with 0xEE bytes (or with the given ones).
  template <typename T>
  T* Place(std::size_t count, const T* contents = nullptr) {
    unsigned char* guard = pages_.start + pages_.usable;
    start_ = guard - count * sizeof(T);
    std::memset(start_ - kCanary, 0xA5, kCanary);
    std::memset(start_, 0xEE, count * sizeof(T));
    if (contents != nullptr) std::memcpy(start_, contents, count * sizeof(T));
    return reinterpret_cast<T*>(start_);
  }

  // The last usable byte, readable, and the first byte of the guard page, which is not.
  const unsigned char* LastByte() const { return pages_.start + pages_.usable - 1; }
  const unsigned char* GuardByte() const { return pages_.start + pages_.usable; }

  bool CanaryIntact() const {
    for (std::size_t i = 1; i <= kCanary; ++i)
      if (start_[-static_cast<std::ptrdiff_t>(i)] != 0xA5) return false;
    return true;
  }

 private:
  corvane::hardening::GuardedPages pages_;
  unsigned char* start_ = nullptr;
};

std::vector<uint32_t> CodePagesUnderTest() {
  std::vector<uint32_t> pages;
  for (uint32_t cp = 1; cp < 100000; ++cp)
    if (CV_IsValidCodePage(cp) == 1) pages.push_back(cp);
  // UTF-8, the pseudo code pages, a number only the system converts, one nobody converts.
  for (uint32_t cp : {65001u, 2023u, 0u, 3u, 874u, 12345u})
    pages.push_back(cp);
  return pages;
}

// Latin, Cyrillic, Greek, Hebrew, kana, kanji, hangul, a lone surrogate, a pair, CR LF.
const std::vector<uint16_t> kSampleText{'A',    0x00E9, 0x20AC, 0x0416, 0x03A9, 0x05D0,
                                        0x3042, 0xFF71, 0x6F22, 0xAC00, 'z',    0xD800,
                                        0xD83D, 0xDE00, '\r',   '\n',   0x4E2D, '!'};

// Bytes no code page likes: stray high bytes, a cut escape sequence, a lead byte at the end.
const std::vector<uint8_t> kRawBytes{'A',  0x80, 0xA4, 0xA2, 0x1B, '$',  'B',  0x30, 0x21,
                                     0xDE, 0xF0, 0x9F, 0x98, 0x80, 0xC3, 0x8E, 0x1B, 0x82};

// The sample in the code page (whatever of it the code page holds), then the raw bytes.
std::vector<std::vector<uint8_t>> ByteSources(uint32_t cp) {
  std::vector<uint8_t> encoded(256);
  const int32_t n = CV_WideCharToMultiByte(cp, 0, kSampleText.data(),
                                           static_cast<int32_t>(kSampleText.size()), encoded.data(),
                                           static_cast<int32_t>(encoded.size()), nullptr, nullptr);
  encoded.resize(static_cast<std::size_t>(n > 0 ? n : 0));
  std::erase(encoded, 0);  // nul mode must see all of it
  return {encoded, kRawBytes};
}

struct Guards {
  GuardedRegion source;
  GuardedRegion destination;
};

// A source in nul mode ends with its terminator at the guard page; counted, its last byte does.
template <typename T>
const T* PlaceSource(GuardedRegion& region, std::vector<T> text, bool nul) {
  if (nul) text.push_back(0);
  return region.Place(text.size(), text.data());
}

// Without its guard page every test below would pass whatever the library did.
TEST(Bounds, TheGuardPageIsInForce) {
  GuardedRegion region;
  EXPECT_TRUE(corvane::hardening::ProcessMayRead(region.LastByte()));
  EXPECT_FALSE(corvane::hardening::ProcessMayRead(region.GuardByte()));
}

TEST(Bounds, MultiByteToWideChar) {
  Guards g;
  for (uint32_t cp : CodePagesUnderTest()) {
    for (const std::vector<uint8_t>& bytes : ByteSources(cp)) {
      for (bool nul : {false, true}) {
        const uint8_t* src = PlaceSource(g.source, bytes, nul);
        const int32_t len = nul ? -1 : static_cast<int32_t>(bytes.size());
        const int32_t needed = static_cast<int32_t>(3 * bytes.size() + 4);
        for (int32_t cap = 0; cap <= needed; ++cap) {
          int32_t consumed = 0;
          uint32_t state = 1;
          uint16_t* dst = g.destination.Place<uint16_t>(static_cast<std::size_t>(cap));
          const int32_t r = CV_MultiByteToWideChar(cp, 0, src, len, dst, cap, &consumed, &state);
          ASSERT_TRUE(g.destination.CanaryIntact()) << cp << " cap " << cap;
          ASSERT_GE(r, 0) << cp << " cap " << cap;
          ASSERT_TRUE(cap == 0 || r <= cap) << cp;
          ASSERT_LE(consumed, static_cast<int32_t>(bytes.size())) << cp;
        }
      }
    }
  }
}

TEST(Bounds, WideCharToMultiByte) {
  Guards g;
  const std::vector<uint16_t> texts[] = {kSampleText, {0x3042, 'a', 0x3044}, {0xDC00}};
  for (uint32_t cp : CodePagesUnderTest()) {
    for (const std::vector<uint16_t>& text : texts) {
      for (bool nul : {false, true}) {
        const uint16_t* src = PlaceSource(g.source, text, nul);
        const int32_t len = nul ? -1 : static_cast<int32_t>(text.size());
        const int32_t needed = static_cast<int32_t>(3 * text.size() + 8);
        // A negative capacity offers no bytes at all, not even to 2023's detector, which reads
        // the destination as it stands.
        for (int32_t cap = -2; cap <= needed; ++cap) {
          int32_t used = 0;
          uint8_t* dst = g.destination.Place<uint8_t>(static_cast<std::size_t>(std::max(cap, 0)));
          const int32_t r = CV_WideCharToMultiByte(cp, 0, src, len, dst, cap, "?", &used);
          ASSERT_TRUE(g.destination.CanaryIntact()) << cp << " cap " << cap;
          ASSERT_GE(r, 0) << cp;
          ASSERT_TRUE(cap <= 0 || r <= cap) << cp << " cap " << cap;
        }
      }
    }
  }
}

TEST(Bounds, MeasuringAndDetectingReadNoFurtherThanTheText) {
  Guards g;
  for (uint32_t cp : CodePagesUnderTest()) {
    for (const std::vector<uint8_t>& bytes : ByteSources(cp)) {
      for (std::size_t cut = 0; cut <= bytes.size(); ++cut) {
        const std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + static_cast<long>(cut));
        for (bool nul : {false, true}) {
          const uint8_t* src = PlaceSource(g.source, prefix, nul);
          const int32_t len = nul ? -1 : static_cast<int32_t>(cut);
          int32_t consumed = -2;
          EXPECT_GE(CV_StrLength(cp, src, len, &consumed), 0);
          EXPECT_LE(consumed, static_cast<int32_t>(cut)) << cp;
          uint32_t confident = 0;
          CV_JapaneseAutoDetect(src, len, &confident);
        }
      }
    }
  }
}

TEST(Bounds, Utf8Codec) {
  Guards g;
  std::vector<uint8_t> utf8(64);
  utf8.resize(static_cast<std::size_t>(CV_WideCharToUTF8(
      kSampleText.data(), static_cast<int32_t>(kSampleText.size()), utf8.data(), 64)));
  const std::vector<uint8_t> broken{'a', 0xF0, 0x9F, 0x98, 0x80, 'b', 0xE3, 0x81};
  for (const std::vector<uint8_t>& bytes : {utf8, broken}) {
    for (bool nul : {false, true}) {
      const uint8_t* src = PlaceSource(g.source, bytes, nul);
      const int32_t len = nul ? -1 : static_cast<int32_t>(bytes.size());
      for (int32_t cap = 0; cap <= static_cast<int32_t>(bytes.size()) + 3; ++cap) {
        uint16_t* dst = g.destination.Place<uint16_t>(static_cast<std::size_t>(cap));
        EXPECT_GE(CV_UTF8ToWideChar(src, len, dst, cap), 1);
        ASSERT_TRUE(g.destination.CanaryIntact()) << "cap " << cap;
      }
    }
  }
  for (bool nul : {false, true}) {
    const uint16_t* src = PlaceSource(g.source, kSampleText, nul);
    const int32_t len = nul ? -1 : static_cast<int32_t>(kSampleText.size());
    for (int32_t cap = 0; cap <= static_cast<int32_t>(3 * kSampleText.size()) + 3; ++cap) {
      uint8_t* dst = g.destination.Place<uint8_t>(static_cast<std::size_t>(cap));
      const int32_t r = CV_WideCharToUTF8(src, len, dst, cap);
      EXPECT_TRUE(cap == 0 || r <= cap) << "cap " << cap;
      ASSERT_TRUE(g.destination.CanaryIntact()) << "cap " << cap;
    }
  }
}

TEST(Bounds, NamesFitTwentyBytes) {
  Guards g;
  std::vector<uint32_t> pages = CodePagesUnderTest();
  pages.insert(pages.end(), {65000, 1200, 28593, 10081, 0xFFFFFFFF});
  for (uint32_t cp : pages) {
    char* name = g.destination.Place<char>(20);
    if (CV_CodePageIDToName(cp, name) == 1) {
      EXPECT_NE(std::memchr(name, 0, 20), nullptr) << cp;
      // The name read back ends at the guard page when it is 19 characters long.
      std::string copy(name);
      EXPECT_EQ(CV_CodePageNameToID(
                    PlaceSource(g.source, std::vector<char>(copy.begin(), copy.end()), true)),
                cp);
    }
    ASSERT_TRUE(g.destination.CanaryIntact()) << cp;
  }
}

}  // namespace
