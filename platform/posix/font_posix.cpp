// Font services on POSIX systems. With fontconfig the installed families stand for GDI's font
// families: fontconfig lists faces (one pattern per file and style), so faces are gathered into
// families first and each family is then reported once per character set it covers. fontconfig
// is thread-safe, and the enumeration callback runs only after fontconfig's lists are released,
// so the callback may call back into the library.
#include <string.h>  // strnlen

#include <cstdint>
#include <cstring>

#include "base/text.h"
#include "platform/platform.h"
#include "platform/platform_font.h"

#if defined(CORVANE_WITH_FONTCONFIG)
#include <fontconfig/fontconfig.h>

#include <map>
#include <new>
#include <string>
#include <vector>
#endif

namespace corvane::platform {
namespace {

constexpr std::size_t kFaceNameSize = sizeof(LogFontA{}.lfFaceName);
constexpr std::int32_t kStockFontHeight = -11;
constexpr std::int32_t kStockFontWeight = 400;  // FW_NORMAL
// The generic family every text stack on these systems resolves to its default sans face.
constexpr char kGenericSansSerif[] = "sans-serif";

// Copies a UTF-8 name into a face field, cut at a character boundary when it is too long. Reads
// at most kFaceNameSize bytes, so a face field without a NUL is read safely too.
void CopyFaceName(char (&to)[kFaceNameSize], const char* from) {
  std::size_t length = strnlen(from, kFaceNameSize);
  if (length > kFaceNameSize - 1) {
    length = kFaceNameSize - 1;
    // Back off over continuation bytes (10xxxxxx) so no character is cut in half.
    while (length > 0 && (static_cast<unsigned char>(from[length]) & 0xC0) == 0x80)
      --length;
  }
  std::memcpy(to, from, length);
  to[length] = '\0';
}

// The stock font as far as it is known without asking fontconfig: the generic family in the
// character set of the ANSI code page.
LogFontA GenericStockFont(std::uint8_t systemCharSet) {
  LogFontA font;
  std::memset(&font, 0, sizeof font);
  font.lfHeight = kStockFontHeight;
  font.lfWeight = kStockFontWeight;
  font.lfCharSet = systemCharSet;
  CopyFaceName(font.lfFaceName, kGenericSansSerif);
  return font;
}

}  // namespace

#if defined(CORVANE_WITH_FONTCONFIG)

namespace {

// The character sets reported, in the order they are reported, with the fontconfig language
// whose coverage stands for each. Latin (0) stands for code page 1252, so it needs the Western
// European languages as a whole, not only English.
struct CharSetLanguages {
  std::uint8_t charSet;
  const char* languages[3];  // all must be covered; null ends the list early
};
constexpr CharSetLanguages kCharSetLanguages[] = {
    {0, {"en", "fr", "de"}},
    {128, {"ja", nullptr, nullptr}},
    {129, {"ko", nullptr, nullptr}},
    {134, {"zh-cn", nullptr, nullptr}},
    {136, {"zh-tw", nullptr, nullptr}},
};
constexpr std::size_t kCharSetCount = sizeof kCharSetLanguages / sizeof kCharSetLanguages[0];

const FcChar8* AsFc(const char* s) {
  return reinterpret_cast<const FcChar8*>(s);
}
const char* AsChar(const FcChar8* s) {
  return reinterpret_cast<const char*>(s);
}

bool Covers(const FcLangSet* langs, const CharSetLanguages& entry) {
  for (const char* language : entry.languages) {
    if (language == nullptr) break;
    if (FcLangSetHasLang(langs, AsFc(language)) != FcLangEqual) return false;
  }
  return true;
}

// Bit i set when the face covers kCharSetLanguages[i].
unsigned CoveredCharSets(FcPattern* face) {
  FcLangSet* langs = nullptr;
  if (FcPatternGetLangSet(face, FC_LANG, 0, &langs) != FcResultMatch) return 0;
  unsigned covered = 0;
  for (std::size_t i = 0; i < kCharSetCount; ++i) {
    if (Covers(langs, kCharSetLanguages[i])) covered |= 1u << i;
  }
  return covered;
}

struct Family {
  unsigned charSets = 0;
  bool proportional = false;
  bool scalable = false;
};

// Gathers the installed faces into families by every name each face carries, optionally only
// those named like `only`. Families come out in byte order of their names.
std::map<std::string, Family> ListFamilies(const char* only) {
  std::map<std::string, Family> families;
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return families;
  if (only[0] != '\0') FcPatternAddString(pattern, FC_FAMILY, AsFc(only));
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_LANG, FC_SPACING, FC_SCALABLE, nullptr);
  FcFontSet* faces = objects != nullptr ? FcFontList(nullptr, pattern, objects) : nullptr;
  for (int i = 0; faces != nullptr && i < faces->nfont; ++i) {
    FcPattern* face = faces->fonts[i];
    int spacing = FC_PROPORTIONAL;
    FcPatternGetInteger(face, FC_SPACING, 0, &spacing);
    FcBool scalable = FcTrue;
    FcPatternGetBool(face, FC_SCALABLE, 0, &scalable);
    const unsigned covered = CoveredCharSets(face);
    FcChar8* name = nullptr;
    for (int n = 0; FcPatternGetString(face, FC_FAMILY, n, &name) == FcResultMatch; ++n) {
      char cut[kFaceNameSize];
      CopyFaceName(cut, AsChar(name));
      if (cut[0] == '\0') continue;
      // fontconfig also lists a face under names that are merely alike; GDI wants the name.
      if (only[0] != '\0' && !EqualsIgnoringAsciiCase(cut, only)) continue;
      Family& family = families[cut];
      family.charSets |= covered;
      // Dual-width (CJK "monospace") faces are fixed pitch to GDI as well.
      family.proportional = family.proportional || spacing < FC_DUAL;
      family.scalable = family.scalable || scalable != FcFalse;
    }
  }
  if (faces != nullptr) FcFontSetDestroy(faces);
  if (objects != nullptr) FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return families;
}

// The fontconfig language of a CJK character set, or null for the Latin one.
const char* LanguageOf(std::uint32_t charSet) {
  for (const CharSetLanguages& entry : kCharSetLanguages) {
    if (entry.charSet == charSet && entry.charSet != 0) return entry.languages[0];
  }
  return nullptr;
}

}  // namespace

void EnumerateFonts(const LogFontA& request, FontEnumProc proc, void* context) {
  char only[kFaceNameSize];
  CopyFaceName(only, request.lfFaceName);
  std::vector<LogFontA> fonts;
  // The listing needs memory; without it no font is enumerated, as when none is installed, and
  // no exception reaches the C interface.
  try {
    for (const auto& [name, family] : ListFamilies(only)) {
      for (std::size_t i = 0; i < kCharSetCount; ++i) {
        if ((family.charSets & (1u << i)) == 0) continue;
        LogFontA font;
        std::memset(&font, 0, sizeof font);
        CopyFaceName(font.lfFaceName, name.c_str());
        font.lfCharSet = kCharSetLanguages[i].charSet;
        font.lfOutPrecision = family.scalable ? kOutStrokePrecis : kOutStringPrecis;
        font.lfPitchAndFamily = family.proportional ? kProportionalPitchBit : 0;
        fonts.push_back(font);
      }
    }
  } catch (const std::bad_alloc&) {
    return;
  }
  for (const LogFontA& font : fonts) {
    if (proc(font, context) == 0) break;
  }
}

bool DescribeStockInterfaceFont(LogFontA* out, std::uint8_t systemCharSet) {
  LogFontA font = GenericStockFont(systemCharSet);
  const std::uint32_t wanted = font.lfCharSet;

  FcPattern* pattern = FcPatternCreate();
  if (pattern != nullptr) {
    FcPatternAddString(pattern, FC_FAMILY, AsFc(kGenericSansSerif));
    // Ask for the language too, so that a CJK system gets a face that can show its text.
    if (const char* language = LanguageOf(wanted)) {
      FcPatternAddString(pattern, FC_LANG, AsFc(language));
    }
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcChar8* name = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FAMILY, 0, &name) == FcResultMatch) {
      CopyFaceName(font.lfFaceName, AsChar(name));
      bool coversWanted = false;
      const unsigned covered = CoveredCharSets(match);
      for (std::size_t i = 0; i < kCharSetCount; ++i) {
        if (kCharSetLanguages[i].charSet == wanted) coversWanted = (covered & (1u << i)) != 0;
      }
      font.lfCharSet = coversWanted ? static_cast<std::uint8_t>(wanted) : 0;
    }
    if (match != nullptr) FcPatternDestroy(match);
    FcPatternDestroy(pattern);
  }
  *out = font;
  return true;
}

#else  // no fontconfig: no font can be listed, and the generic family stands for the stock font

void EnumerateFonts(const LogFontA& /*request*/, FontEnumProc /*proc*/, void* /*context*/) {}

bool DescribeStockInterfaceFont(LogFontA* out, std::uint8_t systemCharSet) {
  *out = GenericStockFont(systemCharSet);
  return true;
}

#endif

}  // namespace corvane::platform
