// The font half of the platform test double: the unit tests say which fonts are "installed" and
// what the stock interface font is, and see which enumerations the library asked for.
//
// The double enumerates its fonts in the order given, restricted to the request's face when it
// names one (compared ignoring ASCII case, as GDI compares face names), and stops when the
// callback returns 0.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/platform_font.h"

namespace corvane::font_double {

// Back to the defaults: no fonts, a stock font that cannot be described, nothing recorded.
void Reset();
void SetFonts(std::vector<LogFontA> fonts);
// The stock font description, given from the call after the first `failures` calls (counted
// since the last TakeStockFontCalls); nullopt: every call fails.
void SetStockFont(std::optional<LogFontA> font, int failures = 0);
// The request records of the enumerations made since the last call, oldest first; clears them.
std::vector<LogFontA> TakeEnumerations();
// Stock font descriptions asked for since the last call; clears the count.
int TakeStockFontCalls();

// An all-zero record with these fields set; the face is cut to 31 bytes.
LogFontA MakeFont(const char* face, std::uint8_t charSet, std::uint8_t pitchAndFamily,
                  std::uint8_t outPrecision);

}  // namespace corvane::font_double
