#include "tests/support/font_double.h"

#include <cstring>
#include <mutex>
#include <utility>

namespace corvane::font_double {
namespace {

std::mutex g_mutex;
std::vector<LogFontA> g_fonts;
std::optional<LogFontA> g_stock;
int g_stockFailures = 0;
int g_stockCalls = 0;
std::vector<LogFontA> g_enumerations;

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
  g_stock.reset();
  g_stockFailures = g_stockCalls = 0;
  g_enumerations.clear();
}

void SetFonts(std::vector<LogFontA> fonts) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_fonts = std::move(fonts);
}

void SetStockFont(std::optional<LogFontA> font, int failures) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_stock = font;
  g_stockFailures = failures;
}

std::vector<LogFontA> TakeEnumerations() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return std::exchange(g_enumerations, {});
}

int TakeStockFontCalls() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return std::exchange(g_stockCalls, 0);
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
    font_double::g_enumerations.push_back(request);
  }
  // The callback runs outside the lock, as it would outside the system's.
  for (const LogFontA& font : fonts) {
    const bool named = request.lfFaceName[0] != '\0';
    if (named && !font_double::SameFace(request.lfFaceName, font.lfFaceName)) continue;
    if (proc(font, context) == 0) break;
  }
}

bool DescribeStockInterfaceFont(LogFontA* out) {
  std::lock_guard<std::mutex> lock(font_double::g_mutex);
  if (font_double::g_stockCalls++ < font_double::g_stockFailures || !font_double::g_stock) {
    return false;
  }
  *out = *font_double::g_stock;
  return true;
}

}  // namespace corvane::platform
