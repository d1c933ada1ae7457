// The default interface font through the font double: which enumerated font is accepted, what
// the cache then says, and the order of the fallbacks.
#include "font/default_font.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "corvane.h"
#include "tests/support/font_double.h"
#include "tests/support/platform_double.h"

namespace corvane {
namespace {

using font_double::MakeFont;

constexpr std::uint8_t kProportional = 0x21;  // FF_SWISS with the low (proportional) bit
constexpr std::uint8_t kOutline = 3;
constexpr std::uint8_t kRaster = 1;
constexpr char kMss[] = "Microsoft Sans Serif";

LogFontA Ok(const char* face, std::uint8_t charSet) {
  return MakeFont(face, charSet, kProportional, kOutline);
}

// An accepted font as the cache must hold it: every field 0 but these four.
LogFontA Accepted(const char* face, std::uint8_t charSet) {
  LogFontA font = MakeFont(face, charSet, 0, 0);
  font.lfHeight = -10;
  font.lfWeight = 400;
  return font;
}

// A stock font description with every field set, so that a copy of it is recognisable.
LogFontA Stock(const char* face, std::uint8_t charSet) {
  LogFontA font = MakeFont(face, charSet, 0x22, 3);
  font.lfHeight = -11;
  font.lfWidth = 7;
  font.lfEscapement = 1;
  font.lfOrientation = 2;
  font.lfWeight = 400;
  font.lfItalic = 1;
  font.lfUnderline = 1;
  font.lfStrikeOut = 1;
  font.lfClipPrecision = 2;
  font.lfQuality = 5;
  return font;
}

LogFontA Zero() {
  return MakeFont("", 0, 0, 0);
}

bool SameBytes(const LogFontA& a, const LogFontA& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

std::string Describe(const LogFontA& f) {
  return "{face \"" + std::string(f.lfFaceName) + "\" h " + std::to_string(f.lfHeight) + " w " +
         std::to_string(f.lfWeight) + " cs " + std::to_string(f.lfCharSet) + "}";
}

struct FontRow {
  const char* why;
  std::uint32_t ansiCodePage;
  std::vector<LogFontA> fonts;
  std::vector<std::optional<LogFontA>> stockAnswers;  // empty = the stock font always fails
  LogFontA expected;
  std::vector<std::string> enumeratedFaces;  // the request face of each enumeration, in order
  int stockCalls;
};

std::vector<FontRow> Rows() {
  const LogFontA stockJa = Stock("MS UI Gothic", 128);
  const LogFontA stockLatin = Stock("Tahoma", 0);
  return {
      {"1252: the preferred face in the ANSI set is accepted and only four fields are kept",
       1252,
       {Ok(kMss, 0)},
       {stockLatin},
       Accepted(kMss, 0),
       {kMss},
       0},
      {"932 wants 128: the ANSI entry of the face is passed over",
       932,
       {Ok(kMss, 0), Ok(kMss, 128)},
       {stockJa},
       Accepted(kMss, 128),
       {kMss},
       0},
      {"932 and the face has no 128 entry: the stock description, all of it",
       932,
       {Ok(kMss, 0), Ok("MS Gothic", 128)},
       {stockJa},
       stockJa,
       {kMss},
       1},
      {"1251 wants 0, not the Cyrillic set 204",
       1251,
       {Ok(kMss, 204), Ok(kMss, 0)},
       {stockLatin},
       Accepted(kMss, 0),
       {kMss},
       0},
      {"1251 with only a Cyrillic entry falls back to the stock font",
       1251,
       {Ok(kMss, 204)},
       {stockLatin},
       stockLatin,
       {kMss},
       1},
      {"936 wants 134",
       936,
       {Ok(kMss, 0), Ok(kMss, 128), Ok(kMss, 129), Ok(kMss, 134)},
       {stockLatin},
       Accepted(kMss, 134),
       {kMss},
       0},
      {"949 wants 129",
       949,
       {Ok(kMss, 134), Ok(kMss, 136), Ok(kMss, 129)},
       {stockLatin},
       Accepted(kMss, 129),
       {kMss},
       0},
      {"950 wants 136",
       950,
       {Ok(kMss, 134), Ok(kMss, 129), Ok(kMss, 136)},
       {stockLatin},
       Accepted(kMss, 136),
       {kMss},
       0},
      {"a face without the low pitch bit is rejected",
       1252,
       {MakeFont(kMss, 0, 0x32, kOutline)},
       {stockLatin},
       stockLatin,
       {kMss},
       1},
      {"only the low pitch bit counts",
       1252,
       {MakeFont(kMss, 0, 0x01, kOutline)},
       {stockLatin},
       Accepted(kMss, 0),
       {kMss},
       0},
      {"a raster font (output precision 1) is rejected",
       1252,
       {MakeFont(kMss, 0, kProportional, kRaster)},
       {stockLatin},
       stockLatin,
       {kMss},
       1},
      {"only output precision 1 marks a raster font",
       1252,
       {MakeFont(kMss, 0, kProportional, 0), MakeFont(kMss, 0, kProportional, 2)},
       {stockLatin},
       Accepted(kMss, 0),
       {kMss},
       0},
      {"no stock font: any face that passes, '@' faces never",
       932,
       {Ok("@MS Gothic", 128), Ok("MS Gothic", 0), Ok("MS Gothic", 128)},
       {},
       Accepted("MS Gothic", 128),
       {kMss, ""},
       2},
      {"no stock font at first: the second stock description replaces the enumerated face",
       1252,
       {Ok("Arial", 0)},
       {std::nullopt, stockLatin},
       stockLatin,
       {kMss, ""},
       2},
      {"nothing anywhere: all zero", 1252, {}, {}, Zero(), {kMss, ""}, 2},
      {"nothing passes anywhere: all zero",
       1252,
       {Ok("@Arial", 0), MakeFont("Fixedsys", 0, kProportional, kRaster), Ok("Arial", 128)},
       {},
       Zero(),
       {kMss, ""},
       2},
  };
}

class DefaultFont : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_double::Reset();
    font_double::Reset();
  }
  void TearDown() override {
    platform_double::Reset();
    font_double::Reset();
  }
};

TEST_F(DefaultFont, ChoiceAndFallbacks) {
  for (const FontRow& row : Rows()) {
    SCOPED_TRACE(row.why);
    font_double::Reset();
    platform_double::SetAnsiCodePage(row.ansiCodePage);
    font_double::SetFonts(row.fonts);
    font_double::SetStockFonts(row.stockAnswers);

    DefaultFontCache cache{};
    const LogFontA* font = RealFont(cache);

    EXPECT_EQ(font, &cache.font);
    EXPECT_EQ(cache.cached, 1u);
    EXPECT_TRUE(SameBytes(*font, row.expected))
        << Describe(*font) << " expected " << Describe(row.expected);
    const std::vector<font_double::Enumeration> enumerations = font_double::TakeEnumerations();
    ASSERT_EQ(enumerations.size(), row.enumeratedFaces.size());
    for (std::size_t i = 0; i < enumerations.size(); ++i) {
      // Every byte of the request is 0 but DEFAULT_CHARSET and the face.
      LogFontA request = MakeFont(row.enumeratedFaces[i].c_str(), 1, 0, 0);
      EXPECT_TRUE(SameBytes(enumerations[i].request, request))
          << "request " << i << ": " << Describe(enumerations[i].request);
    }
    EXPECT_EQ(font_double::TakeStockFontCalls(), row.stockCalls);
  }
}

TEST_F(DefaultFont, AcceptanceEndsTheEnumeration) {
  font_double::SetFonts({Ok(kMss, 0), Ok(kMss, 0), Ok(kMss, 0)});
  DefaultFontCache cache{};
  RealFont(cache);
  const std::vector<font_double::Enumeration> enumerations = font_double::TakeEnumerations();
  ASSERT_EQ(enumerations.size(), 1u);
  EXPECT_EQ(enumerations[0].delivered, 1);
}

// Acceptance clears the whole record before writing its four fields.
TEST_F(DefaultFont, AcceptanceClearsWhatTheCacheHeld) {
  font_double::SetFonts({Ok(kMss, 0)});
  DefaultFontCache cache{};
  std::memset(&cache.font, 0x5A, sizeof cache.font);
  RealFont(cache);
  EXPECT_TRUE(SameBytes(cache.font, Accepted(kMss, 0))) << Describe(cache.font);
}

// A face name that fills its whole field reaches the cache cut to 31 bytes and terminated.
TEST_F(DefaultFont, UnterminatedFaceIsCutInTheCache) {
  LogFontA full = Ok("", 0);
  std::memset(full.lfFaceName, 'A', sizeof full.lfFaceName);
  font_double::SetStockFonts({});
  DefaultFontCache cache{};
  FontAcceptance acceptance{&cache, 0};
  EXPECT_EQ(AcceptDefaultFont(full, &acceptance), 0);
  EXPECT_EQ(std::string(cache.font.lfFaceName), std::string(31, 'A'));
}

TEST_F(DefaultFont, SecondCallReturnsTheSameRecordWithoutEnumerating) {
  platform_double::SetAnsiCodePage(932);
  font_double::SetFonts({Ok(kMss, 128)});
  DefaultFontCache cache{};
  const LogFontA* first = RealFont(cache);
  const LogFontA before = *first;
  font_double::TakeEnumerations();

  // What the system says now no longer matters.
  platform_double::SetAnsiCodePage(1252);
  font_double::SetFonts({Ok(kMss, 0)});
  font_double::SetStockFonts({Stock("Tahoma", 0)});
  EXPECT_EQ(RealFont(cache), first);
  EXPECT_TRUE(SameBytes(*first, before));
  EXPECT_TRUE(font_double::TakeEnumerations().empty());
  EXPECT_EQ(font_double::TakeStockFontCalls(), 0);
}

// The process-wide cache behind CV_RealFont. No other unit test calls CV_RealFont, so the calls
// here are the first of the process: several threads make them at once, and exactly one of them
// enumerates.
TEST_F(DefaultFont, ExportFillsOnceAcrossThreadsAndNeverAgain) {
  platform_double::SetAnsiCodePage(936);
  font_double::SetFonts({Ok(kMss, 0), Ok(kMss, 134)});

  constexpr int kThreads = 8;
  std::vector<const CV_LOGFONTA*> seen(kThreads, nullptr);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) {
    threads.emplace_back([&seen, i] { seen[static_cast<std::size_t>(i)] = CV_RealFont(); });
  }
  for (std::thread& t : threads)
    t.join();

  for (const CV_LOGFONTA* font : seen)
    EXPECT_EQ(font, seen[0]);
  ASSERT_NE(seen[0], nullptr);
  EXPECT_TRUE(SameBytes(*seen[0], Accepted(kMss, 134))) << Describe(*seen[0]);
  EXPECT_EQ(font_double::TakeEnumerations().size(), 1u);

  font_double::SetFonts({});
  EXPECT_EQ(CV_RealFont(), seen[0]);
  EXPECT_TRUE(font_double::TakeEnumerations().empty());
  EXPECT_EQ(font_double::TakeStockFontCalls(), 0);
}

}  // namespace
}  // namespace corvane
