// Shared set-up for tests that convert through the platform double: the registry is rebuilt
// for what the "system" converts, and everything is put back afterwards.
#pragma once

#include <gtest/gtest.h>

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

inline std::string Hex(const Units& units) {
  std::string s;
  char buf[8];
  for (std::uint16_t u : units) {
    std::snprintf(buf, sizeof buf, "%04X ", u);
    s += buf;
  }
  return s;
}

inline std::string Hex(const Bytes& bytes) {
  std::string s;
  char buf[8];
  for (std::uint8_t b : bytes) {
    std::snprintf(buf, sizeof buf, "%02X ", b);
    s += buf;
  }
  return s;
}

}  // namespace corvane
