// The font services against this machine's real fontconfig. The project's dependency script
// installs fonts-dejavu-core, whose families these tests expect; a machine without it fails here
// rather than passing on an empty font list.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "codepages/charset_names.h"
#include "platform/platform.h"
#include "platform/platform_font.h"

namespace corvane {
namespace {

// The fonts enumerated for a face ("": every face), the callback ending it after stopAfter.
std::vector<LogFontA> Enumerate(const char* face, std::size_t stopAfter = 0) {
  LogFontA request{};
  request.lfCharSet = kDefaultCharSet;
  std::strncpy(request.lfFaceName, face, sizeof request.lfFaceName - 1);
  std::pair<std::vector<LogFontA>, std::size_t> listing{{}, stopAfter};
  const auto collect = [](const LogFontA& font, void* context) {
    auto& [fonts, stop] = *static_cast<decltype(listing)*>(context);
    fonts.push_back(font);
    return fonts.size() == stop ? 0 : 1;
  };
  platform::EnumerateFonts(request, collect, &listing);
  return listing.first;
}

// Whether the face name is terminated and every field before it is 0.
bool OnlyTheFaceSet(const LogFontA& font) {
  const LogFontA zero{};
  return std::memchr(font.lfFaceName, '\0', sizeof font.lfFaceName) != nullptr &&
         std::memcmp(&font, &zero, offsetof(LogFontA, lfFaceName)) == 0;
}

// Every family once per character set it covers, only its fields set; a face name restricts
// the enumeration, ignoring case, to that very family; the callback's 0 ends it.
TEST(FontconfigFonts, EnumeratesEachFamilyOncePerCharacterSet) {
  const std::vector<LogFontA> fonts = Enumerate("");
  ASSERT_GT(fonts.size(), 1u) << "fontconfig lists no font; is fonts-dejavu-core installed?";
  std::set<std::pair<std::string, int>> seen;
  for (const LogFontA& font : fonts) {
    EXPECT_TRUE(seen.insert({font.lfFaceName, font.lfCharSet}).second) << font.lfFaceName;
    EXPECT_TRUE(std::set<int>({0, 128, 129, 134, 136}).contains(font.lfCharSet));
    EXPECT_TRUE(font.lfOutPrecision == 1 || font.lfOutPrecision == 3) << font.lfFaceName;
    EXPECT_LE(font.lfPitchAndFamily, 1) << font.lfFaceName << ": the pitch bit alone";
    LogFontA rest = font;
    rest.lfCharSet = rest.lfOutPrecision = rest.lfPitchAndFamily = 0;
    EXPECT_TRUE(OnlyTheFaceSet(rest)) << font.lfFaceName;
  }
  EXPECT_EQ(Enumerate("", 1).size(), 1u);

  const std::vector<LogFontA> mono = Enumerate("DEJAVU sans mono");
  ASSERT_FALSE(mono.empty());
  for (const LogFontA& font : mono)
    EXPECT_STREQ(font.lfFaceName, "DejaVu Sans Mono");
  EXPECT_EQ(mono[0].lfCharSet, 0) << "Latin coverage, reported first";
  EXPECT_EQ(mono[0].lfPitchAndFamily, 0) << "fixed pitch";
  EXPECT_EQ(mono[0].lfOutPrecision, 3) << "scalable";
  EXPECT_EQ(Enumerate("dejavu sans").at(0).lfPitchAndFamily, 1) << "proportional";
  EXPECT_TRUE(Enumerate("DejaVu").empty()) << "a prefix of a family is not that family";
}

// The stock font: an installed face, in the wanted character set or 0, -11 high, of weight 400.
TEST(FontconfigFonts, StockFontIsAnInstalledSansSerifFace) {
  LogFontA stock;
  std::memset(&stock, 0x5A, sizeof stock);
  ASSERT_TRUE(platform::DescribeStockInterfaceFont(&stock));
  EXPECT_FALSE(Enumerate(stock.lfFaceName).empty()) << stock.lfFaceName << " is not installed";
  const std::uint32_t wanted = GetCharSet(platform::AnsiCodePage());
  EXPECT_TRUE(stock.lfCharSet == wanted || stock.lfCharSet == 0) << int{stock.lfCharSet};
  EXPECT_EQ(stock.lfHeight, -11);
  EXPECT_EQ(stock.lfWeight, 400);
  stock.lfHeight = stock.lfWeight = stock.lfCharSet = 0;
  EXPECT_TRUE(OnlyTheFaceSet(stock)) << "every other field is 0";
}

}  // namespace
}  // namespace corvane
