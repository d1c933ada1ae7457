#include "tests/support/font_double.h"

#include <cstring>
#include <mutex>

namespace corvane::font_double {
namespace {

std::mutex g_mutex;
std::vector<LogFontA> g_fonts;
std::vector<std::optional<LogFontA>> g_stockAnswers;
std::size_t g_stockCalls = 0;
std::vector<Enumeration> g_enumerations;

// Kept apart from the library's own name comparison so that the double does not lean on code
// under test.
bool SameFace(const char* a, const char* b) {
  const auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
  for (; *a != '\0' && fold(*a) == fold(*b); ++a, ++b) {
  }
  return fold(*a) == fold(*b);
}

}  // namespace

void Reset() {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_fonts.clear();
  g_stockAnswers.clear();
  g_stockCalls = 0;
  g_enumerations.clear();
}

void SetFonts(std::vector<LogFontA> fonts) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_fonts = std::move(fonts);
}

void SetStockFonts(std::vector<std::optional<LogFontA>> answers) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_stockAnswers = std::move(answers);
}

std::vector<Enumeration> TakeEnumerations() {
  std::lock_guard<std::mutex> lock(g_mutex);
  std::vector<Enumeration> out;
  out.swap(g_enumerations);
  return out;
}

int TakeStockFontCalls() {
  std::lock_guard<std::mutex> lock(g_mutex);
  const int calls = static_cast<int>(g_stockCalls);
  g_stockCalls = 0;
  return calls;
}

LogFontA MakeFont(const char* face, std::uint8_t charSet, std::uint8_t pitchAndFamily,
                  std::uint8_t outPrecision) {
  LogFontA font;
  std::memset(&font, 0, sizeof font);
  std::strncpy(font.lfFaceName, face, sizeof font.lfFaceName - 1);
  font.lfCharSet = charSet;
  font.lfPitchAndFamily = pitchAndFamily;
  font.lfOutPrecision = outPrecision;
  return font;
}

}  // namespace corvane::font_double

namespace corvane::platform {

void EnumerateFonts(const LogFontA& request, FontEnumProc proc, void* context) {
  std::vector<LogFontA> fonts;
  {
    std::lock_guard<std::mutex> lock(font_double::g_mutex);
    fonts = font_double::g_fonts;
  }
  // The callback runs outside the lock, as it would outside the system's.
  int delivered = 0;
  for (const LogFontA& font : fonts) {
    if (request.lfFaceName[0] != '\0' &&
        !font_double::SameFace(request.lfFaceName, font.lfFaceName)) {
      continue;
    }
    ++delivered;
    if (proc(font, context) == 0) break;
  }
  std::lock_guard<std::mutex> lock(font_double::g_mutex);
  font_double::g_enumerations.push_back({request, delivered});
}

bool DescribeStockInterfaceFont(LogFontA* out) {
  std::lock_guard<std::mutex> lock(font_double::g_mutex);
  const auto& answers = font_double::g_stockAnswers;
  std::optional<LogFontA> answer;
  if (!answers.empty()) {
    const std::size_t last = answers.size() - 1;
    answer = answers[font_double::g_stockCalls < last ? font_double::g_stockCalls : last];
  }
  ++font_double::g_stockCalls;
  if (!answer) return false;
  *out = *answer;
  return true;
}

}  // namespace corvane::platform
