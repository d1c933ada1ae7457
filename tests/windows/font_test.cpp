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

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "corvane.h"
#include "platform/platform.h"
#include "platform/platform_font.h"

namespace corvane {
namespace {

std::vector<LogFontA> Enumerate(const char* face, std::size_t stopAfter = 0) {
  LogFontA request{};
  std::strncpy(request.lfFaceName, face, sizeof request.lfFaceName - 1);
  struct Listing {
    std::vector<LogFontA> fonts;
    std::size_t stopAfter;
  } listing{{}, stopAfter};
  const auto collect = [](const LogFontA& font, void* context) {
    Listing& l = *static_cast<Listing*>(context);
    l.fonts.push_back(font);
    return l.fonts.size() == l.stopAfter ? 0 : 1;
  };
  platform::EnumerateFonts(request, collect, &listing);
  return listing.fonts;
}

LogFontA WinesStockInterfaceFont() {
  LogFontA font{};
  font.lfHeight = -11;
  font.lfWeight = 400;
  font.lfCharSet = 0;
  font.lfPitchAndFamily = 0x22;
  std::strcpy(font.lfFaceName, "MS Shell Dlg");
  return font;
}

std::string Describe(const LogFontA& f) {
  return std::string(f.lfFaceName, strnlen(f.lfFaceName, sizeof f.lfFaceName)) +
         " h=" + std::to_string(f.lfHeight) + " w=" + std::to_string(f.lfWidth) +
         " esc=" + std::to_string(f.lfEscapement) + " or=" + std::to_string(f.lfOrientation) +
         " wt=" + std::to_string(f.lfWeight) + " it=" + std::to_string(f.lfItalic) +
         " ul=" + std::to_string(f.lfUnderline) + " so=" + std::to_string(f.lfStrikeOut) +
         " cs=" + std::to_string(f.lfCharSet) + " out=" + std::to_string(f.lfOutPrecision) +
         " clip=" + std::to_string(f.lfClipPrecision) + " q=" + std::to_string(f.lfQuality) +
         " pf=" + std::to_string(f.lfPitchAndFamily);
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

TEST(WindowsFonts, StockInterfaceFontIsWinesDefaultGuiFont) {
  LogFontA stock;
  std::memset(&stock, 0xA5, sizeof stock);
  ASSERT_TRUE(platform::DescribeStockInterfaceFont(&stock, 0));
  EXPECT_EQ(Describe(stock), Describe(WinesStockInterfaceFont()));
}

TEST(WindowsFonts, RealFontIsTheStockFontSinceNoMicrosoftSansSerifIsInstalled) {
  const CV_LOGFONTA* font = CV_RealFont();
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(CV_RealFont(), font);
  EXPECT_EQ(Describe(*font), Describe(WinesStockInterfaceFont()));
  const LogFontA expected = WinesStockInterfaceFont();
  EXPECT_EQ(std::memcmp(font, &expected, sizeof expected), 0) << "every byte, the face's too";
}

}  // namespace
}  // namespace corvane
