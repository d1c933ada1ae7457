// corvane.dll as Windows loads it: the loader runs the entry routine (which must answer success
// at attach and at detach), the export table gives the eleven functions by their names and by
// the ordinals 1 to 11 in alphabetical order, and nothing else: no decorated name, no internal
// function, no twelfth ordinal. The registry is complete before the first export runs, since the
// static initialiser builds it before DllMain sees the attach notification. The export table is
// also checked statically, on the 32-bit DLL as well (tests/check_pe_binaries.py).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

#include "corvane.h"

namespace {

TEST(Dll, ExportsElevenFunctionsAtOrdinalsOneToElevenReadyForTheFirstCall) {
  const HMODULE dll = LoadLibraryA("corvane.dll");
  ASSERT_NE(dll, nullptr) << "LoadLibrary failed: " << GetLastError();
  const auto byName = [dll](const std::string& name) { return GetProcAddress(dll, name.c_str()); };
  std::ifstream expected(CORVANE_EXPECTED_EXPORTS);
  unsigned ordinal = 0;
  for (std::string name; std::getline(expected, name);) {
    if (name.empty()) continue;
    ASSERT_NE(byName(name), nullptr) << name;
    EXPECT_EQ(GetProcAddress(dll, MAKEINTRESOURCEA(++ordinal)), byName(name)) << name;
    EXPECT_EQ(byName("_" + name), nullptr) << "decorated";
  }
  EXPECT_EQ(ordinal, 11u);
  EXPECT_EQ(GetProcAddress(dll, MAKEINTRESOURCEA(12)), nullptr);
  for (const char* internal : {"DllMain", "BuildCodePageRegistry", "CV_IsValidCodePage@4"})
    EXPECT_EQ(byName(internal), nullptr) << internal;

  // The first calls into the DLL. 88591 takes the tables: Windows has no such number.
  const auto isValid = reinterpret_cast<int32_t(CV_CALL*)(uint32_t)>(
      reinterpret_cast<void*>(byName("CV_IsValidCodePage")));
  const auto decode = reinterpret_cast<int32_t(CV_CALL*)(
      uint32_t, uint32_t, const uint8_t*, int32_t, uint16_t*, int32_t, int32_t*, uint32_t*)>(
      reinterpret_cast<void*>(byName("CV_MultiByteToWideChar")));
  EXPECT_EQ(isValid(88591), 1);
  EXPECT_EQ(isValid(874), 0);
  const uint8_t latin1[] = {0xE9};
  uint16_t unit = 0;
  EXPECT_EQ(decode(88591, 0, latin1, 1, &unit, 1, nullptr, nullptr), 1);
  EXPECT_EQ(unit, 0x00E9);

  // The DLL and the statically linked library give the same font: one font cache per module,
  // each filled by the same choice against the same GDI.
  const auto realFont = reinterpret_cast<const CV_LOGFONTA*(CV_CALL*)(void)>(
      reinterpret_cast<void*>(byName("CV_RealFont")));
  const CV_LOGFONTA* fromDll = realFont();
  ASSERT_NE(fromDll, nullptr);
  EXPECT_NE(fromDll, CV_RealFont()) << "two modules, two caches";
  EXPECT_EQ(std::memcmp(fromDll, CV_RealFont(), sizeof *fromDll), 0);
  EXPECT_NE(FreeLibrary(dll), FALSE);
}

}  // namespace
