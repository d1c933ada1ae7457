// Every export that reads or writes a caller's buffer, with that buffer ending exactly at a page
// the process may not touch: one byte read or written past the end faults. A canary in front of
// each destination catches a write before it. Destinations are offered every capacity from 0 to
// a few units past what the text needs, for every registered code page and every number with a
// road of its own, in both length modes; sources end at a guard page too.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "corvane.h"
#include "guarded_pages.h"

namespace {

// Memory that ends at a guard page (guarded_pages.h), kept for the whole program. Place() copies
// an object so that it ends right at that page and puts a canary in the bytes before it.
class GuardedRegion {
 public:
  static constexpr std::size_t kCanary = 64;

  // count elements ending at the guard page: a copy of contents, or 0xEE bytes.
  template <typename T>
  T* Place(std::size_t count, const T* contents = nullptr) {
    start_ = guard_ - count * sizeof(T);
    std::memset(start_ - kCanary, 0xA5, kCanary);
    std::memset(start_, 0xEE, count * sizeof(T));
    if (contents != nullptr) std::memcpy(start_, contents, count * sizeof(T));
    return reinterpret_cast<T*>(start_);
  }

  bool CanaryIntact() const {
    return std::all_of(start_ - kCanary, start_, [](unsigned char c) { return c == 0xA5; });
  }

 private:
  unsigned char* guard_ = corvane::hardening::ReserveGuardPage(1 << 16);
  unsigned char* start_ = nullptr;
};

GuardedRegion g_source, g_destination;

std::vector<uint32_t> CodePagesUnderTest() {
  std::vector<uint32_t> pages;
  for (uint32_t cp = 1; cp < 100000; ++cp)
    if (CV_IsValidCodePage(cp) == 1) pages.push_back(cp);
  // UTF-8, the pseudo code pages, a number only the system converts, one nobody converts.
  pages.insert(pages.end(), {65001, 2023, 0, 3, 874, 12345});
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

// Offers call(src, len, dst, cap) every capacity from `lowest` to a few units past what the text
// can need, the text ending at the guard page, counted and then with its terminator there (length
// -1). call answers whether its result is one that capacity allows.
template <typename Out, typename In, typename Call>
void Sweep(std::vector<In> text, int32_t lowest, Call call) {
  const auto size = static_cast<int32_t>(text.size());
  for (const int32_t len : {size, -1}) {
    if (len == -1) text.push_back(0);
    const In* src = g_source.Place(text.size(), text.data());
    for (int32_t cap = lowest; cap <= 3 * size + 8; ++cap) {
      Out* dst = g_destination.Place<Out>(static_cast<std::size_t>(std::max(cap, 0)));
      ASSERT_TRUE(call(src, len, dst, cap)) << "length " << len << ", capacity " << cap;
      ASSERT_TRUE(g_destination.CanaryIntact()) << "length " << len << ", capacity " << cap;
    }
  }
}

// Without its guard page every test below would pass whatever the library did.
TEST(Bounds, TheGuardPageIsInForce) {
  const unsigned char* last = g_destination.Place<unsigned char>(1);
  EXPECT_TRUE(corvane::hardening::ProcessMayRead(last));
  EXPECT_FALSE(corvane::hardening::ProcessMayRead(last + 1));
}

// The general conversions at every capacity, measuring and detection on the text cut anywhere.
TEST(Bounds, EveryCodePage) {
  const std::vector<uint16_t> texts[] = {kSampleText, {0x3042, 'a', 0x3044}, {0xDC00}};
  for (uint32_t cp : CodePagesUnderTest()) {
    SCOPED_TRACE(cp);
    for (const std::vector<uint8_t>& bytes : ByteSources(cp)) {
      const auto size = static_cast<int32_t>(bytes.size());
      Sweep<uint16_t>(bytes, 0, [&](const uint8_t* src, int32_t len, uint16_t* dst, int32_t cap) {
        int32_t consumed = 0;
        uint32_t state = 1;
        const int32_t r = CV_MultiByteToWideChar(cp, 0, src, len, dst, cap, &consumed, &state);
        return r >= 0 && (cap == 0 || r <= cap) && consumed <= size;
      });
      for (int32_t cut = 0; cut <= size; ++cut) {
        std::vector<uint8_t> prefix(bytes.begin(), bytes.begin() + cut);
        for (const int32_t len : {cut, -1}) {
          if (len == -1) prefix.push_back(0);
          const uint8_t* src = g_source.Place(prefix.size(), prefix.data());
          int32_t consumed = -2;
          uint32_t confident = 0;
          EXPECT_GE(CV_StrLength(cp, src, len, &consumed), 0);
          EXPECT_LE(consumed, cut);
          CV_JapaneseAutoDetect(src, len, &confident);
        }
      }
    }
    // A negative capacity offers no bytes at all, not even to 2023's detector, which reads the
    // destination as it stands.
    for (const std::vector<uint16_t>& text : texts) {
      Sweep<uint8_t>(text, -2, [&](const uint16_t* src, int32_t len, uint8_t* dst, int32_t cap) {
        int32_t used = 0;
        const int32_t r = CV_WideCharToMultiByte(cp, 0, src, len, dst, cap, "?", &used);
        return r >= 0 && (cap <= 0 || r <= cap);
      });
    }
  }
}

// UTF-8 decoded whole and cut inside a character, and encoded.
TEST(Bounds, Utf8Codec) {
  const std::vector<uint8_t> broken{'a', 0xF0, 0x9F, 0x98, 0x80, 'b', 0xE3, 0x81};
  for (const std::vector<uint8_t>& bytes : {ByteSources(65001)[0], broken}) {
    Sweep<uint16_t>(bytes, 0, [](const uint8_t* src, int32_t len, uint16_t* dst, int32_t cap) {
      return CV_UTF8ToWideChar(src, len, dst, cap) >= 1;
    });
  }
  Sweep<uint8_t>(kSampleText, 0, [](const uint16_t* src, int32_t len, uint8_t* dst, int32_t cap) {
    return cap == 0 || CV_WideCharToUTF8(src, len, dst, cap) <= cap;
  });
}

TEST(Bounds, NamesFitTwentyBytes) {
  // Every number a name may stand for, and the name table's terminator.
  for (uint32_t i = 0; i <= 100000; ++i) {
    const uint32_t cp = i < 100000 ? i : 0xFFFFFFFF;
    char* name = g_destination.Place<char>(20);
    if (CV_CodePageIDToName(cp, name) == 1) {
      const auto* end = static_cast<const char*>(std::memchr(name, 0, 20));
      ASSERT_NE(end, nullptr) << cp;
      // Read back from a copy ending at the guard page, as a 19-character name's terminator does.
      EXPECT_EQ(CV_CodePageNameToID(g_source.Place(static_cast<std::size_t>(end - name) + 1, name)),
                cp);
    }
    ASSERT_TRUE(g_destination.CanaryIntact()) << cp;
  }
}

}  // namespace
