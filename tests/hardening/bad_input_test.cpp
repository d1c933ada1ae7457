// What every export does with input a careless or hostile caller gives it: null pointers where
// the interface allows them, lengths of -1, 0, below -1 and at the int32 limits, capacities of
// 0, 1, exact and one short, broken and cut-off sequences, zeros inside counted text. Each row
// states the result the interface defines for it; rows marked "our choice" are cases the
// interface leaves open, decided as a caller would want (refused, nothing written or read).
// A few rows hand the text to the system road, where the answer is the system's: the POSIX
// backend's iconv, which answers as Windows does wherever it can, or Windows' own conversions in
// corvane.dll. Each such row says what each system answers and why.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>

#include "corvane.h"

namespace {

#if CORVANE_SYSTEM_CONVERSION
constexpr bool kSystem = true;
#else
constexpr bool kSystem = false;
#endif
#ifdef _WIN32
constexpr bool kWindows = kSystem;  // Windows' own conversions answer
#else
constexpr bool kWindows = false;
#endif

const uint8_t kAbc[] = {'a', 'b', 'c', 0};
const uint16_t kAbcW[] = {'a', 'b', 'c', 0};
const uint8_t kCutSjis[] = {0x82, 0xA0, 0x82};
const uint16_t kHiragana[] = {0x3042, 0};

// The destinations, 0xEE bytes before each row. A row that also shows what a call wrote there
// or put in a count gives its result times 0x100 (0x10000 for units; 10 for a count) plus that.
uint16_t w[8];
uint8_t b[24];

int32_t M2W(uint32_t cp, const uint8_t* src, int32_t len, uint16_t* dst, int32_t cap,
            int32_t* consumed = nullptr) {
  return CV_MultiByteToWideChar(cp, 0, src, len, dst, cap, consumed, nullptr);
}

int32_t W2M(uint32_t cp, const uint16_t* src, int32_t len, uint8_t* dst, int32_t cap,
            uint32_t flags = 0, const char* defaultChar = nullptr) {
  return CV_WideCharToMultiByte(cp, flags, src, len, dst, cap, defaultChar, nullptr);
}

struct Row {
  const char* what;
  std::function<int64_t()> call;
  int64_t expected;
};

// clang-format off
const Row kRows[] = {
    // CV_MultiByteToWideChar
    {"decode: null source", [] { return M2W(1252, nullptr, -1, w, 8); }, 0},
    {"decode: null destination with a capacity", [] { return M2W(1252, kAbc, -1, nullptr, 8); }, 0},
    {"decode: negative capacity", [] { return M2W(65001, kAbc, -1, w, -1); }, 0},
    {"decode: measuring with a null destination", [] { return M2W(1252, kAbc, -1, nullptr, 0); }, 4},
    {"decode: length 0", [] { return M2W(1252, kAbc, 0, w, 8); }, 0},
    {"decode: length 0 on 65001 gets the decoder's terminator", [] { return M2W(65001, kAbc, 0, w, 8); }, 1},
    {"decode: empty nul-terminated text is its terminator", [] { return M2W(1252, kAbc + 3, -1, w, 8); }, 1},
    {"decode: length INT32_MIN converts nothing", [] { return M2W(2022, kAbc, INT32_MIN, w, 8); }, 0},
    {"decode: 65001 capacity 1", [] { return M2W(65001, kAbc, -1, w, 1); }, 1},
    // Windows' MultiByteToWideChar fails with 0 (ERROR_INSUFFICIENT_BUFFER) when the destination
    // is too small, and the POSIX backend does the same; our tables store what fits.
    {"decode: one short on the system road fails, on ours stops",
     [] { return M2W(1252, kAbc, -1, w, 3); }, kSystem ? 0 : 3},
    {"decode: lead byte cut off, counted, with a consumed count",
     [] { int32_t c = 0; return M2W(932, kCutSjis, 3, w, 8, &c) * 10 + c; }, 12},
    // Only the system converts 1200. A -1 text ends at its first 0 byte there too, where measuring
    // ends it, so the measured capacity holds the result: glibc's iconv decodes "A\0" as 'A'.
    // Windows' MultiByteToWideChar does not convert 1200, 1201, 12000 or 12001 at all (they are
    // for managed code only) and fails with 0, so corvane.dll answers 0 there.
    {"decode: -1 under 1200 ends at the first 0 byte, as measuring says", [] {
       const uint8_t s[] = {'A', 0, 'B', 0, 0, 0};
       return M2W(1200, s, -1, w, M2W(1200, s, -1, nullptr, 0));
     }, (kSystem && !kWindows) ? 1 : 0},
    {"decode: code page nobody converts", [] { return M2W(12345, kAbc, -1, w, 8); }, 0},
    // A number that is no pseudo code page of ours goes to the system unchanged. Windows reads 1
    // as its OEM code page (CP_OEMCP) and converts; the POSIX backend knows no code page 1.
    {"decode: code page 1 is the system's to read", [] { return M2W(1, kAbc, -1, w, 8); }, kWindows ? 4 : 0},
    // The export reads no flags: Windows would fail on these (ERROR_INVALID_FLAGS).
    {"decode: flags are not read",
     [] { return CV_MultiByteToWideChar(1252, 0xFFFFFFFF, kAbc, -1, w, 8, nullptr, nullptr); }, 4},
    // A capacity far beyond the text (the caller's buffer is as large as it says; only the text is
    // written), on the UTF-8, system and Japanese roads.
    {"decode: capacity INT32_MAX on 65001", [] { return M2W(65001, kAbc, -1, w, INT32_MAX); }, 4},
    {"decode: capacity INT32_MAX on 1252", [] { return M2W(1252, kAbc, -1, w, INT32_MAX); }, 4},
    {"decode: capacity INT32_MAX on 51932", [] { return M2W(51932, kAbc, -1, w, INT32_MAX); }, 4},
    // CV_WideCharToMultiByte
    {"encode: null source", [] { return W2M(65001, nullptr, -1, b, 8); }, 0},
    {"encode: null destination with a capacity", [] { return W2M(1252, kAbcW, -1, nullptr, 8); }, 0},
    {"encode: measuring with a null destination", [] { return W2M(65001, kAbcW, -1, nullptr, 0); }, 4},
    {"encode: negative capacity on 65001 gives the length, writes nothing",
     [] { return W2M(65001, kAbcW, -1, b, -1) * 0x100 + b[0]; }, 4 * 0x100 + 0xEE},
    {"encode: negative capacity elsewhere gives 0", [] { return W2M(1252, kAbcW, -1, b, -1) * 0x100 + b[0]; }, 0xEE},
    {"encode: length 0", [] { return W2M(1252, kAbcW, 0, b, 8); }, 0},
    {"encode: length INT32_MIN is an empty text", [] { return W2M(51932, kAbcW, INT32_MIN, nullptr, 0); }, 0},
    // The flags, the default character and the default-used pointer go to the system unchanged,
    // to be judged by its rules. Windows fails with 0 on flags it does not know
    // (ERROR_INVALID_FLAGS); iconv has no flags and the POSIX backend reads none; our tables
    // ignore them.
    {"encode: unknown flags on the system road",
     [] { return W2M(1252, kAbcW, -1, b, 8, 0xFFFFFFFF); }, kWindows ? 0 : 4},
    // Windows converts UTF-7 (65000), but refuses a default character with it
    // (ERROR_INVALID_PARAMETER); the POSIX backend does not hand 65000 to iconv at all.
    {"encode: 65000 is the system's", [] { return W2M(65000, kAbcW, -1, b, 8); }, kWindows ? 4 : 0},
    {"encode: 65000 with a default character is refused", [] { return W2M(65000, kAbcW, -1, b, 8, 0, "?"); }, 0},
    {"encode: code page nobody converts", [] { return W2M(12345, kAbcW, -1, b, 8); }, 0},
    {"encode: capacity INT32_MAX on 65001", [] { return W2M(65001, kAbcW, -1, b, INT32_MAX); }, 4},
    {"encode: capacity INT32_MAX on 1252", [] { return W2M(1252, kAbcW, -1, b, INT32_MAX); }, 4},
    {"encode: capacity INT32_MAX on 2022", [] { return W2M(2022, kHiragana, -1, b, INT32_MAX); }, 9},
    // CV_UTF8ToWideChar and CV_WideCharToUTF8
    {"utf8 decode: null source", [] { return CV_UTF8ToWideChar(nullptr, -1, w, 8); }, -1},
    {"utf8 decode: null destination only counts", [] { return CV_UTF8ToWideChar(kAbc, -1, nullptr, 8); }, 4},
    {"utf8 decode: negative capacity counts, writes nothing (our choice)",
     [] { return CV_UTF8ToWideChar(kAbc, -1, w, -1) * 0x10000 + w[0]; }, 4 * 0x10000 + 0xEEEE},
    {"utf8 decode: capacity INT32_MAX", [] { return CV_UTF8ToWideChar(kAbc, -1, w, INT32_MAX); }, 4},
    {"utf8 encode: null source", [] { return CV_WideCharToUTF8(nullptr, -1, b, 8); }, 0},
    {"utf8 encode: null destination with a capacity", [] { return CV_WideCharToUTF8(kAbcW, -1, nullptr, 8); }, 0},
    {"utf8 encode: negative capacity", [] { return CV_WideCharToUTF8(kAbcW, -1, b, -1) * 0x100 + b[0]; }, 0xEE},
    {"utf8 encode: capacity INT32_MAX", [] { return CV_WideCharToUTF8(kAbcW, -1, b, INT32_MAX); }, 4},
    // CV_StrLength and CV_JapaneseAutoDetect
    {"length: null bytes on 65001", [] { int32_t c = 5; return CV_StrLength(65001, nullptr, -1, &c) * 10 + c; }, -11},
    {"length: null bytes elsewhere measure as empty",
     [] { int32_t c = 5; return CV_StrLength(932, nullptr, -1, &c) * 10 + c; }, 0},
    {"detect: null text is empty (our choice)",
     [] { uint32_t f = 5; return CV_JapaneseAutoDetect(nullptr, -1, &f) * 10 + f; }, 20220},
    {"detect: null flag is not written (our choice)", [] { return CV_JapaneseAutoDetect(kCutSjis, 3, nullptr); }, 932},
    // The name exports
    {"name to id: null", [] { return CV_CodePageNameToID(nullptr); }, 0},
    {"name to id: empty", [] { return CV_CodePageNameToID(""); }, 0},
    {"name to id: longest name plus one letter", [] { return CV_CodePageNameToID("csEUCPkdFmtJapaneseX"); }, 0},
    {"id to name: null buffer", [] { return CV_CodePageIDToName(1252, nullptr); }, 0},
    {"id to name: the terminator's number is no code page",
     [] { return CV_CodePageIDToName(0xFFFFFFFF, reinterpret_cast<char*>(b)); }, 0},
    {"valid: the terminator's number", [] { return CV_IsValidCodePage(0xFFFFFFFF); }, 0},
    {"charset: the terminator's number", [] { return CV_GetCharSet(0xFFFFFFFF); }, 0},
};
// clang-format on

TEST(BadInput, EachRowGivesItsStatedResult) {
  for (const Row& row : kRows) {
    std::fill(std::begin(w), std::end(w), 0xEEEE);
    std::fill(std::begin(b), std::end(b), 0xEE);
    EXPECT_EQ(row.call(), row.expected) << row.what;
  }
}

}  // namespace
