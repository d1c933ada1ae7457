#include "convert/code_page_resolution.h"

#include "japanese/auto_detect.h"
#include "platform/platform.h"

namespace corvane {
namespace {

struct LanguageCodePage {
  std::uint16_t primaryLanguage;
  std::uint32_t codePage;
};

// Keyed by primary language; Chinese (0x04) is settled by its sublanguage below.
constexpr LanguageCodePage kThreadLocaleTable[] = {
    {0x01, 1256},  // Arabic
    {0x05, 1250},  // Czech
    {0x08, 1253},  // Greek
    {0x0D, 1255},  // Hebrew
    {0x0E, 1250},  // Hungarian
    {0x11, 932},   // Japanese
    {0x12, 949},   // Korean
    {0x15, 1250},  // Polish
    {0x18, 1250},  // Romanian
    {0x19, 1251},  // Russian
    {0x1A, 1250},  // Croatian and Serbian
    {0x1B, 1250},  // Slovak
    {0x1E, 874},   // Thai
    {0x1F, 1254},  // Turkish
    {0x25, 1257},  // Estonian
    {0x26, 1257},  // Latvian
    {0x27, 1257},  // Lithuanian
};

constexpr std::uint16_t kPrimaryChinese = 0x04;
constexpr std::uint16_t kSublanguageTraditionalTaiwan = 1;

}  // namespace

std::uint32_t ThreadLocaleCodePage() {
  const std::uint16_t language = platform::ThreadLanguage();
  const auto primary = static_cast<std::uint16_t>(language & 0x3FF);
  const auto sublanguage = static_cast<std::uint16_t>(language >> 10);
  if (primary == kPrimaryChinese) return sublanguage == kSublanguageTraditionalTaiwan ? 950 : 936;
  for (const LanguageCodePage& row : kThreadLocaleTable) {
    if (row.primaryLanguage == primary) return row.codePage;
  }
  return 0;
}

void ResolveCodePage(std::uint32_t* codePage, const ByteText& bytes) {
  if (*codePage == kJapaneseAutoDetect) {
    std::uint32_t confident = 0;
    *codePage = DetectJapaneseEncoding(bytes, confident);
    return;
  }
  if (*codePage == kAnsiCodePage) *codePage = platform::AnsiCodePage();
  // Deliberately after the 0 test: a thread language without a code page yields 0, which the
  // system then takes as its own ANSI code page.
  if (*codePage == kThreadCodePage) *codePage = ThreadLocaleCodePage();
}

}  // namespace corvane
