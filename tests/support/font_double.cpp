#include "tests/support/font_double.h"

#include <algorithm>
#include <string_view>

namespace corvane {

font_double::State font_double::g_state;

// Faces are compared ignoring ASCII case, as GDI compares them, and apart from the library's own
// name comparison, so that the double does not lean on code under test.
void platform::EnumerateFonts(const LogFontA& request, FontEnumProc proc, void* context) {
  const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  const std::string_view face = request.lfFaceName;
  font_double::g_state.enumerations.push_back(request);
  for (const LogFontA& font : font_double::g_state.fonts) {
    const bool listed =
        face.empty() || std::ranges::equal(face, std::string_view(font.lfFaceName), {}, fold, fold);
    if (listed && proc(font, context) == 0) break;
  }
}

bool platform::DescribeStockInterfaceFont(LogFontA* out, std::uint8_t /*systemCharSet*/) {
  font_double::State& state = font_double::g_state;
  if (state.stockCalls++ < state.stockFailures || !state.stock) return false;
  *out = *state.stock;
  return true;
}

}  // namespace corvane
