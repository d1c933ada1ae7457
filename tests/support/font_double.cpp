#include "tests/support/font_double.h"

#include <algorithm>
#include <mutex>
#include <string_view>
#include <utility>

namespace corvane {
namespace {

// What the tests set and what the library asked, behind one lock.
struct State {
  std::vector<LogFontA> fonts, enumerations;  // the installed fonts; the requests made
  std::optional<LogFontA> stock;
  int stockFailures = 0, stockCalls = 0;
};
std::mutex g_mutex;
State g_state;

// Whether an enumeration for the request's face (empty: every face) lists this face, compared
// ignoring ASCII case as GDI compares face names; kept apart from the library's own name
// comparison so that the double does not lean on code under test.
bool FaceMatches(std::string_view request, std::string_view face) {
  const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  return request.empty() || std::ranges::equal(request, face, {}, fold, fold);
}

}  // namespace

void font_double::Reset() {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_state = State{};
}

void font_double::SetFonts(std::vector<LogFontA> fonts) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_state.fonts = std::move(fonts);
}

void font_double::SetStockFont(std::optional<LogFontA> font, int failures) {
  std::lock_guard<std::mutex> lock(g_mutex);
  g_state.stock = font;
  g_state.stockFailures = failures;
}

std::vector<LogFontA> font_double::TakeEnumerations() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return std::exchange(g_state.enumerations, {});
}

int font_double::TakeStockFontCalls() {
  std::lock_guard<std::mutex> lock(g_mutex);
  return std::exchange(g_state.stockCalls, 0);
}

LogFontA font_double::MakeFont(const char* face, std::uint8_t charSet, std::uint8_t pitchAndFamily,
                               std::uint8_t outPrecision) {
  LogFontA font{};
  std::string_view(face).copy(font.lfFaceName, sizeof font.lfFaceName - 1);
  font.lfCharSet = charSet;
  font.lfPitchAndFamily = pitchAndFamily;
  font.lfOutPrecision = outPrecision;
  return font;
}

void platform::EnumerateFonts(const LogFontA& request, FontEnumProc proc, void* context) {
  // The library's acceptance callback never calls back into the platform, so the lock may be
  // held while it runs.
  std::lock_guard<std::mutex> lock(g_mutex);
  g_state.enumerations.push_back(request);
  for (const LogFontA& font : g_state.fonts)
    if (FaceMatches(request.lfFaceName, font.lfFaceName) && proc(font, context) == 0) break;
}

bool platform::DescribeStockInterfaceFont(LogFontA* out, std::uint8_t /*systemCharSet*/) {
  std::lock_guard<std::mutex> lock(g_mutex);
  if (g_state.stockCalls++ < g_state.stockFailures || !g_state.stock) return false;
  *out = *g_state.stock;
  return true;
}

}  // namespace corvane
