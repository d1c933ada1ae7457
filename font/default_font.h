// The default interface font: a small font for the character set of the system's ANSI code page,
// chosen once and kept for the life of the library.
//
// Choice, in order: an enumerated "Microsoft Sans Serif" that the acceptance test below passes;
// else the stock interface font's description; else any enumerated face that passes; and the
// stock description once more over whatever that left. Whatever happened, the cache is then
// final, all zero if nothing at all was found.
#pragma once

#include <cstdint>

#include "platform/platform_font.h"

namespace corvane {

// The font cache and its cached flag. Zero at load; the flag goes to 1 when the cache is final
// and never back.
struct DefaultFontCache {
  LogFontA font;
  std::uint32_t cached;
};

// What the acceptance callback is handed: the cache it fills and the character set it wants.
struct FontAcceptance {
  DefaultFontCache* cache;
  std::uint32_t wantedCharSet;
};

inline constexpr char kPreferredInterfaceFace[] = "Microsoft Sans Serif";
inline constexpr std::int32_t kDefaultFontHeight = -10;
inline constexpr std::int32_t kDefaultFontWeight = 400;  // FW_NORMAL

// The enumeration callback. Rejects (returns 1, go on) a vertical-writing face (name starting
// with '@'), another character set than the wanted one, a fixed-pitch face (low pitch bit clear)
// and a raster font (lfOutPrecision 1), tested in that order. Otherwise clears the cache, writes
// height -10, weight 400, the font's character set and face name, sets the cached flag and
// returns 0 to end the enumeration.
//   font     in   the enumerated font; only lfFaceName, lfCharSet, lfPitchAndFamily and
//                 lfOutPrecision are read
//   context  in   a FontAcceptance
int AcceptDefaultFont(const LogFontA& font, void* context);

// Runs the choice above against the given cache, unless its flag is already set, and returns the
// cache's font. Not guarded against concurrent first calls on the same cache: DefaultFont does
// that for the library's one cache. Tests call it on caches of their own.
const LogFontA* RealFont(DefaultFontCache& cache);

// The library's one cache, filled on the first call. The first filling runs exactly once even
// when several threads make their first call at once (a function-local static, whose
// initialisation the language guards); later calls cost one check of that guard.
const LogFontA* DefaultFont();

}  // namespace corvane
