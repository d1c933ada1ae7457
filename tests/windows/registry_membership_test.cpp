// CV_IsValidCodePage answers from the registry alone, whatever Windows answers: each
// row shows both answers, Windows' through the backend's IsValidCodePage and the library's.
#include <gtest/gtest.h>

#include <cstdint>

#include "corvane.h"
#include "platform/platform.h"

namespace corvane {
namespace {

TEST(RegistryMembership, UnaffectedByWhatWindowsConverts) {
  const struct {
    std::uint32_t codePage;
    bool windows;
    std::int32_t library;
    const char* why;
  } rows[] = {
      {874, true, 0, "Thai: Windows converts it, the registry does not hold it"},
      {65001, true, 0, "UTF-8: the library's own codec, no record"},
      {437, true, 0, "DOS United States: Windows' only"},
      {28591, true, 0, "ISO 8859-1 under Windows' number"},
      {20932, true, 0, "EUC-JP under Windows' number"},
      {1252, true, 1, "registered and converted by Windows"},
      {932, true, 1, "registered and converted by Windows"},
      {10008, true, 1, "registered, and Windows converts a 10008 of its own"},
      {88591, false, 1, "ISO 8859-1 under the library's own number"},
      {40850, false, 1, "DOS 850 under the library's own number"},
      {2022, false, 1, "ISO-2022-JP, never handed to Windows"},
      {51932, false, 1, "EUC-JP, which Windows lacks under this number"},
      {0, false, 0, "a pseudo code page is not resolved here"},
      {1200, false, 0, "UTF-16 is no code page to convert bytes with"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.codePage) + ": " + row.why);
    EXPECT_EQ(platform::IsValidCodePage(row.codePage), row.windows);
    EXPECT_EQ(CV_IsValidCodePage(row.codePage), row.library);
  }
}

}  // namespace
}  // namespace corvane
