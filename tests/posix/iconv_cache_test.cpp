// The iconv descriptors each thread keeps between system conversions: a kept descriptor converts
// as a fresh one would, whatever the call before left in it; a thread's descriptors close when the
// thread ends; a forked child converts with its copies. Expected text comes from the published
// mappings (Python's `encodings` carries them).
#include "platform/posix/iconv_cache.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <thread>

#include "platform/platform.h"
#include "tests/support/hex.h"

namespace corvane {
namespace {

struct Row {
  std::uint32_t codePage;
  const char* bytes;
  const char* units;
  const char* why;
};

// More charsets than a thread keeps, so descriptors are closed to make room as the rows go round.
const Row kRows[] = {
    {932, "83 74 83 40 83 43 83 8B 2E 74 78 74", "30D5 30A1 30A4 30EB 002E 0074 0078 0074",
     "a Shift_JIS file name"},
    {1258, "56 EA EC", "0056 1EBF",
     "held back for a combining mark, so a call that runs out of room leaves a character behind"},
    {1252, "63 61 66 E9 80", "0063 0061 0066 00E9 20AC", "single-byte"},
    {51949, "B0 A1 41 C7 D1", "AC00 0041 D55C", "EUC-KR"},
    {1251, "CC EE F1 EA E2 E0", "041C 043E 0441 043A 0432 0430", "Cyrillic"},
    {936, "D6 D0 CE C4", "4E2D 6587", "GBK"},
};

// Converts the row both ways, each time right after a call one place short of room, which fails
// and may leave shift state behind. Returns what differs from the row, empty when nothing does.
std::string Convert(const Row& row) {
  const Bytes bytes = B(row.bytes);
  const Units units = U(row.units);
  const auto nb = static_cast<std::int32_t>(bytes.size());
  const auto nu = static_cast<std::int32_t>(units.size());
  Units decoded(units.size());
  Bytes encoded(bytes.size());
  const auto decode = [&](std::int32_t room) {
    return platform::MultiByteToWideChar(row.codePage, 0, bytes.data(), nb, decoded.data(), room);
  };
  const auto encode = [&](std::int32_t room) {
    return platform::WideCharToMultiByte(row.codePage, 0, units.data(), nu, encoded.data(), room,
                                         nullptr, nullptr);
  };
  const bool shortFails = decode(nu - 1) == 0 && encode(nb - 1) == 0;
  const bool decodes = decode(nu) == nu && decoded == units;
  const bool encodes = encode(nb) == nb && encoded == bytes;
  if (shortFails && decodes && encodes) return "";
  return std::to_string(row.codePage) + " (" + row.why + "): short " + (shortFails ? "ok" : "bad") +
         ", decoded " + Hex(decoded) + ", encoded " + Hex(encoded) + ";";
}

// Every row twice over, so each pair of charsets is met both kept and evicted.
std::string ConvertEveryRow() {
  std::string failures;
  for (int round = 0; round < 2; ++round) {
    for (const Row& row : kRows)
      failures += Convert(row);
  }
  return failures;
}

#ifndef CORVANE_SYSTEM_CONVERSION
#define CORVANE_SYSTEM_CONVERSION 0
#endif

class IconvCache : public testing::Test {
 protected:
  void SetUp() override {
    if (!CORVANE_SYSTEM_CONVERSION) GTEST_SKIP() << "built without system conversion";
  }
};

TEST_F(IconvCache, KeptDescriptorsConvertAsFreshOnes) {
  EXPECT_EQ(ConvertEveryRow(), "");
}

TEST_F(IconvCache, AThreadKeepsAFewDescriptorsAndClosesThemWhenItEnds) {
  const std::size_t before = platform::posix::KeptDescriptorCount();
  std::size_t during = 0;
  std::thread converter([&during] {
    ConvertEveryRow();
    during = platform::posix::KeptDescriptorCount();
  });
  converter.join();
  EXPECT_EQ(during, before + platform::posix::kKeptDescriptors);
  EXPECT_EQ(platform::posix::KeptDescriptorCount(), before);
}

TEST_F(IconvCache, AForkedChildConvertsWithItsCopies) {
  ASSERT_EQ(ConvertEveryRow(), "");
  const pid_t child = fork();
  ASSERT_NE(child, -1);
  if (child == 0) _exit(ConvertEveryRow().empty() ? 0 : 1);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  EXPECT_EQ(ConvertEveryRow(), "");
}

}  // namespace
}  // namespace corvane
