// UTF-8 to UTF-16 and back on real text: Corvane's exports, its fast loops with each kernel
// implementation this machine runs (the exports use the first), its reference loops, glibc iconv
// and ICU, in one run. Throughput is counted in bytes of input: UTF-8 bytes when decoding, UTF-16
// bytes (two per unit) when encoding.
//
// west.txt is mostly ASCII with Latin accents (two-byte forms); ja.txt mixes ASCII runs (about
// 40 % of its characters) with three-byte forms, so a decoder that only shines on long ASCII runs
// shows it there.
#include <benchmark/benchmark.h>
#include <iconv.h>
#include <unicode/ustring.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "bench/corpus.h"
#include "corvane.h"
#include "utf8/utf8_codec.h"
#include "utf8/utf8_kernels.h"

namespace {

struct Text {
  std::vector<std::uint8_t> utf8;
  std::vector<std::uint8_t> utf8Terminated;  // the same with a 0 byte behind, for nul mode
  std::vector<std::uint16_t> utf16;          // decoded by ICU, the independent peer
  std::u16string utf16ForIcu;                // the same units in ICU's type
};

const Text& Corpus(const std::string& name) {
  static std::map<std::string, Text> texts;
  auto found = texts.find(name);
  if (found != texts.end()) return found->second;
  Text t;
  t.utf8 = corvane::bench::LoadCorpus(name);
  t.utf8Terminated = t.utf8;
  t.utf8Terminated.push_back(0);
  t.utf16ForIcu.resize(t.utf8.size() + 1);
  std::int32_t units = 0;
  UErrorCode error = U_ZERO_ERROR;
  u_strFromUTF8(t.utf16ForIcu.data(), static_cast<std::int32_t>(t.utf16ForIcu.size()), &units,
                reinterpret_cast<const char*>(t.utf8.data()),
                static_cast<std::int32_t>(t.utf8.size()), &error);
  t.utf16ForIcu.resize(U_SUCCESS(error) ? static_cast<std::size_t>(units) : 0);
  t.utf16.assign(t.utf16ForIcu.begin(), t.utf16ForIcu.end());
  return texts.emplace(name, std::move(t)).first->second;
}

std::int32_t Size(std::size_t n) {
  return static_cast<std::int32_t>(n);
}

// Decoding ---------------------------------------------------------------------------------------

enum class DecodeWay { kCorvane, kCorvaneNulMode, kCorvaneCountOnly, kKernels, kScalar };

void Utf8ToUtf16Corvane(benchmark::State& state, const std::string& file, DecodeWay way,
                        const corvane::Utf8Kernels* kernels = nullptr) {
  const Text& t = Corpus(file);
  if (t.utf16.empty()) return state.SkipWithError("corpus missing or not UTF-8");
  std::vector<std::uint16_t> out(t.utf16.size() + 1);
  const std::int32_t expected = Size(t.utf16.size() + 1);
  for (auto _ : state) {
    std::int32_t n = 0;
    switch (way) {
      case DecodeWay::kCorvane:
        n = CV_UTF8ToWideChar(t.utf8.data(), Size(t.utf8.size()), out.data(), Size(out.size()));
        break;
      case DecodeWay::kCorvaneNulMode:
        n = CV_UTF8ToWideChar(t.utf8Terminated.data(), -1, out.data(), Size(out.size()));
        break;
      case DecodeWay::kCorvaneCountOnly:
        n = CV_UTF8ToWideChar(t.utf8.data(), Size(t.utf8.size()), nullptr, 0);
        break;
      case DecodeWay::kKernels:
        n = corvane::Utf8ToUcs2With(*kernels, {t.utf8.data(), t.utf8.size(), false}, out, nullptr);
        break;
      case DecodeWay::kScalar:
        n = corvane::Utf8ToUcs2Scalar({t.utf8.data(), t.utf8.size(), false}, out, nullptr);
        break;
    }
    if (n != expected) return state.SkipWithError("wrong unit count");
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(t.utf8.size()));
}

void Utf8ToUtf16Iconv(benchmark::State& state, const std::string& file) {
  const Text& t = Corpus(file);
  if (t.utf16.empty()) return state.SkipWithError("corpus missing or not UTF-8");
  iconv_t cd = iconv_open("UTF-16LE", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) return state.SkipWithError("iconv_open failed");
  std::vector<std::uint16_t> out(t.utf16.size() + 1);
  for (auto _ : state) {
    char* in = reinterpret_cast<char*>(const_cast<std::uint8_t*>(t.utf8.data()));
    std::size_t inLeft = t.utf8.size();
    char* to = reinterpret_cast<char*>(out.data());
    std::size_t toLeft = out.size() * 2;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &in, &inLeft, &to, &toLeft) == static_cast<std::size_t>(-1) || inLeft != 0) {
      state.SkipWithError("iconv failed");
      break;
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(t.utf8.size()));
}

void Utf8ToUtf16Icu(benchmark::State& state, const std::string& file) {
  const Text& t = Corpus(file);
  if (t.utf16.empty()) return state.SkipWithError("corpus missing or not UTF-8");
  std::u16string out(t.utf16.size() + 1, u'\0');
  for (auto _ : state) {
    std::int32_t units = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strFromUTF8(out.data(), Size(out.size()), &units,
                  reinterpret_cast<const char*>(t.utf8.data()), Size(t.utf8.size()), &error);
    if (U_FAILURE(error)) return state.SkipWithError("u_strFromUTF8 failed");
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(t.utf8.size()));
}

// Encoding ---------------------------------------------------------------------------------------

enum class EncodeWay { kCorvane, kCorvaneCountOnly, kKernels, kScalar };

void Utf16ToUtf8Corvane(benchmark::State& state, const std::string& file, EncodeWay way,
                        const corvane::Utf8Kernels* kernels = nullptr) {
  const Text& t = Corpus(file);
  if (t.utf16.empty()) return state.SkipWithError("corpus missing or not UTF-8");
  // Units are encoded one by one, so the corpus's few surrogate pairs take six bytes, not four.
  const std::int32_t expected = CV_WideCharToUTF8(t.utf16.data(), Size(t.utf16.size()), nullptr, 0);
  std::vector<std::uint8_t> out(static_cast<std::size_t>(expected));
  for (auto _ : state) {
    std::int32_t n = 0;
    switch (way) {
      case EncodeWay::kCorvane:
        n = CV_WideCharToUTF8(t.utf16.data(), Size(t.utf16.size()), out.data(), Size(out.size()));
        break;
      case EncodeWay::kCorvaneCountOnly:
        n = CV_WideCharToUTF8(t.utf16.data(), Size(t.utf16.size()), nullptr, 0);
        break;
      case EncodeWay::kKernels:
        n = corvane::Ucs2ToUtf8With(*kernels, {t.utf16.data(), t.utf16.size(), false}, out);
        break;
      case EncodeWay::kScalar:
        n = corvane::Ucs2ToUtf8Scalar({t.utf16.data(), t.utf16.size(), false}, out);
        break;
    }
    if (n != expected) return state.SkipWithError("wrong byte count");
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(t.utf16.size() * 2));
}

void Utf16ToUtf8Iconv(benchmark::State& state, const std::string& file) {
  const Text& t = Corpus(file);
  if (t.utf16.empty()) return state.SkipWithError("corpus missing or not UTF-8");
  iconv_t cd = iconv_open("UTF-8", "UTF-16LE");
  if (cd == reinterpret_cast<iconv_t>(-1)) return state.SkipWithError("iconv_open failed");
  std::vector<std::uint8_t> out(t.utf16.size() * 3);
  for (auto _ : state) {
    char* in = reinterpret_cast<char*>(const_cast<std::uint16_t*>(t.utf16.data()));
    std::size_t inLeft = t.utf16.size() * 2;
    char* to = reinterpret_cast<char*>(out.data());
    std::size_t toLeft = out.size();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    if (iconv(cd, &in, &inLeft, &to, &toLeft) == static_cast<std::size_t>(-1) || inLeft != 0) {
      state.SkipWithError("iconv failed");
      break;
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  iconv_close(cd);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(t.utf16.size() * 2));
}

void Utf16ToUtf8Icu(benchmark::State& state, const std::string& file) {
  const Text& t = Corpus(file);
  if (t.utf16.empty()) return state.SkipWithError("corpus missing or not UTF-8");
  std::vector<char> out(t.utf16.size() * 3);
  for (auto _ : state) {
    std::int32_t bytes = 0;
    UErrorCode error = U_ZERO_ERROR;
    u_strToUTF8(out.data(), Size(out.size()), &bytes, t.utf16ForIcu.data(),
                Size(t.utf16ForIcu.size()), &error);
    if (U_FAILURE(error)) return state.SkipWithError("u_strToUTF8 failed");
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(t.utf16.size() * 2));
}

// Decoding, per text.
BENCHMARK_CAPTURE(Utf8ToUtf16Corvane, west, std::string("west.txt"), DecodeWay::kCorvane);
BENCHMARK_CAPTURE(Utf8ToUtf16Corvane, west_nul_mode, std::string("west.txt"),
                  DecodeWay::kCorvaneNulMode);
BENCHMARK_CAPTURE(Utf8ToUtf16Corvane, west_count_only, std::string("west.txt"),
                  DecodeWay::kCorvaneCountOnly);
BENCHMARK_CAPTURE(Utf8ToUtf16Corvane, west_scalar, std::string("west.txt"), DecodeWay::kScalar);
BENCHMARK_CAPTURE(Utf8ToUtf16Iconv, west, std::string("west.txt"));
BENCHMARK_CAPTURE(Utf8ToUtf16Icu, west, std::string("west.txt"));
BENCHMARK_CAPTURE(Utf8ToUtf16Corvane, ja, std::string("ja.txt"), DecodeWay::kCorvane);
BENCHMARK_CAPTURE(Utf8ToUtf16Corvane, ja_nul_mode, std::string("ja.txt"),
                  DecodeWay::kCorvaneNulMode);
BENCHMARK_CAPTURE(Utf8ToUtf16Corvane, ja_count_only, std::string("ja.txt"),
                  DecodeWay::kCorvaneCountOnly);
BENCHMARK_CAPTURE(Utf8ToUtf16Corvane, ja_scalar, std::string("ja.txt"), DecodeWay::kScalar);
BENCHMARK_CAPTURE(Utf8ToUtf16Iconv, ja, std::string("ja.txt"));
BENCHMARK_CAPTURE(Utf8ToUtf16Icu, ja, std::string("ja.txt"));

// Encoding, per text.
BENCHMARK_CAPTURE(Utf16ToUtf8Corvane, west, std::string("west.txt"), EncodeWay::kCorvane);
BENCHMARK_CAPTURE(Utf16ToUtf8Corvane, west_count_only, std::string("west.txt"),
                  EncodeWay::kCorvaneCountOnly);
BENCHMARK_CAPTURE(Utf16ToUtf8Corvane, west_scalar, std::string("west.txt"), EncodeWay::kScalar);
BENCHMARK_CAPTURE(Utf16ToUtf8Iconv, west, std::string("west.txt"));
BENCHMARK_CAPTURE(Utf16ToUtf8Icu, west, std::string("west.txt"));
BENCHMARK_CAPTURE(Utf16ToUtf8Corvane, ja, std::string("ja.txt"), EncodeWay::kCorvane);
BENCHMARK_CAPTURE(Utf16ToUtf8Corvane, ja_count_only, std::string("ja.txt"),
                  EncodeWay::kCorvaneCountOnly);
BENCHMARK_CAPTURE(Utf16ToUtf8Corvane, ja_scalar, std::string("ja.txt"), EncodeWay::kScalar);
BENCHMARK_CAPTURE(Utf16ToUtf8Iconv, ja, std::string("ja.txt"));
BENCHMARK_CAPTURE(Utf16ToUtf8Icu, ja, std::string("ja.txt"));

// Each kernel implementation, both directions, per text: named like the captures above, with the
// implementation's name behind the text's.
[[maybe_unused]] const bool kKernelBenchmarks = [] {
  for (const corvane::Utf8Kernels& kernels : corvane::AvailableUtf8Kernels()) {
    for (const std::string text : {"west", "ja"}) {
      const std::string suffix = "/" + text + "_" + kernels.name;
      benchmark::RegisterBenchmark(("Utf8ToUtf16Corvane" + suffix).c_str(), Utf8ToUtf16Corvane,
                                   text + ".txt", DecodeWay::kKernels, &kernels);
      benchmark::RegisterBenchmark(("Utf16ToUtf8Corvane" + suffix).c_str(), Utf16ToUtf8Corvane,
                                   text + ".txt", EncodeWay::kKernels, &kernels);
    }
  }
  return true;
}();

}  // namespace
