// The default interface font through the font double: which enumerated font is accepted, what
// the cache then says, and the order of the fallbacks.
#include "font/default_font.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "corvane.h"
#include "tests/support/font_double.h"
#include "tests/support/platform_double.h"

namespace corvane {
namespace {

using font_double::g_state;

constexpr std::uint8_t kProp = 0x21;  // FF_SWISS with the low (proportional) bit
constexpr char kMss[] = "Microsoft Sans Serif";

// An all-zero record with these fields set, the face cut to 31 bytes; by default an enumerated
// font that passes every rejection rule but the character set.
LogFontA Ok(const char* face, std::uint8_t charSet, std::uint8_t pitch = kProp,
            std::uint8_t precision = 3) {
  LogFontA font{};
  std::string_view(face).copy(font.lfFaceName, sizeof font.lfFaceName - 1);
  font.lfCharSet = charSet;
  font.lfPitchAndFamily = pitch;
  font.lfOutPrecision = precision;
  return font;
}

// An accepted font as the cache must hold it: every field 0 but these four.
LogFontA Took(const char* face, std::uint8_t charSet) {
  LogFontA font = Ok(face, charSet, 0, 0);
  font.lfHeight = -10;
  font.lfWeight = 400;
  return font;
}

bool SameBytes(const LogFontA& a, const LogFontA& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

class DefaultFont : public ::testing::Test {
 protected:
  void TearDown() override {
    platform_double::Reset();
    g_state = {};
  }
};

enum Stock { kNoStock, kStock, kStockSecondTime };

TEST_F(DefaultFont, ChoiceAndFallbacks) {
  // A stock description with every byte set, so that only a whole copy of it matches.
  LogFontA stock;
  std::memset(&stock, 0x11, sizeof stock);
  std::memcpy(stock.lfFaceName, "Tahoma", 7);
  // ANSI code page, enumerated fonts, stock font, the cache's font, and the steps taken: 1, the
  // preferred face; 2, then the stock font; 3, then any face and the stock font once more. Which
  // character set a code page wants is GetCharSet's, tested with the names.
  // clang-format off
  const std::tuple<unsigned, std::vector<LogFontA>, Stock, LogFontA, int, const char*> rows[] = {
      {1252, {Ok(kMss, 0)}, kStock, Took(kMss, 0), 1, "1252 wants 0; four fields kept"},
      {932, {Ok(kMss, 0), Ok(kMss, 128)}, kStock, Took(kMss, 128), 1, "932 wants 128"},
      {1251, {Ok(kMss, 204), Ok(kMss, 0)}, kStock, Took(kMss, 0), 1, "1251 wants 0, not 204"},
      {1252, {Ok(kMss, 0, 0x30)}, kStock, stock, 2, "fixed pitch: low pitch bit clear"},
      {1252, {Ok(kMss, 0, kProp, 1)}, kStock, stock, 2, "raster: precision 1"},
      {1252, {Ok(kMss, 0, kProp, 0)}, kStock, Took(kMss, 0), 1, "only 1 is raster"},
      {932, {Ok("@G", 128), Ok("G", 0), Ok("G", 128)}, kNoStock, Took("G", 128), 3, "'@' never"},
      {1252, {Ok("Arial", 0)}, kStockSecondTime, stock, 3, "the late stock font wins"},
      {1252, {Ok("@A", 0), Ok("B", 0, kProp, 1), Ok("C", 128)}, kNoStock, {}, 3, "all rejected"},
  };
  // clang-format on
  for (const auto& [ansiCodePage, fonts, stocked, expected, steps, why] : rows) {
    SCOPED_TRACE(why);
    g_state = {};
    g_state.fonts = fonts;
    g_state.stock = stocked != kNoStock ? std::optional(stock) : std::nullopt;
    g_state.stockFailures = stocked == kStockSecondTime ? 1 : 0;
    platform_double::SetAnsiCodePage(ansiCodePage);

    DefaultFontCache cache{};
    EXPECT_EQ(RealFont(cache), &cache.font);
    EXPECT_TRUE(SameBytes(cache.font, expected)) << cache.font.lfFaceName;
    // Every byte of a request is 0 but DEFAULT_CHARSET and the face: the preferred, then none.
    const std::vector<LogFontA> requests = std::exchange(g_state.enumerations, {});
    ASSERT_EQ(requests.size(), steps == 3 ? 2u : 1u);
    EXPECT_TRUE(SameBytes(requests.front(), Ok(kMss, 1, 0, 0)));
    EXPECT_TRUE(SameBytes(requests.back(), Ok(steps == 3 ? "" : kMss, 1, 0, 0)));
    EXPECT_EQ(std::exchange(g_state.stockCalls, 0), steps - 1);
    // The cache is final, whatever was found: a second call asks the system nothing.
    EXPECT_EQ(RealFont(cache), &cache.font);
    EXPECT_TRUE(g_state.enumerations.empty() && g_state.stockCalls == 0);
  }
}

// Acceptance clears the whole record before writing its four fields, cuts a face name that
// fills its whole field to 31 bytes, and ends the enumeration.
TEST_F(DefaultFont, AcceptanceClearsTheCacheAndCutsAFullFace) {
  LogFontA full = Ok("", 0);
  std::memset(full.lfFaceName, 'A', sizeof full.lfFaceName);
  DefaultFontCache cache{};
  std::memset(&cache.font, 0x5A, sizeof cache.font);
  FontAcceptance acceptance{&cache, 0};
  EXPECT_EQ(AcceptDefaultFont(full, &acceptance), 0);
  EXPECT_TRUE(SameBytes(cache.font, Took(std::string(31, 'A').c_str(), 0)));
  EXPECT_EQ(cache.cached, 1u);
}

// The process-wide cache behind CV_RealFont. No other unit test calls CV_RealFont, so the calls
// here are the first of the process: several threads make them at once, and exactly one of them
// enumerates.
TEST_F(DefaultFont, ExportFillsOnceAcrossThreads) {
  platform_double::SetAnsiCodePage(936);
  g_state.fonts = {Ok(kMss, 0), Ok(kMss, 134)};
  std::vector<const CV_LOGFONTA*> seen(8, nullptr);
  std::vector<std::thread> threads;
  for (const CV_LOGFONTA*& font : seen)
    threads.emplace_back([&font] { font = CV_RealFont(); });
  for (std::thread& t : threads)
    t.join();
  ASSERT_NE(seen[0], nullptr);
  EXPECT_EQ(std::count(seen.begin(), seen.end(), seen[0]), 8);
  EXPECT_TRUE(SameBytes(*seen[0], Took(kMss, 134))) << seen[0]->lfFaceName;
  EXPECT_EQ(g_state.enumerations.size(), 1u);
}

}  // namespace
}  // namespace corvane
