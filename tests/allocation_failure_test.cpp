// Conversions that need temporary memory, with the memory running out at each of their
// allocations in turn: every call ends with 0, writes nothing past its capacity and lets no
// exception out, as the system's own conversions answer when memory runs out.
#include <gtest/gtest.h>

#include <functional>

#include "corvane.h"
#include "tests/support/conversion_fixture.h"
#include "tests/support/failing_allocation.h"

namespace corvane {
namespace {

constexpr std::int32_t kCap = 8;

struct Row {
  const char* what;
  std::function<std::int32_t(std::uint16_t* wide, std::uint8_t* bytes)> call;
};

const std::uint8_t kJis[] = {0x1B, '$', 'B', 0x24, 0x22, 0x1B, '(', 'B', 'A', 0};
const std::uint8_t kEuc[] = {0xA4, 0xA2, 'A', 0};
const std::uint8_t kUtf8[] = {0xC3, 0xA9, 'A', 0};
const std::uint16_t kWide[] = {0x3042, 'A', 0x00E9, 0};

const Row kRows[] = {
    {"ISO-2022-JP decoded through Shift_JIS",
     [](std::uint16_t* w, std::uint8_t*) {
       return CV_MultiByteToWideChar(2022, 0, kJis, -1, w, kCap, nullptr, nullptr);
     }},
    {"EUC-JP decoded through Shift_JIS",
     [](std::uint16_t* w, std::uint8_t*) {
       return CV_MultiByteToWideChar(51932, 0, kEuc, -1, w, kCap, nullptr, nullptr);
     }},
    {"UTF-8 decoded whole first when it does not fit",
     [](std::uint16_t* w, std::uint8_t*) {
       return CV_MultiByteToWideChar(65001, 0, kUtf8, 3, w, 2, nullptr, nullptr);
     }},
    {"UTF-8 encoded whole first when it does not fit",
     [](std::uint16_t*, std::uint8_t* b) {
       return CV_WideCharToMultiByte(65001, 0, kWide, -1, b, 4, nullptr, nullptr);
     }},
    {"measured in a scratch buffer",
     [](std::uint16_t*, std::uint8_t*) {
       return CV_WideCharToMultiByte(88591, 0, kWide, -1, nullptr, 0, nullptr, nullptr);
     }},
    {"ISO-2022-JP measured, then transcoded from a copy",
     [](std::uint16_t*, std::uint8_t*) {
       return CV_WideCharToMultiByte(2022, 0, kWide, 3, nullptr, 0, nullptr, nullptr);
     }},
    {"EUC-JP transcoded from a copy",
     [](std::uint16_t*, std::uint8_t* b) {
       return CV_WideCharToMultiByte(51932, 0, kWide, -1, b, 3, nullptr, nullptr);
     }},
};

class AllocationFailure : public ConversionTest {};

TEST_F(AllocationFailure, EveryAllocationFailingEndsTheCallWithZero) {
  for (const Row& row : kRows) {
    std::uint16_t wide[kCap + 1];
    std::uint8_t bytes[kCap + 1];
    const std::size_t before = failing_allocation::Count();
    ASSERT_GT(row.call(wide, bytes), 0) << row.what;
    const std::size_t allocations = failing_allocation::Count() - before;
    ASSERT_GE(allocations, 1u) << row.what << ": allocates nothing, so nothing is tested";
    for (std::size_t successes = 0; successes < allocations; ++successes) {
      wide[kCap] = 0xEEEE;
      bytes[kCap] = 0xEE;
      std::int32_t result = -1;
      {
        const failing_allocation::FailAfter failing(successes);
        result = row.call(wide, bytes);
      }
      EXPECT_EQ(result, 0) << row.what << ", allocation " << successes + 1 << " failing";
      EXPECT_EQ(wide[kCap], 0xEEEE) << row.what;
      EXPECT_EQ(bytes[kCap], 0xEE) << row.what;
    }
  }
}

}  // namespace
}  // namespace corvane
