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

struct Enumeration {
  LogFontA request;  // the request record as the library built it
  int delivered;     // fonts handed to the callback before it stopped or the list ended
};

// Back to the defaults: no fonts, a stock font that cannot be described, nothing recorded.
void Reset();
void SetFonts(std::vector<LogFontA> fonts);
// The answers of successive stock font descriptions, the last one repeating; nullopt = failure.
void SetStockFonts(std::vector<std::optional<LogFontA>> answers);
// Enumerations made since the last call, oldest first; clears the record.
std::vector<Enumeration> TakeEnumerations();
// Stock font descriptions asked for since the last call; clears the count.
int TakeStockFontCalls();

// An all-zero record with these fields set; the face is cut to 31 bytes.
LogFontA MakeFont(const char* face, std::uint8_t charSet, std::uint8_t pitchAndFamily,
                  std::uint8_t outPrecision);

}  // namespace corvane::font_double
