// Many threads calling every export at once, starting together with the first CV_RealFont call
// of the process, get exactly what one thread gets. Natively each test runs in a process of its
// own under ctest; under Wine the whole program is one process, and no other test in it calls
// CV_RealFont, so the call is still the first. Run under the tsan preset, this is also the race
// check of the whole interface.
#include <gtest/gtest.h>

#include <cstring>
#include <latch>
#include <thread>
#include <utility>
#include <vector>

#include "corvane.h"

namespace {

// Every export but CV_RealFont over every code page, its results and outputs in one list.
std::vector<int64_t> RunEverything(const std::vector<uint32_t>& pages) {
  static const uint16_t kText[] = {'A', 0x00E9, 0x0416, 0x3042, 0x6F22, 0xAC00, 0xFF71, '\n', 0};
  std::vector<int64_t> out;
  const auto add = [&out](auto... values) { (out.push_back(values), ...); };
  for (uint32_t cp : pages) {
    uint8_t bytes[64] = {};
    uint16_t units[64] = {};
    char name[20] = {};
    int32_t consumed = 0, measured = 0;
    uint32_t state = 1, confident = 0;
    const int32_t n = CV_WideCharToMultiByte(cp, 0, kText, -1, bytes, 64, nullptr, nullptr);
    add(n, CV_WideCharToMultiByte(cp, 0, kText, -1, nullptr, 0, nullptr, nullptr),
        CV_MultiByteToWideChar(cp, 0, bytes, n, units, 64, &consumed, &state),
        CV_MultiByteToWideChar(cp, 0, bytes, -1, nullptr, 0, nullptr, nullptr),
        CV_StrLength(cp, bytes, n, &measured), CV_JapaneseAutoDetect(bytes, n, &confident),
        CV_CodePageIDToName(cp, name), CV_GetCharSet(cp), CV_IsValidCodePage(cp));
    add(consumed, state, measured, confident);  // once the calls above have written them
    out.insert(out.end(), bytes, bytes + 64);
    out.insert(out.end(), units, units + 64);
    out.insert(out.end(), name, name + 20);
  }
  uint8_t utf8[64] = {};
  uint16_t wide[64] = {};
  add(CV_WideCharToUTF8(kText, -1, utf8, 64));
  add(CV_UTF8ToWideChar(utf8, -1, wide, 64));
  out.insert(out.end(), wide, wide + 64);
  for (const char* name : {"Shift_JIS", "LATIN1", "utf-8", "koi8-r", "nope"})
    add(CV_CodePageNameToID(name));
  return out;
}

TEST(Concurrency, EveryExportFromManyThreadsAgreesWithOneThread) {
  constexpr int kThreads = 8;
  std::vector<uint32_t> pages{65001, 2023, 0, 3, 874};
  for (uint32_t cp = 1; cp < 100000; ++cp)
    if (CV_IsValidCodePage(cp) == 1) pages.push_back(cp);
  const std::vector<int64_t> expected = RunEverything(pages);
  std::latch start(kThreads);
  std::vector<std::pair<const CV_LOGFONTA*, CV_LOGFONTA>> fonts(kThreads);  // and what it held
  std::vector<int> differing(kThreads, 0);
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < kThreads; ++i) {
    threads.emplace_back([&, i] {
      start.arrive_and_wait();
      fonts[i].first = CV_RealFont();
      fonts[i].second = *fonts[i].first;
      for (int round = 0; round < 10; ++round)
        differing[i] += RunEverything(pages) != expected;
    });
  }
  for (std::thread& thread : threads)
    thread.join();

  const CV_LOGFONTA* font = CV_RealFont();
  for (std::size_t i = 0; i < kThreads; ++i) {
    EXPECT_EQ(differing[i], 0) << "thread " << i;
    EXPECT_EQ(fonts[i].first, font) << "thread " << i;
    EXPECT_EQ(std::memcmp(&fonts[i].second, font, sizeof(CV_LOGFONTA)), 0) << "thread " << i;
  }
}

}  // namespace
