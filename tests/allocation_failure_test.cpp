// Conversions that need temporary memory, with the memory running out at each of their
// allocations in turn: every call ends with 0, writes nothing past its capacity and lets no
// exception out, as the system's own conversions answer when memory runs out.
#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "corvane.h"
#include "tests/support/conversion_fixture.h"
#include "tests/support/failing_allocation.h"

namespace corvane {
namespace {

const std::uint8_t kJis[] = {0x1B, '$', 'B', 0x24, 0x22, 0x1B, '(', 'B', 'A', 0};
const std::uint8_t kUtf8[] = {0xC3, 0xA9, 'A', 0};
const std::uint16_t kWide[] = {0x3042, 'A', 0x00E9, 0};

// The destinations: 8 places, and a ninth that no call may write.
std::uint16_t w[9];
std::uint8_t b[9];

std::int32_t M2W(std::uint32_t cp, const std::uint8_t* src, std::int32_t len, std::int32_t cap) {
  return CV_MultiByteToWideChar(cp, 0, src, len, w, cap, nullptr, nullptr);
}
std::int32_t W2M(std::uint32_t cp, std::int32_t len, std::uint8_t* dst, std::int32_t cap) {
  return CV_WideCharToMultiByte(cp, 0, kWide, len, dst, cap, nullptr, nullptr);
}

const std::pair<const char*, std::function<std::int32_t()>> kRows[] = {
    {"ISO-2022-JP decoded through Shift_JIS (EUC-JP takes the same road)",
     [] { return M2W(2022, kJis, -1, 8); }},
    {"UTF-8 decoded whole first when it does not fit", [] { return M2W(65001, kUtf8, 3, 2); }},
    {"UTF-8 encoded whole first when it does not fit", [] { return W2M(65001, -1, b, 4); }},
    {"ISO-2022-JP measured in a scratch buffer, then transcoded from a copy",
     [] { return W2M(2022, 3, nullptr, 0); }},
    {"EUC-JP transcoded from a copy", [] { return W2M(51932, -1, b, 3); }},
};

class AllocationFailure : public ConversionTest {};

TEST_F(AllocationFailure, EveryAllocationFailingEndsTheCallWithZero) {
  for (const auto& [what, call] : kRows) {
    const std::size_t before = failing_allocation::Count();
    ASSERT_GT(call(), 0) << what;
    const std::size_t allocations = failing_allocation::Count() - before;
    ASSERT_GE(allocations, 1u) << what << ": allocates nothing, so nothing is tested";
    for (std::size_t successes = 0; successes < allocations; ++successes) {
      w[8] = 0xEEEE;
      b[8] = 0xEE;
      std::int32_t result = -1;
      {
        const failing_allocation::FailAfter failing(successes);
        result = call();
      }
      EXPECT_EQ(result, 0) << what << ", allocation " << successes + 1 << " failing";
      EXPECT_TRUE(w[8] == 0xEEEE && b[8] == 0xEE) << what;
    }
  }
}

}  // namespace
}  // namespace corvane
