// A host whose own static initialiser calls the library, linked against the static library with
// its own object first, as an application's link line puts it: its initialiser then runs before
// any of the library's. Every answer must already be the final one.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "corvane.h"

namespace {

// The answers to a few questions on the registry, the names and a table conversion, in one list.
std::vector<int64_t> Ask() {
  const uint8_t text[] = {'A', 0xE9, 0};
  uint16_t units[4] = {};
  const int32_t decoded = CV_MultiByteToWideChar(88591, 0, text, -1, units, 4, nullptr, nullptr);
  std::vector<int64_t> answers{CV_CodePageNameToID("iso-8859-1"), decoded, units[0], units[1],
                               units[2]};
  for (const uint32_t cp : {1252u, 88591u, 0u, 65001u})
    answers.push_back(CV_IsValidCodePage(cp));
  return answers;
}

const std::vector<int64_t> kEarly = Ask();

TEST(StaticInitialisation, CallsBeforeTheLibrarysInitialisersGetFinalAnswers) {
  // Code page 0 is not valid: an unbuilt registry would find its empty slot 0.
  const std::vector<int64_t> expected{1252, 3, 0x41, 0xE9, 0, 1, 1, 0, 0};
  EXPECT_EQ(kEarly, expected);
  EXPECT_EQ(Ask(), expected) << "after every initialiser has run";
}

}  // namespace
