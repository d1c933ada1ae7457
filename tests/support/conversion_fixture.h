// Shared set-up for tests that convert through the platform double: the registry is rebuilt
// for what the "system" converts, and everything is put back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <initializer_list>

#include "codepages/registry.h"
#include "tests/support/hex.h"
#include "tests/support/platform_double.h"

namespace corvane {

class ConversionTest : public ::testing::Test {
 protected:
  void SetUp() override { UseSystemFor({}); }
  void TearDown() override {
    platform_double::Reset();
    BuildCodePageRegistry();
  }
  // The code pages the system converts; every other registered one uses our tables.
  static void UseSystemFor(std::initializer_list<std::uint32_t> codePages) {
    platform_double::Reset();
    platform_double::SetSystemCodePages(codePages);
    BuildCodePageRegistry();
  }
};

}  // namespace corvane
