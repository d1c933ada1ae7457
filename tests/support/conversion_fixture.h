// Shared set-up for tests that convert through the platform double: the registry is rebuilt
// for what the "system" converts, and everything is put back afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

#include "codepages/registry.h"
#include "tests/support/platform_double.h"

namespace corvane {

using Bytes = std::vector<std::uint8_t>;
using Units = std::vector<std::uint16_t>;

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

// Units as "0041 00E9 ", bytes as "41 E9 ": failures show what differs.
template <typename T>
std::string Hex(const std::vector<T>& values) {
  std::string s;
  char buf[8];
  for (T v : values) {
    std::snprintf(buf, sizeof buf, sizeof(T) == 1 ? "%02X " : "%04X ", unsigned{v});
    s += buf;
  }
  return s;
}

}  // namespace corvane
