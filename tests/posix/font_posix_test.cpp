// The font services against this machine's real fontconfig. The project's dependency script
// installs fonts-dejavu-core, whose families these tests expect; a machine without it fails here
// rather than passing on an empty font list.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "codepages/charset_names.h"
#include "platform/platform.h"
#include "platform/platform_font.h"

namespace corvane {
namespace {

// The fonts enumerated for a face ("": every face; only the face of a request is read), the
// callback ending the enumeration after stopAfter fonts.
std::vector<LogFontA> Enumerate(const char* face, std::size_t stopAfter = 0) {
  LogFontA request{};
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

// Every family once per character set it covers; a face name restricts the enumeration,
// ignoring case, to that very family, reported by its own name; the callback's 0 ends it. The
// stock font is an installed face, in the wanted character set or 0, -11 high, of weight 400,
// every other field 0 and the face terminated.
TEST(FontconfigFonts, EnumerationAndStockFont) {
  const std::vector<LogFontA> fonts = Enumerate("");
  ASSERT_GT(fonts.size(), 1u) << "fontconfig lists no font; is fonts-dejavu-core installed?";
  std::set<std::pair<std::string, int>> seen;
  for (const LogFontA& font : fonts)
    EXPECT_TRUE(seen.insert({font.lfFaceName, font.lfCharSet}).second) << font.lfFaceName;
  EXPECT_EQ(Enumerate("", 1).size(), 1u);
  // Character set, pitch and precision of the first font: Latin coverage reported first, fixed
  // pitch (proportional for the other family), scalable.
  const LogFontA mono = Enumerate("DEJAVU sans mono").at(0);
  EXPECT_STREQ(mono.lfFaceName, "DejaVu Sans Mono");
  EXPECT_EQ(std::tie(mono.lfCharSet, mono.lfPitchAndFamily, mono.lfOutPrecision),
            std::make_tuple(0, 0, 3));
  EXPECT_EQ(Enumerate("dejavu sans").at(0).lfPitchAndFamily, 1);
  EXPECT_TRUE(Enumerate("DejaVu").empty()) << "a prefix of a family is not that family";

  LogFontA stock;
  std::memset(&stock, 0x5A, sizeof stock);
  const auto systemCharSet = static_cast<std::uint8_t>(GetCharSet(platform::AnsiCodePage()));
  ASSERT_TRUE(platform::DescribeStockInterfaceFont(&stock, systemCharSet));
  ASSERT_NE(std::memchr(stock.lfFaceName, '\0', sizeof stock.lfFaceName), nullptr);
  EXPECT_FALSE(Enumerate(stock.lfFaceName).empty()) << stock.lfFaceName << " is not installed";
  EXPECT_TRUE(stock.lfCharSet == systemCharSet || stock.lfCharSet == 0);
  EXPECT_EQ(std::tie(stock.lfHeight, stock.lfWeight), std::make_tuple(-11, 400));
  stock.lfHeight = stock.lfWeight = stock.lfCharSet = 0;
  const LogFontA zero{};
  EXPECT_EQ(std::memcmp(&stock, &zero, offsetof(LogFontA, lfFaceName)), 0);
}

}  // namespace
}  // namespace corvane
