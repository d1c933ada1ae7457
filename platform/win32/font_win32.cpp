// Font services on Windows: GDI itself. The enumeration runs EnumFontFamiliesExA on the screen's
// device context, which is got with GetDC(no window) before and released with ReleaseDC after
// each enumeration, so no device context outlives a call. The stock interface font is
// DEFAULT_GUI_FONT (stock object 17), described by GetObjectA.
#include <windows.h>

#include <cstring>

#include "platform/platform_font.h"

namespace corvane::platform {
namespace {

static_assert(sizeof(LOGFONTA) == sizeof(LogFontA));

// What EnumFontFamiliesExA hands back to the adapter through its LPARAM.
struct EnumerationContext {
  FontEnumProc proc;
  void* context;
};

// GDI's callback: the enumerated font comes as an ENUMLOGFONTEXA, whose first member is its
// LOGFONTA; the text metrics and the font type are not looked at.
int CALLBACK ForwardFont(const LOGFONTA* font, const TEXTMETRICA* /*metrics*/, DWORD /*fontType*/,
                         LPARAM lParam) {
  const EnumerationContext& enumeration = *reinterpret_cast<const EnumerationContext*>(lParam);
  return enumeration.proc(*font, enumeration.context);
}

}  // namespace

void EnumerateFonts(const LogFontA& request, FontEnumProc proc, void* context) {
  // The request GDI gets: every character set (DEFAULT_CHARSET) of the named face, or of every
  // face when the name is empty; the rest 0, as EnumFontFamiliesExA requires of lfPitchAndFamily.
  LOGFONTA gdiRequest;
  std::memset(&gdiRequest, 0, sizeof gdiRequest);
  gdiRequest.lfCharSet = DEFAULT_CHARSET;
  std::memcpy(gdiRequest.lfFaceName, request.lfFaceName, sizeof gdiRequest.lfFaceName);
  gdiRequest.lfFaceName[sizeof gdiRequest.lfFaceName - 1] = '\0';

  EnumerationContext enumeration{proc, context};
  HDC screen = ::GetDC(nullptr);
  ::EnumFontFamiliesExA(screen, &gdiRequest, ForwardFont, reinterpret_cast<LPARAM>(&enumeration),
                        0);
  if (screen != nullptr) ::ReleaseDC(nullptr, screen);
}

bool DescribeStockInterfaceFont(LogFontA* out, std::uint8_t /*systemCharSet*/) {
  // Described into a record of our own first, so that a failure leaves *out untouched.
  LOGFONTA font;
  std::memset(&font, 0, sizeof font);
  const HGDIOBJ stock = ::GetStockObject(DEFAULT_GUI_FONT);
  if (stock == nullptr || ::GetObjectA(stock, sizeof font, &font) == 0) return false;
  std::memcpy(out, &font, sizeof font);
  return true;
}

}  // namespace corvane::platform
