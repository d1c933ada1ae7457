// The font half of the platform test double: the unit tests say which fonts are "installed" and
// what the stock interface font is, and see which enumerations the library asked for.
//
// The double enumerates its fonts in the order given, restricted to the request's face when it
// names one (compared ignoring ASCII case, as GDI compares face names), and stops when the
// callback returns 0.
//
// Tests read and write the state directly, between calls into the library: the library never
// calls the font services from two threads at once (its one cache is filled once, under the
// guard of a function-local static), so the double needs no lock.
#pragma once

#include <optional>
#include <vector>

#include "platform/platform_font.h"

namespace corvane::font_double {

struct State {
  std::vector<LogFontA> fonts;         // the installed fonts, in enumeration order
  std::optional<LogFontA> stock;       // the stock font description; nullopt: calls fail
  int stockFailures = 0;               // calls that fail before the stock font is given
  std::vector<LogFontA> enumerations;  // the request records of the enumerations made
  int stockCalls = 0;                  // stock font descriptions asked for
};

// Starts empty: no fonts, a stock font that cannot be described, nothing recorded.
extern State g_state;

}  // namespace corvane::font_double
