// CV_RealFont under Windows' real font services: Wine's GDI in CI, with the fonts of the machine
// (Debian's DejaVu families, which the Windows stage installs).
//
// What Wine gives, looked at once and pinned here: no installed face is called "Microsoft Sans
// Serif" (Windows' own file of that name is not free to ship, and neither DejaVu nor Wine's own
// fonts package has one), so the first enumeration accepts nothing. GetObjectA on DEFAULT_GUI_FONT
// then succeeds with the description Wine builds in for it, which is Windows' own: "MS Shell Dlg"
// (a name that Windows and Wine map to a real face), a character height of 11 (lfHeight -11),
// normal weight, ANSI_CHARSET for the ANSI code page 1252 that Wine derives from the C.UTF-8 locale
// the tests run in, and VARIABLE_PITCH | FF_SWISS (0x22). The library copies that description
// whole, so the result is Windows' stock interface font, not the -10 record the library writes for
// an accepted face.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "corvane.h"
#include "platform/platform.h"
#include "platform/platform_font.h"

namespace corvane {
namespace {

// The fonts enumerated for a face ("": every face), the callback ending it after stopAfter.
std::vector<LogFontA> Enumerate(const char* face, std::size_t stopAfter = 0) {
  LogFontA request{};
  std::strncpy(request.lfFaceName, face, sizeof request.lfFaceName - 1);
  std::pair<std::vector<LogFontA>, std::size_t> listing{{}, stopAfter};
  const auto collect = [](const LogFontA& font, void* context) {
    auto& [fonts, stop] = *static_cast<std::pair<std::vector<LogFontA>, std::size_t>*>(context);
    fonts.push_back(font);
    return fonts.size() == stop ? 0 : 1;
  };
  platform::EnumerateFonts(request, collect, &listing);
  return listing.first;
}

TEST(WindowsFonts, EnumerationSeesTheInstalledFacesAndStopsWhenAsked) {
  EXPECT_TRUE(Enumerate("Microsoft Sans Serif").empty());
  const std::vector<LogFontA> all = Enumerate("");
  ASSERT_FALSE(all.empty()) << "no font at all: are the DejaVu fonts installed?";
  bool dejaVuSans = false;
  for (const LogFontA& font : all) {
    ASSERT_NE(std::memchr(font.lfFaceName, '\0', sizeof font.lfFaceName), nullptr);
    dejaVuSans =
        dejaVuSans || (std::strcmp(font.lfFaceName, "DejaVu Sans") == 0 && font.lfCharSet == 0);
  }
  EXPECT_TRUE(dejaVuSans) << "DejaVu Sans in the ANSI character set";
  EXPECT_EQ(Enumerate("", 1).size(), 1u) << "the callback's 0 ends the enumeration";
  // A face asked for by name comes back under that name only, in every character set it has.
  for (const LogFontA& font : Enumerate("dejavu sans"))
    EXPECT_STREQ(font.lfFaceName, "DejaVu Sans");
}

// The stock font writes every field (over a record of 0xA5 bytes); the library's font is that
// record, every byte of it, the face's too.
TEST(WindowsFonts, StockAndRealFontAreWinesDefaultGuiFont) {
  LogFontA expected{};
  expected.lfHeight = -11;
  expected.lfWeight = 400;
  expected.lfPitchAndFamily = 0x22;
  std::strcpy(expected.lfFaceName, "MS Shell Dlg");
  LogFontA stock;
  std::memset(&stock, 0xA5, sizeof stock);
  ASSERT_TRUE(platform::DescribeStockInterfaceFont(&stock, 0));
  EXPECT_STREQ(stock.lfFaceName, expected.lfFaceName);
  EXPECT_EQ(std::memcmp(&stock, &expected, offsetof(LogFontA, lfFaceName)), 0);
  const CV_LOGFONTA* font = CV_RealFont();
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(CV_RealFont(), font);
  EXPECT_EQ(std::memcmp(font, &expected, sizeof expected), 0) << font->lfFaceName;
}

}  // namespace
}  // namespace corvane
