// The font services against this machine's real fontconfig. The project's dependency script
// installs fonts-dejavu-core, whose families these tests expect; a machine without it fails here
// rather than passing on an empty font list.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "codepages/charset_names.h"
#include "corvane.h"
#include "platform/platform.h"
#include "platform/platform_font.h"

namespace corvane {
namespace {

struct Listing {
  std::vector<LogFontA> fonts;
  std::size_t stopAfter = 0;  // 0 = never stop
};

int Collect(const LogFontA& font, void* context) {
  Listing& listing = *static_cast<Listing*>(context);
  listing.fonts.push_back(font);
  return listing.fonts.size() == listing.stopAfter ? 0 : 1;
}

std::vector<LogFontA> Enumerate(const char* face, std::size_t stopAfter = 0) {
  LogFontA request;
  std::memset(&request, 0, sizeof request);
  request.lfCharSet = kDefaultCharSet;
  std::strncpy(request.lfFaceName, face, sizeof request.lfFaceName - 1);
  Listing listing;
  listing.stopAfter = stopAfter;
  platform::EnumerateFonts(request, Collect, &listing);
  return listing.fonts;
}

const LogFontA* Find(const std::vector<LogFontA>& fonts, const char* face, std::uint8_t charSet) {
  for (const LogFontA& font : fonts) {
    if (std::strcmp(font.lfFaceName, face) == 0 && font.lfCharSet == charSet) return &font;
  }
  return nullptr;
}

bool HasTerminatedFace(const LogFontA& font) {
  return std::memchr(font.lfFaceName, '\0', sizeof font.lfFaceName) != nullptr &&
         font.lfFaceName[0] != '\0';
}

TEST(FontconfigFonts, EachFamilyOncePerCharacterSetWithOnlyItsFieldsSet) {
  const std::vector<LogFontA> fonts = Enumerate("");
  ASSERT_FALSE(fonts.empty()) << "fontconfig lists no font; is fonts-dejavu-core installed?";
  std::set<std::pair<std::string, int>> seen;
  for (const LogFontA& font : fonts) {
    ASSERT_TRUE(HasTerminatedFace(font));
    EXPECT_TRUE(seen.insert({font.lfFaceName, font.lfCharSet}).second)
        << font.lfFaceName << " set " << int{font.lfCharSet} << " reported twice";
    EXPECT_TRUE(std::set<int>({0, 128, 129, 134, 136}).count(font.lfCharSet)) << font.lfFaceName;
    EXPECT_TRUE(font.lfOutPrecision == 1 || font.lfOutPrecision == 3) << font.lfFaceName;
    EXPECT_LE(font.lfPitchAndFamily, 1) << font.lfFaceName;
    EXPECT_EQ(font.lfHeight, 0);
    EXPECT_EQ(font.lfWeight, 0);
  }
  const LogFontA* sans = Find(fonts, "DejaVu Sans", 0);
  ASSERT_NE(sans, nullptr) << "DejaVu Sans covers Western European languages";
  EXPECT_EQ(sans->lfPitchAndFamily & 1, 1) << "proportional";
  EXPECT_EQ(sans->lfOutPrecision, 3) << "scalable";
  const LogFontA* mono = Find(fonts, "DejaVu Sans Mono", 0);
  ASSERT_NE(mono, nullptr);
  EXPECT_EQ(mono->lfPitchAndFamily & 1, 0) << "fixed pitch";
}

TEST(FontconfigFonts, FaceNameRestrictsTheEnumerationIgnoringCase) {
  const std::vector<LogFontA> fonts = Enumerate("dejavu sans");
  ASSERT_FALSE(fonts.empty());
  for (const LogFontA& font : fonts)
    EXPECT_STREQ(font.lfFaceName, "DejaVu Sans");
  EXPECT_TRUE(Enumerate("No Such Family Anywhere").empty());
  EXPECT_TRUE(Enumerate("DejaVu").empty()) << "a prefix of a family is not that family";
}

TEST(FontconfigFonts, CallbackStopsTheEnumeration) {
  ASSERT_GT(Enumerate("").size(), 1u);
  EXPECT_EQ(Enumerate("", 1).size(), 1u);
}

TEST(FontconfigFonts, StockFontIsAnInstalledSansSerifFace) {
  LogFontA stock;
  std::memset(&stock, 0x5A, sizeof stock);
  ASSERT_TRUE(platform::DescribeStockInterfaceFont(&stock));
  EXPECT_EQ(stock.lfHeight, -11);
  EXPECT_EQ(stock.lfWeight, 400);
  EXPECT_EQ(stock.lfWidth, 0);
  EXPECT_EQ(stock.lfPitchAndFamily, 0);
  ASSERT_TRUE(HasTerminatedFace(stock));
  EXPECT_FALSE(Enumerate(stock.lfFaceName).empty()) << stock.lfFaceName << " is not installed";
  const std::uint32_t wanted = GetCharSet(platform::AnsiCodePage());
  EXPECT_TRUE(stock.lfCharSet == wanted || stock.lfCharSet == 0) << int{stock.lfCharSet};
}

// Without "Microsoft Sans Serif" in the wanted set, the exported font is the stock description.
TEST(FontconfigFonts, RealFontIsThePreferredFaceOrTheStockFont) {
  const CV_LOGFONTA* font = CV_RealFont();
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(CV_RealFont(), font);
  const std::uint32_t wanted = GetCharSet(platform::AnsiCodePage());
  const std::vector<LogFontA> preferred = Enumerate("Microsoft Sans Serif");
  const LogFontA* usable = nullptr;
  for (const LogFontA& candidate : preferred) {
    if (candidate.lfCharSet == wanted && (candidate.lfPitchAndFamily & 1) != 0 &&
        candidate.lfOutPrecision != 1) {
      usable = &candidate;
      break;
    }
  }
  if (usable != nullptr) {
    EXPECT_EQ(font->lfHeight, -10);
    EXPECT_STREQ(font->lfFaceName, "Microsoft Sans Serif");
  } else {
    LogFontA stock;
    ASSERT_TRUE(platform::DescribeStockInterfaceFont(&stock));
    EXPECT_EQ(std::memcmp(font, &stock, sizeof stock), 0) << font->lfFaceName;
  }
}

}  // namespace
}  // namespace corvane
