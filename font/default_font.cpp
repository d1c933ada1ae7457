#include "font/default_font.h"

#include <cstring>

#include "codepages/charset_names.h"
#include "platform/platform.h"

namespace corvane {
namespace {

constexpr int kNextFont = 1;
constexpr int kStopEnumeration = 0;

constexpr std::size_t kFaceNameSize = sizeof(LogFontA{}.lfFaceName);

// Copies a face name and its NUL, nothing after it, so a zeroed record stays zero past the name.
// A name that fills its whole field without a NUL is cut to keep the copy terminated.
void CopyFaceName(char (&to)[kFaceNameSize], const char* from) {
  std::size_t i = 0;
  for (; i + 1 < kFaceNameSize && from[i] != '\0'; ++i)
    to[i] = from[i];
  to[i] = '\0';
}

// A request for every character set of one face, or of every face when face is empty.
LogFontA MakeFontRequest(const char* face) {
  LogFontA request;
  std::memset(&request, 0, sizeof request);
  request.lfCharSet = kDefaultCharSet;
  CopyFaceName(request.lfFaceName, face);
  return request;
}

// The platform writes the record only when it can describe the stock font, so a failure leaves
// the cache as it was, whatever the enumeration put there.
bool CopyStockFontInto(DefaultFontCache& cache) {
  return platform::DescribeStockInterfaceFont(
      &cache.font, static_cast<std::uint8_t>(GetCharSet(platform::AnsiCodePage())));
}

DefaultFontCache g_defaultFontCache;  // zero at load, constant-initialised

}  // namespace

int AcceptDefaultFont(const LogFontA& font, void* context) {
  const FontAcceptance& acceptance = *static_cast<const FontAcceptance*>(context);
  if (font.lfFaceName[0] == '@') return kNextFont;
  if (font.lfCharSet != acceptance.wantedCharSet) return kNextFont;
  if ((font.lfPitchAndFamily & kProportionalPitchBit) == 0) return kNextFont;
  if (font.lfOutPrecision == kOutStringPrecis) return kNextFont;

  DefaultFontCache& cache = *acceptance.cache;
  std::memset(&cache.font, 0, sizeof cache.font);
  cache.font.lfHeight = kDefaultFontHeight;
  cache.font.lfWeight = kDefaultFontWeight;
  cache.font.lfCharSet = font.lfCharSet;
  CopyFaceName(cache.font.lfFaceName, font.lfFaceName);
  cache.cached = 1;
  return kStopEnumeration;
}

const LogFontA* RealFont(DefaultFontCache& cache) {
  if (cache.cached != 0) return &cache.font;

  FontAcceptance acceptance{&cache, GetCharSet(platform::AnsiCodePage())};
  platform::EnumerateFonts(MakeFontRequest(kPreferredInterfaceFace), AcceptDefaultFont,
                           &acceptance);
  if (cache.cached != 0) return &cache.font;

  if (CopyStockFontInto(cache)) {
    cache.cached = 1;
    return &cache.font;
  }

  // No preferred face and no stock font: any face that passes, then the stock font once more in
  // case it has become available; its description wins over the enumerated one.
  platform::EnumerateFonts(MakeFontRequest(""), AcceptDefaultFont, &acceptance);
  CopyStockFontInto(cache);
  cache.cached = 1;
  return &cache.font;
}

const LogFontA* DefaultFont() {
  static const LogFontA* const font = RealFont(g_defaultFontCache);
  return font;
}

}  // namespace corvane
