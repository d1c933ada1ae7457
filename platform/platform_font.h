// The font services of the operating system that the default interface font (font/) uses, under
// names of our own. They stand for GDI's EnumFontFamiliesExA and GetObjectA on the stock
// DEFAULT_GUI_FONT; the screen device context those calls need stays inside the backend, which
// gets and releases it around each call.
//   posix/    fontconfig when built with it (CORVANE_WITH_FONTCONFIG), else nothing installed;
//   win32/    GDI itself: EnumFontFamiliesExA on GetDC(no window), released after each
//             enumeration, and GetObjectA on GetStockObject(DEFAULT_GUI_FONT);
//   tests/    a test double whose fonts and stock font the unit tests set (tests/support/).
// Both functions are safe to call from any number of threads at once.
#pragma once

#include <cstdint>

#include "corvane.h"

namespace corvane {

// The LOGFONTA-shaped record of the public interface.
using LogFontA = CV_LOGFONTA;

inline constexpr std::uint8_t kDefaultCharSet = 1;        // DEFAULT_CHARSET: every set of a face
inline constexpr std::uint8_t kOutStringPrecis = 1;       // what raster (bitmap) fonts report
inline constexpr std::uint8_t kOutStrokePrecis = 3;       // what outline fonts report
inline constexpr std::uint8_t kProportionalPitchBit = 1;  // low bit of lfPitchAndFamily

}  // namespace corvane

namespace corvane::platform {

// Called once per enumerated font with that font's description and the caller's context.
// Returns nonzero to go on to the next font, 0 to end the enumeration.
using FontEnumProc = int (*)(const LogFontA& font, void* context);

// Enumerates installed fonts as EnumFontFamiliesExA does for a request whose lfCharSet is
// DEFAULT_CHARSET: one call per face and character set that face covers.
//   request  in   only lfFaceName is read: empty = every face, else only that face
//                 (matched without regard to case)
//   proc     in   the callback; it may call back into the library
//   context  in   handed to proc unchanged
// POSIX with fontconfig: every installed family once per character set that its faces cover,
// judged from their language coverage (FC_LANG): 0 when they cover English, French and German,
// 128 Japanese, 129 Korean, 134 simplified and 136 traditional Chinese, in that order, families in
// byte order of their names. A family with several names (fontconfig's FC_FAMILY list) is
// enumerated under each; names past 31 bytes are cut at a UTF-8 character boundary. A family
// has the proportional pitch bit when any face is proportional (FC_SPACING below FC_DUAL) and
// lfOutPrecision kOutStrokePrecis when any face is scalable, else kOutStringPrecis. All other
// fields are 0.
// POSIX without fontconfig: no font is enumerated.
// Windows: EnumFontFamiliesExA with a request of DEFAULT_CHARSET and the requested face, every
// other field 0; the fonts and their fields are GDI's.
void EnumerateFonts(const LogFontA& request, FontEnumProc proc, void* context);

// Describes the stock interface font (GetObjectA on DEFAULT_GUI_FONT) into out.
//   out          out  the whole record is written on success; untouched on failure
//   systemCharSet in  the GDI character set of the ANSI code page, which Windows knows by itself
//   returns           true on success
// POSIX: lfHeight -11, lfWeight 400, lfCharSet systemCharSet when the face covers it, else 0,
// every other field 0, and the face fontconfig matches best for "sans-serif" in the language of
// that character set. Without fontconfig, or when fontconfig matches nothing, the face is
// "sans-serif" itself, the generic family that every text stack on these systems resolves to its
// own default, with systemCharSet. Never fails.
// Windows: GetObjectA on DEFAULT_GUI_FONT, whatever GDI describes (on Windows and Wine "MS Shell
// Dlg", -11 high); fails when GetObjectA does.
bool DescribeStockInterfaceFont(LogFontA* out, std::uint8_t systemCharSet);

}  // namespace corvane::platform
