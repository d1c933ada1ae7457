// Many threads calling every export at once, starting together with the first CV_RealFont call
// of the process, get exactly what one thread gets. Natively each test runs in a process of its
// own under ctest; under Wine the whole program is one process, and no other test in it calls
// CV_RealFont, so the call is still the first. Run under the tsan preset, this is also the race
// check of the whole interface.
#include <gtest/gtest.h>

#include <cstring>
#include <latch>
#include <thread>
#include <vector>

#include "corvane.h"

namespace {

std::vector<uint32_t> CodePages() {
  std::vector<uint32_t> pages;
  for (uint32_t cp = 1; cp < 100000; ++cp)
    if (CV_IsValidCodePage(cp) == 1) pages.push_back(cp);
  for (uint32_t cp : {65001u, 2023u, 0u, 3u, 874u})
    pages.push_back(cp);
  return pages;
}

// Every export but CV_RealFont over every code page, its results and outputs in one list.
std::vector<int64_t> RunEverything(const std::vector<uint32_t>& pages) {
  static const uint16_t kText[] = {'A', 0x00E9, 0x0416, 0x3042, 0x6F22, 0xAC00, 0xFF71, '\n', 0};
  static const char* const kNames[] = {"Shift_JIS", "LATIN1", "utf-8", "koi8-r", "nope"};
  std::vector<int64_t> out;
  for (uint32_t cp : pages) {
    uint8_t bytes[64] = {};
    const int32_t n = CV_WideCharToMultiByte(cp, 0, kText, -1, bytes, 64, nullptr, nullptr);
    out.push_back(n);
    out.push_back(CV_WideCharToMultiByte(cp, 0, kText, -1, nullptr, 0, nullptr, nullptr));
    out.insert(out.end(), bytes, bytes + 64);
    uint16_t units[64] = {};
    int32_t consumed = 0;
    uint32_t state = 1;
    out.push_back(CV_MultiByteToWideChar(cp, 0, bytes, n, units, 64, &consumed, &state));
    out.push_back(CV_MultiByteToWideChar(cp, 0, bytes, -1, nullptr, 0, nullptr, nullptr));
    out.insert(out.end(), units, units + 64);
    out.push_back(consumed);
    out.push_back(state);
    out.push_back(CV_StrLength(cp, bytes, n, &consumed));
    out.push_back(consumed);
    uint32_t confident = 0;
    out.push_back(CV_JapaneseAutoDetect(bytes, n, &confident));
    out.push_back(confident);
    char name[20] = {};
    out.push_back(CV_CodePageIDToName(cp, name));
    out.insert(out.end(), name, name + 20);
    out.push_back(CV_GetCharSet(cp));
    out.push_back(CV_IsValidCodePage(cp));
  }
  uint8_t utf8[64] = {};
  uint16_t wide[64] = {};
  out.push_back(CV_WideCharToUTF8(kText, -1, utf8, 64));
  out.push_back(CV_UTF8ToWideChar(utf8, -1, wide, 64));
  out.insert(out.end(), wide, wide + 64);
  for (const char* name : kNames)
    out.push_back(CV_CodePageNameToID(name));
  return out;
}

TEST(Concurrency, EveryExportFromManyThreadsAgreesWithOneThread) {
  constexpr int kThreads = 8;
  constexpr int kRounds = 10;
  const std::vector<uint32_t> pages = CodePages();
  std::latch start(kThreads);
  std::vector<const CV_LOGFONTA*> fonts(kThreads);
  std::vector<CV_LOGFONTA> fontCopies(kThreads);
  std::vector<std::vector<int64_t>> results(kThreads);
  std::vector<int> unstable(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      const auto i = static_cast<std::size_t>(t);
      start.arrive_and_wait();
      fonts[i] = CV_RealFont();
      std::memcpy(&fontCopies[i], fonts[i], sizeof(CV_LOGFONTA));
      results[i] = RunEverything(pages);
      for (int round = 1; round < kRounds; ++round)
        if (RunEverything(pages) != results[i]) ++unstable[i];
    });
  }
  for (std::thread& thread : threads)
    thread.join();

  const std::vector<int64_t> expected = RunEverything(pages);
  const CV_LOGFONTA* font = CV_RealFont();
  for (std::size_t i = 0; i < kThreads; ++i) {
    EXPECT_EQ(results[i], expected) << "thread " << i;
    EXPECT_EQ(unstable[i], 0) << "thread " << i;
    EXPECT_EQ(fonts[i], font) << "thread " << i;
    EXPECT_EQ(std::memcmp(&fontCopies[i], font, sizeof(CV_LOGFONTA)), 0) << "thread " << i;
  }
}

}  // namespace
