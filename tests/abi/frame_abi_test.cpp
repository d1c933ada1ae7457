// The shipped shared library through its public header only: registry membership and detection
// do not depend on what the system converts.
#include <gtest/gtest.h>

#include "corvane.h"

namespace {

TEST(IsValidCodePage, RegisteredNumbersOnEverySystem) {
  for (uint32_t id :
       {40850u, 40852u, 40861u, 40862u, 40866u, 40869u, 88591u, 88595u, 88599u, 2022u, 51932u,
        932u,   936u,   949u,   950u,   1252u,  10000u, 10008u, 20866u, 28605u, 1257u}) {
    EXPECT_EQ(CV_IsValidCodePage(id), 1) << id;
  }
  for (uint32_t id : {0u, 3u, 2023u, 65001u, 1200u, 874u, 28591u, 0xFFFFFFFFu}) {
    EXPECT_EQ(CV_IsValidCodePage(id), 0) << id;
  }
}

}  // namespace
