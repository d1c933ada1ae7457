// What the benchmarks that time the general conversions share: the library's two roads in one
// process, the peers (glibc iconv and ICU) with a descriptor or converter opened once, and the
// corpus as UTF-16. A program that includes this links the library built without system
// conversion (corvane_static_tables), whose CV_ functions are the table road, and is given the
// shipped shared library's path as CORVANE_SHARED_LIBRARY, whose CV_ functions are the system road.
#pragma once

#include <dlfcn.h>
#include <iconv.h>
#include <unicode/ucnv.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "bench/corpus.h"
#include "corvane.h"

namespace corvane::bench {

using Bytes = std::vector<std::uint8_t>;
using Units = std::vector<std::uint16_t>;

inline std::int32_t Size(std::size_t n) {
  return static_cast<std::int32_t>(n);
}

// The roads of the library ------------------------------------------------------------------

using DecodeFunction = std::int32_t (*)(std::uint32_t, std::uint32_t, const std::uint8_t*,
                                        std::int32_t, std::uint16_t*, std::int32_t, std::int32_t*,
                                        std::uint32_t*);
using EncodeFunction = std::int32_t (*)(std::uint32_t, std::uint32_t, const std::uint16_t*,
                                        std::int32_t, std::uint8_t*, std::int32_t, const char*,
                                        std::int32_t*);

struct Road {
  DecodeFunction decode = nullptr;
  EncodeFunction encode = nullptr;
};

inline const Road kTableRoad{&CV_MultiByteToWideChar, &CV_WideCharToMultiByte};

template <typename Function>
inline Function Symbol(void* library, const char* name) {
  Function f = nullptr;
  void* address = dlsym(library, name);
  static_assert(sizeof f == sizeof address);
  std::memcpy(&f, &address, sizeof f);
  return f;
}

// The shipped shared library. Its own CV_ functions are taken from its handle, so the copies
// linked into this program never stand in for them. Null when it cannot be loaded.
inline const Road* SystemRoad() {
  static const Road road = [] {
    Road r;
    if (void* library = dlopen(CORVANE_SHARED_LIBRARY, RTLD_NOW | RTLD_LOCAL)) {
      r.decode = Symbol<DecodeFunction>(library, "CV_MultiByteToWideChar");
      r.encode = Symbol<EncodeFunction>(library, "CV_WideCharToMultiByte");
    }
    return r;
  }();
  return road.decode != nullptr && road.encode != nullptr ? &road : nullptr;
}

// The peers ------------------------------------------------------------------------------------

inline constexpr const char* kUtf16 = "UTF-16LE";

struct Iconv {
  iconv_t cd;
  Iconv(const char* to, const char* from) : cd(iconv_open(to, from)) {}
  ~Iconv() {
    if (ok()) iconv_close(cd);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool ok() const { return cd != reinterpret_cast<iconv_t>(-1); }

  // Converts all of in from the initial state, returning the bytes written, or -1.
  std::int64_t Run(const void* in, std::size_t inBytes, void* out, std::size_t outBytes) const {
    char* from = static_cast<char*>(const_cast<void*>(in));
    char* to = static_cast<char*>(out);
    std::size_t outLeft = outBytes;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &from, &inBytes, &to, &outLeft) == static_cast<std::size_t>(-1) || inBytes) {
      return -1;
    }
    // Back to the initial shift state, as a stateful encoding's text must end.
    if (iconv(cd, nullptr, nullptr, &to, &outLeft) == static_cast<std::size_t>(-1)) return -1;
    return static_cast<std::int64_t>(outBytes - outLeft);
  }
};

struct Icu {
  UConverter* converter = nullptr;
  explicit Icu(const char* name) {
    UErrorCode error = U_ZERO_ERROR;
    converter = ucnv_open(name, &error);
    if (U_FAILURE(error)) converter = nullptr;
    if (converter == nullptr) return;
    // Unmappable input is an error, never a substitute, so the filter sees only true mappings.
    error = U_ZERO_ERROR;
    ucnv_setFromUCallBack(converter, UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
    ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &error);
  }
  ~Icu() {
    if (converter != nullptr) ucnv_close(converter);
  }
  Icu(const Icu&) = delete;
  Icu& operator=(const Icu&) = delete;

  std::int32_t Decode(const Bytes& in, Units& out) const {
    UErrorCode error = U_ZERO_ERROR;
    const std::int32_t n =
        ucnv_toUChars(converter, reinterpret_cast<UChar*>(out.data()), Size(out.size()),
                      reinterpret_cast<const char*>(in.data()), Size(in.size()), &error);
    return U_FAILURE(error) ? -1 : n;
  }
  std::int32_t Encode(const std::uint16_t* in, std::size_t units, Bytes& out) const {
    UErrorCode error = U_ZERO_ERROR;
    const std::int32_t n =
        ucnv_fromUChars(converter, reinterpret_cast<char*>(out.data()), Size(out.size()),
                        reinterpret_cast<const UChar*>(in), Size(units), &error);
    return U_FAILURE(error) ? -1 : n;
  }
};

// The code pages -------------------------------------------------------------------------------

// A code page the benchmarks time, the corpus file that suits it, and the peers' names for it (the
// iconv names are the ones our POSIX backend hands to iconv).
struct Sample {
  std::uint32_t codePage;
  const char* file;
  const char* iconvName;
  const char* icuName;
};

inline constexpr Sample kSamples[] = {
    {932, "ja.txt", "CP932", "windows-31j"},      {936, "zh_cn.txt", "GBK", "GBK"},
    {949, "ko.txt", "UHC", "windows-949"},        {950, "zh_tw.txt", "BIG5", "Big5"},
    {51932, "ja.txt", "EUC-JP", "EUC-JP"},        {2022, "ja.txt", "ISO-2022-JP", "ISO-2022-JP"},
    {1252, "west.txt", "CP1252", "windows-1252"}, {1251, "ru.txt", "CP1251", "windows-1251"},
    {20866, "ru.txt", "KOI8-R", "KOI8-R"},        {65001, "ja.txt", "UTF-8", "UTF-8"},
};

// The sample of a code page that kSamples holds.
inline const Sample& SampleOf(std::uint32_t codePage) {
  return *std::find_if(std::begin(kSamples), std::end(kSamples),
                       [codePage](const Sample& s) { return s.codePage == codePage; });
}

// The corpus ------------------------------------------------------------------------------------

inline const Units& CorpusUnits(const std::string& file) {
  static std::map<std::string, Units> cache;
  auto found = cache.find(file);
  if (found != cache.end()) return found->second;
  const Bytes utf8 = LoadCorpus(file);
  std::u16string units(utf8.size() + 1, u'\0');
  std::int32_t length = 0;
  UErrorCode error = U_ZERO_ERROR;
  u_strFromUTF8(units.data(), Size(units.size()), &length,
                reinterpret_cast<const char*>(utf8.data()), Size(utf8.size()), &error);
  Units out;
  if (U_SUCCESS(error)) out.assign(units.begin(), units.begin() + length);
  return cache.emplace(file, std::move(out)).first->second;
}

inline bool IsSurrogate(std::uint16_t u) {
  return u >= 0xD800 && u <= 0xDFFF;
}

// Whether every implementation gives unit u the same bytes, and our tables take them back to u.
inline bool ConvertsAlike(std::uint16_t u, std::uint32_t codePage, const Iconv& toBytes,
                          const Icu& icu) {
  std::uint8_t ours[16];
  const std::int32_t n =
      CV_WideCharToMultiByte(codePage, 0, &u, 1, ours, sizeof ours, nullptr, nullptr);
  if (n <= 0) return false;
  std::uint16_t back[4];
  if (CV_MultiByteToWideChar(codePage, 0, ours, n, back, 4, nullptr, nullptr) != 1 ||
      back[0] != u) {
    return false;
  }
  const auto size = static_cast<std::size_t>(n);
  std::uint8_t theirs[16];
  if (toBytes.Run(&u, 2, theirs, sizeof theirs) != n || std::memcmp(ours, theirs, size) != 0) {
    return false;
  }
  Bytes icuBytes(16);
  return icu.Encode(&u, 1, icuBytes) == n && std::memcmp(ours, icuBytes.data(), size) == 0;
}

}  // namespace corvane::bench
