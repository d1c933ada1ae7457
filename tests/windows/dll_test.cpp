// corvane.dll as Windows loads it: the loader runs the entry routine (which must answer success
// at attach and at detach), the export table gives the eleven functions by their names and by
// the ordinals 1 to 11 in alphabetical order, and nothing else: no decorated name, no internal
// function, no twelfth ordinal. The registry is complete before the first export runs, since the
// static initialiser builds it before DllMain sees the attach notification. The export table is
// also checked statically, on the 32-bit DLL as well (tests/check_pe_exports.cmake).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "corvane.h"

namespace {

std::vector<std::string> ExpectedExports() {
  std::ifstream file(CORVANE_EXPECTED_EXPORTS);
  std::vector<std::string> names;
  for (std::string line; std::getline(file, line);) {
    if (!line.empty()) names.push_back(line);
  }
  return names;
}

class Dll : public ::testing::Test {
 protected:
  void SetUp() override {
    module_ = ::LoadLibraryA("corvane.dll");
    ASSERT_NE(module_, nullptr) << "LoadLibrary failed: " << ::GetLastError();
  }
  void TearDown() override {
    if (module_ != nullptr) {
      EXPECT_NE(::FreeLibrary(module_), FALSE);
    }
  }
  FARPROC ByName(const char* name) const { return ::GetProcAddress(module_, name); }
  FARPROC ByOrdinal(unsigned ordinal) const {
    return ::GetProcAddress(module_, MAKEINTRESOURCEA(ordinal));
  }
  template <typename F>
  F Function(const char* name) const {
    return reinterpret_cast<F>(reinterpret_cast<void*>(ByName(name)));
  }
  HMODULE module_ = nullptr;
};

TEST_F(Dll, ExportsTheElevenNamesAtOrdinalsOneToElevenAndNothingElse) {
  const std::vector<std::string> names = ExpectedExports();
  ASSERT_EQ(names.size(), 11u);
  for (std::size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE(names[i]);
    ASSERT_NE(ByName(names[i].c_str()), nullptr);
    EXPECT_EQ(ByOrdinal(static_cast<unsigned>(i + 1)), ByName(names[i].c_str()));
    EXPECT_EQ(ByName(("_" + names[i]).c_str()), nullptr) << "decorated";
  }
  EXPECT_EQ(ByOrdinal(12), nullptr);
  for (const char* internal : {"DllMain", "BuildCodePageRegistry", "CV_IsValidCodePage@4"})
    EXPECT_EQ(ByName(internal), nullptr) << internal;
}

TEST_F(Dll, TheRegistryIsReadyForTheFirstCall) {
  using IsValid = int32_t(CV_CALL*)(uint32_t);
  using Decode = int32_t(CV_CALL*)(uint32_t, uint32_t, const uint8_t*, int32_t, uint16_t*, int32_t,
                                   int32_t*, uint32_t*);
  const auto isValid = Function<IsValid>("CV_IsValidCodePage");
  const auto decode = Function<Decode>("CV_MultiByteToWideChar");
  ASSERT_NE(isValid, nullptr);
  ASSERT_NE(decode, nullptr);
  EXPECT_EQ(isValid(88591), 1);
  EXPECT_EQ(isValid(874), 0);
  const uint8_t latin1[] = {0xE9};  // 88591 takes the tables: Windows has no such number
  uint16_t unit = 0;
  EXPECT_EQ(decode(88591, 0, latin1, 1, &unit, 1, nullptr, nullptr), 1);
  EXPECT_EQ(unit, 0x00E9);
}

// The DLL and the statically linked library give the same font: one font cache per module, each
// filled by the same choice against the same GDI.
TEST_F(Dll, RealFontAgreesWithTheLinkedLibrary) {
  using RealFont = const CV_LOGFONTA*(CV_CALL*)(void);
  const auto realFont = Function<RealFont>("CV_RealFont");
  ASSERT_NE(realFont, nullptr);
  const CV_LOGFONTA* fromDll = realFont();
  ASSERT_NE(fromDll, nullptr);
  EXPECT_NE(fromDll, CV_RealFont()) << "two modules, two caches";
  EXPECT_EQ(std::memcmp(fromDll, CV_RealFont(), sizeof *fromDll), 0);
}

}  // namespace
