// The default interface font through the shipped shared library, on this machine's real fonts.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>

#include "corvane.h"

namespace {

TEST(RealFontAbi, OneStableRecordDescribingANormalSmallFont) {
  const CV_LOGFONTA* font = CV_RealFont();
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(CV_RealFont(), font);
  // The preferred face (height -10) or the stock interface font (height -11 on these systems).
  EXPECT_TRUE(font->lfHeight == -10 || font->lfHeight == -11) << font->lfHeight;
  EXPECT_EQ(font->lfWeight, 400);
  ASSERT_NE(std::memchr(font->lfFaceName, '\0', sizeof font->lfFaceName), nullptr);
  EXPECT_NE(font->lfFaceName[0], '\0');
  EXPECT_TRUE(font->lfCharSet == 0 || font->lfCharSet == 128 || font->lfCharSet == 129 ||
              font->lfCharSet == 134 || font->lfCharSet == 136)
      << int{font->lfCharSet};
}

}  // namespace
