// What the C++ interface costs over the raw C calls: a whole corpus text decoded and encoded, for
// 65001, 932, 936, 949, 950, 51932, 1252, 1251 and 20866, in one run, by
//   c_tables   CV_MultiByteToWideChar / CV_WideCharToMultiByte into a buffer allocated once: the
//              library built without system conversion, linked in, so our own tables convert;
//   c_default  the same calls on the shipped shared library, loaded at run time, where the code
//              pages this machine's iconv knows go to iconv (65001 and 51932 stay ours);
//   cxx_span   a corvane::Decoder or Encoder over the whole text, then finish(), into a buffer
//              allocated once;
//   cxx_string the one-call corvane::decode / corvane::encode, which return a new string.
// Throughput counts bytes of input: code page bytes when decoding, UTF-16 bytes (two per unit)
// when encoding. At the end the program prints MB/s per code page and direction and each C++
// form's cost over c_tables (time over time: 1.05 is 5 % slower).
//
// The text. The C interface's tables and the C++ interface's differ in a few characters (the C
// one keeps its Windows behaviour), so each corpus file is kept to the characters that both, and
// the shipped library too, give the same bytes and read back to the same character; surrogates
// go, because the C interface's tables convert unit by unit. Every way then decodes the same
// bytes to the same units and encodes the same units to the same bytes, which each benchmark
// checks.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "bench/peers.h"
#include "corvane.h"
#include "corvane.hpp"

namespace corvane::bench {
namespace {

constexpr std::uint32_t kCodePages[] = {65001, 932, 936, 949, 950, 51932, 1252, 1251, 20866};

enum class Way { kCTables, kCDefault, kCxxSpan, kCxxString };
constexpr Way kWays[] = {Way::kCTables, Way::kCDefault, Way::kCxxSpan, Way::kCxxString};

const char* NameOf(Way way) {
  switch (way) {
    case Way::kCTables:
      return "c_tables";
    case Way::kCDefault:
      return "c_default";
    case Way::kCxxSpan:
      return "cxx_span";
    case Way::kCxxString:
      return "cxx_string";
  }
  return "?";
}

std::string NameOf(bool decoding, std::uint32_t codePage, Way way) {
  return std::string(decoding ? "Decode/" : "Encode/") + std::to_string(codePage) + "/" +
         NameOf(way);
}

// The text of each code page -----------------------------------------------------------------

struct Text {
  std::u16string units;  // the characters both interfaces convert alike
  std::string bytes;     // their encoding
  std::string error;
};

// The bytes a C road gives unit u, or none when it has no form for it or does not read it back.
std::string COneUnit(const Road& road, std::uint32_t codePage, char16_t u) {
  const auto unit = static_cast<std::uint16_t>(u);
  std::uint8_t bytes[16];
  std::int32_t defaultUsed = 0;
  const std::int32_t n =
      road.encode(codePage, 0, &unit, 1, bytes, sizeof bytes, nullptr, &defaultUsed);
  if (n <= 0 || defaultUsed != 0) return {};
  // Our UTF-8 decoder counts a terminator for counted input too.
  std::uint16_t back[4];
  const std::int32_t expected = codePage == 65001 ? 2 : 1;
  if (road.decode(codePage, 0, bytes, n, back, 4, nullptr, nullptr) != expected ||
      back[0] != unit) {
    return {};
  }
  return std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(n));
}

std::string CxxOneUnit(corvane::Encoding encoding, char16_t u) {
  try {
    const std::u16string one(1, u);
    std::string bytes = corvane::encode(one, encoding, {.on_error = OnError::strict});
    return corvane::decode(bytes, encoding, {.on_error = OnError::strict}) == one ? bytes : "";
  } catch (const corvane::Error&) {
    return {};
  }
}

Text MakeText(std::uint32_t codePage) {
  Text t;
  const Sample& sample = SampleOf(codePage);
  const Units& corpus = CorpusUnits(sample.file);
  const Road* system = SystemRoad();
  if (corpus.empty()) {
    t.error = std::string("cannot read the corpus file ") + sample.file;
    return t;
  }
  if (system == nullptr) {
    t.error = "cannot load the shipped shared library";
    return t;
  }
  const corvane::Encoding encoding(codePage);
  std::map<char16_t, std::string> form;  // a kept unit's bytes; empty for a dropped one
  for (const std::uint16_t unit : corpus) {
    const auto u = static_cast<char16_t>(unit);
    if (IsSurrogate(unit)) continue;
    auto [at, fresh] = form.emplace(u, std::string());
    if (fresh) {
      const std::string ours = CxxOneUnit(encoding, u);
      if (!ours.empty() && COneUnit(kTableRoad, codePage, u) == ours &&
          COneUnit(*system, codePage, u) == ours) {
        at->second = ours;
      }
    }
    if (at->second.empty()) continue;
    t.units.push_back(u);
    t.bytes += at->second;
  }
  return t;
}

const Text& TextOf(std::uint32_t codePage) {
  static std::map<std::uint32_t, Text> cache;
  auto found = cache.find(codePage);
  if (found != cache.end()) return found->second;
  return cache.emplace(codePage, MakeText(codePage)).first->second;
}

// The benchmarks ------------------------------------------------------------------------------

const Road& CRoad(Way way) {
  return way == Way::kCTables ? kTableRoad : *SystemRoad();
}

void Decode(benchmark::State& state, std::uint32_t codePage, Way way) {
  const Text& t = TextOf(codePage);
  if (!t.error.empty()) return state.SkipWithError(t.error.c_str());
  const corvane::Encoding encoding(codePage);
  const auto* in = reinterpret_cast<const std::uint8_t*>(t.bytes.data());
  std::u16string out(Decoder::max_units(t.bytes.size()) + Decoder::max_units(0), u'\0');
  std::u16string result;
  // Our UTF-8 decoder counts a terminator for counted input too.
  const std::size_t cUnits = t.units.size() + (codePage == 65001 ? 1 : 0);
  for (auto _ : state) {
    std::size_t n = 0;
    switch (way) {
      case Way::kCTables:
      case Way::kCDefault: {
        std::uint32_t shiftState = 1;
        const std::int32_t r = CRoad(way).decode(codePage, 0, in, Size(t.bytes.size()),
                                                 reinterpret_cast<std::uint16_t*>(out.data()),
                                                 Size(out.size()), nullptr, &shiftState);
        n = r == Size(cUnits) ? t.units.size() : 0;
        break;
      }
      case Way::kCxxSpan: {
        Decoder decoder(encoding);
        n = decoder.decode(std::span(in, t.bytes.size()), std::span(out));
        n += decoder.finish(std::span(out).subspan(n));
        break;
      }
      case Way::kCxxString:
        result = corvane::decode(t.bytes, encoding);
        n = result.size();
        break;
    }
    if (n != t.units.size()) return state.SkipWithError("wrong unit count");
    benchmark::DoNotOptimize(out.data());
    benchmark::DoNotOptimize(result.data());
    benchmark::ClobberMemory();
  }
  const std::u16string& got = way == Way::kCxxString ? result : out;
  if (got.compare(0, t.units.size(), t.units) != 0) {
    return state.SkipWithError("decoded text differs from the corpus");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(t.bytes.size()));
}

void Encode(benchmark::State& state, std::uint32_t codePage, Way way) {
  const Text& t = TextOf(codePage);
  if (!t.error.empty()) return state.SkipWithError(t.error.c_str());
  const corvane::Encoding encoding(codePage);
  const Encoder sizing(encoding);
  std::string out(sizing.max_bytes(t.units.size()) + sizing.max_bytes(0), '\0');
  std::string result;
  for (auto _ : state) {
    std::size_t n = 0;
    switch (way) {
      case Way::kCTables:
      case Way::kCDefault: {
        const std::int32_t r =
            CRoad(way).encode(codePage, 0, reinterpret_cast<const std::uint16_t*>(t.units.data()),
                              Size(t.units.size()), reinterpret_cast<std::uint8_t*>(out.data()),
                              Size(out.size()), nullptr, nullptr);
        n = r < 0 ? 0 : static_cast<std::size_t>(r);
        break;
      }
      case Way::kCxxSpan: {
        Encoder encoder(encoding);
        n = encoder.encode(t.units, std::span(out));
        n += encoder.finish(std::span(out).subspan(n));
        break;
      }
      case Way::kCxxString:
        result = corvane::encode(t.units, encoding);
        n = result.size();
        break;
    }
    if (n != t.bytes.size()) return state.SkipWithError("wrong byte count");
    benchmark::DoNotOptimize(out.data());
    benchmark::DoNotOptimize(result.data());
    benchmark::ClobberMemory();
  }
  const std::string& got = way == Way::kCxxString ? result : out;
  if (got.compare(0, t.bytes.size(), t.bytes) != 0) {
    return state.SkipWithError("encoded text differs");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(t.units.size() * 2));
}

// The table at the end --------------------------------------------------------------------------

// The console report, and each benchmark's throughput kept for the table.
class CostReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      // With repetitions, the median stands for the benchmark.
      const bool counts =
          run.run_type == Run::RT_Aggregate ? run.aggregate_name == "median" : run.repetitions <= 1;
      const auto rate = run.counters.find("bytes_per_second");
      if (counts && !run.error_occurred && rate != run.counters.end()) {
        megabytesPerSecond[run.run_name.function_name] = rate->second.value / 1e6;
      }
    }
  }

  std::map<std::string, double> megabytesPerSecond;
};

void PrintCosts(const std::map<std::string, double>& mbps) {
  std::printf(
      "\nWhole corpus texts: MB/s of input, and the C++ interface's cost over the C calls on our "
      "tables (time over time), from this run\n"
      "| code page | direction | C tables | C default | C++ span | C++ one-shot | "
      "span / C tables | one-shot / C tables |\n"
      "|---|---|---|---|---|---|---|---|\n");
  for (const bool decoding : {true, false}) {
    for (const std::uint32_t codePage : kCodePages) {
      double rate[std::size(kWays)] = {};
      bool all = true;
      for (std::size_t w = 0; w < std::size(kWays); ++w) {
        auto found = mbps.find(NameOf(decoding, codePage, kWays[w]));
        all = all && found != mbps.end();
        if (found != mbps.end()) rate[w] = found->second;
      }
      if (!all) continue;
      std::printf("| %u | %s | %.0f | %.0f | %.0f | %.0f | %.3f | %.3f |\n", codePage,
                  decoding ? "decode" : "encode", rate[0], rate[1], rate[2], rate[3],
                  rate[0] / rate[2], rate[0] / rate[3]);
    }
  }
}

void RegisterAll() {
  for (const bool decoding : {true, false}) {
    for (const std::uint32_t codePage : kCodePages) {
      for (const Way way : kWays) {
        const std::string name = NameOf(decoding, codePage, way);
        benchmark::RegisterBenchmark(name.c_str(), decoding ? Decode : Encode, codePage, way)
            ->Unit(benchmark::kMillisecond);
      }
    }
  }
}

}  // namespace
}  // namespace corvane::bench

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  corvane::bench::RegisterAll();
  corvane::bench::CostReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  corvane::bench::PrintCosts(reporter.megabytesPerSecond);
  return 0;
}
