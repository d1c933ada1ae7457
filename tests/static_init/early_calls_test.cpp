// A host whose own static initialiser calls the library, linked against the static library with
// its own object first, as an application's link line puts it: its initialiser then runs before
// any of the library's. Every answer must already be the final one.
#include <gtest/gtest.h>

#include <cstdint>

#include "corvane.h"

namespace {

struct EarlyAnswers {
  int32_t valid1252, valid88591, valid0, valid65001;
  uint32_t nameToId;
  int32_t decoded;
  uint16_t units[4];
};

EarlyAnswers AskEarly() {
  EarlyAnswers a{};
  a.valid1252 = CV_IsValidCodePage(1252);
  a.valid88591 = CV_IsValidCodePage(88591);
  a.valid0 = CV_IsValidCodePage(0);
  a.valid65001 = CV_IsValidCodePage(65001);
  a.nameToId = CV_CodePageNameToID("iso-8859-1");
  const uint8_t text[] = {'A', 0xE9, 0};
  a.decoded = CV_MultiByteToWideChar(88591, 0, text, -1, a.units, 4, nullptr, nullptr);
  return a;
}

const EarlyAnswers kEarly = AskEarly();

TEST(StaticInitialisation, CallsBeforeTheLibrarysInitialisersGetFinalAnswers) {
  EXPECT_EQ(kEarly.valid1252, 1);
  EXPECT_EQ(kEarly.valid88591, 1);
  EXPECT_EQ(kEarly.valid0, 0) << "the empty slot 0 of an unbuilt registry";
  EXPECT_EQ(kEarly.valid65001, 0);
  EXPECT_EQ(kEarly.nameToId, 1252u);
  ASSERT_EQ(kEarly.decoded, 3);
  EXPECT_EQ(kEarly.units[0], 0x0041);
  EXPECT_EQ(kEarly.units[1], 0x00E9);
  EXPECT_EQ(kEarly.units[2], 0x0000);
  // The same questions now, after every initialiser has run.
  const EarlyAnswers late = AskEarly();
  EXPECT_EQ(late.valid1252, kEarly.valid1252);
  EXPECT_EQ(late.decoded, kEarly.decoded);
}

}  // namespace
