// Short strings, one call after another: 8, 16, 32 and 64 bytes of real text (a file name, a
// database field, a line of interface text) in 932, 1252 and 65001, both directions, converted by
//   tables      our table road: the library built without system conversion, linked in;
//   system      our system road: the shipped shared library, loaded at run time, where iconv
//               converts 932 and 1252 with the descriptors each thread keeps (65001 is our own
//               codec on both roads);
//   iconv_kept  glibc iconv, a descriptor opened once and reset before each call;
//   iconv_open  glibc iconv opened, run and closed for each call, as a caller without a kept
//               descriptor pays;
//   icu         ICU's ucnv_toUChars / ucnv_fromUChars, a converter opened once.
// Each benchmark goes round 64 different strings of its size, cut from the corpus at character
// boundaries and kept only where every implementation gives the same result. Times are per call.
// At the end the program prints, from this one run, each road's CPU time over iconv_kept's and
// ICU's (CPU time, which other work on a shared machine disturbs less than wall time does).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "bench/peers.h"
#include "corvane.h"

namespace corvane::bench {
namespace {

constexpr std::uint32_t kCodePages[] = {932, 1252, 65001};
constexpr std::size_t kSizes[] = {8, 16, 32, 64};  // bytes in the code page
constexpr std::size_t kStrings = 64;               // different strings per benchmark

enum class Direction { kDecode, kEncode };
enum class Way { kTables, kSystem, kIconvKept, kIconvOpen, kIcu };
constexpr Way kWays[] = {Way::kTables, Way::kSystem, Way::kIconvKept, Way::kIconvOpen, Way::kIcu};

const char* NameOf(Way way) {
  switch (way) {
    case Way::kTables:
      return "tables";
    case Way::kSystem:
      return "system";
    case Way::kIconvKept:
      return "iconv_kept";
    case Way::kIconvOpen:
      return "iconv_open";
    case Way::kIcu:
      return "icu";
  }
  return "?";
}

std::string NameOf(Direction direction, const Sample& sample, std::size_t size, Way way) {
  return std::string(direction == Direction::kDecode ? "Decode/" : "Encode/") +
         std::to_string(sample.codePage) + "/" + std::to_string(size) + "/" + NameOf(way);
}

struct ShortString {
  Bytes bytes;
  Units units;
};

// Every implementation, opened once for a sample.
struct Converters {
  explicit Converters(const Sample& s)
      : sample(s), toUnits(kUtf16, s.iconvName), toBytes(s.iconvName, kUtf16), icu(s.icuName) {}
  bool ok() const { return toUnits.ok() && toBytes.ok() && icu.converter != nullptr; }

  const Sample& sample;
  const Road* system = SystemRoad();
  Iconv toUnits;
  Iconv toBytes;
  Icu icu;
};

// One call, returning the units or bytes it reports (our UTF-8 decoder counts a terminator too).
std::int64_t Convert(const Converters& c, Direction direction, Way way, const ShortString& s,
                     Units& units, Bytes& bytes) {
  const std::uint32_t cp = c.sample.codePage;
  if (direction == Direction::kDecode) {
    const std::int32_t in = Size(s.bytes.size());
    switch (way) {
      case Way::kTables:
        return kTableRoad.decode(cp, 0, s.bytes.data(), in, units.data(), Size(units.size()),
                                 nullptr, nullptr);
      case Way::kSystem:
        return c.system->decode(cp, 0, s.bytes.data(), in, units.data(), Size(units.size()),
                                nullptr, nullptr);
      case Way::kIconvKept:
      case Way::kIconvOpen: {
        const std::size_t room = units.size() * 2;
        const std::int64_t n =
            way == Way::kIconvKept
                ? c.toUnits.Run(s.bytes.data(), s.bytes.size(), units.data(), room)
                : Iconv(kUtf16, c.sample.iconvName)
                      .Run(s.bytes.data(), s.bytes.size(), units.data(), room);
        return n < 0 ? n : n / 2;
      }
      case Way::kIcu:
        return c.icu.Decode(s.bytes, units);
    }
  }
  const std::int32_t in = Size(s.units.size());
  switch (way) {
    case Way::kTables:
      return kTableRoad.encode(cp, 0, s.units.data(), in, bytes.data(), Size(bytes.size()), nullptr,
                               nullptr);
    case Way::kSystem:
      return c.system->encode(cp, 0, s.units.data(), in, bytes.data(), Size(bytes.size()), nullptr,
                              nullptr);
    case Way::kIconvKept:
      return c.toBytes.Run(s.units.data(), s.units.size() * 2, bytes.data(), bytes.size());
    case Way::kIconvOpen:
      return Iconv(c.sample.iconvName, kUtf16)
          .Run(s.units.data(), s.units.size() * 2, bytes.data(), bytes.size());
    case Way::kIcu:
      return c.icu.Encode(s.units.data(), s.units.size(), bytes);
  }
  return -1;
}

std::int64_t ExpectedCount(const Converters& c, Direction direction, Way way,
                           const ShortString& s) {
  if (direction == Direction::kEncode) return static_cast<std::int64_t>(s.bytes.size());
  const bool ours = way == Way::kTables || way == Way::kSystem;
  return static_cast<std::int64_t>(s.units.size()) + (ours && c.sample.codePage == 65001 ? 1 : 0);
}

// Output buffers with room for any string of the sizes above.
Units UnitBuffer() {
  return Units(2 * kSizes[std::size(kSizes) - 1] + 2);
}
Bytes ByteBuffer() {
  return Bytes(4 * kSizes[std::size(kSizes) - 1] + 8);
}

// Whether every implementation converts s both ways to the same result.
bool AllAgree(const Converters& c, const ShortString& s) {
  Units units = UnitBuffer();
  Bytes bytes = ByteBuffer();
  for (Way way : kWays) {
    if (way == Way::kSystem && c.system == nullptr) continue;
    for (Direction direction : {Direction::kDecode, Direction::kEncode}) {
      if (Convert(c, direction, way, s, units, bytes) != ExpectedCount(c, direction, way, s))
        return false;
      const bool same = direction == Direction::kDecode
                            ? std::equal(s.units.begin(), s.units.end(), units.begin())
                            : std::equal(s.bytes.begin(), s.bytes.end(), bytes.begin());
      if (!same) return false;
    }
  }
  return true;
}

struct StringSet {
  std::vector<ShortString> strings;
  std::string error;
};

// kStrings strings of `size` bytes from the sample's corpus file, spread over it: runs of
// characters that iconv encodes, without controls, which no file name or field holds.
StringSet MakeStrings(const Sample& sample, std::size_t size) {
  StringSet set;
  const Units& corpus = CorpusUnits(sample.file);
  const Converters c(sample);
  if (corpus.empty() || !c.ok()) {
    set.error = corpus.empty() ? "cannot read the corpus" : "a peer lacks the code page";
    return set;
  }
  std::map<std::uint16_t, std::size_t> widths;  // 0: left out
  const auto widthOf = [&](std::uint16_t u) {
    auto [at, fresh] = widths.emplace(u, 0);
    if (fresh && u >= 0x20 && !IsSurrogate(u)) {
      std::uint8_t out[8];
      const std::int64_t n = c.toBytes.Run(&u, 2, out, sizeof out);
      at->second = n > 0 ? static_cast<std::size_t>(n) : 0;
    }
    return at->second;
  };
  // The k-th string is the first that fits from the k-th of kStrings equal parts of the corpus on.
  const std::size_t stride = corpus.size() / kStrings;
  for (std::size_t k = 0; k < kStrings; ++k) {
    for (std::size_t start = k * stride; start < corpus.size();) {
      ShortString s;
      std::size_t bytes = 0;
      std::size_t next = start;
      while (next < corpus.size() && bytes < size) {
        const std::size_t width = widthOf(corpus[next++]);
        if (width == 0 || bytes + width > size) break;
        s.units.push_back(corpus[next - 1]);
        bytes += width;
      }
      if (bytes == size) {
        s.bytes.resize(size);
        c.toBytes.Run(s.units.data(), s.units.size() * 2, s.bytes.data(), size);
        if (AllAgree(c, s)) {
          set.strings.push_back(std::move(s));
          break;
        }
      }
      start = next;
    }
  }
  if (set.strings.size() < kStrings) set.error = "too few strings in the corpus";
  return set;
}

const StringSet& StringsOf(const Sample& sample, std::size_t size) {
  static std::map<std::pair<std::uint32_t, std::size_t>, StringSet> cache;
  const auto key = std::make_pair(sample.codePage, size);
  auto found = cache.find(key);
  if (found != cache.end()) return found->second;
  return cache.emplace(key, MakeStrings(sample, size)).first->second;
}

void ShortStrings(benchmark::State& state, Direction direction, const Sample* sample,
                  std::size_t size, Way way) {
  const StringSet& set = StringsOf(*sample, size);
  if (!set.error.empty()) return state.SkipWithError(set.error.c_str());
  const Converters c(*sample);
  if (way == Way::kSystem && c.system == nullptr) return state.SkipWithError("no shared library");
  Units units = UnitBuffer();
  Bytes bytes = ByteBuffer();
  std::size_t i = 0;
  for (auto _ : state) {
    const ShortString& s = set.strings[i];
    i = (i + 1) % kStrings;
    if (Convert(c, direction, way, s, units, bytes) != ExpectedCount(c, direction, way, s)) {
      return state.SkipWithError("wrong count");
    }
    benchmark::DoNotOptimize(units.data());
    benchmark::DoNotOptimize(bytes.data());
    benchmark::ClobberMemory();
  }
}

// The console report, and each benchmark's time per call kept for the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      // With repetitions, the median stands for the benchmark.
      const bool counts =
          run.run_type == Run::RT_Aggregate ? run.aggregate_name == "median" : run.repetitions <= 1;
      if (counts && !run.error_occurred) {
        nanoseconds[run.run_name.function_name] = run.GetAdjustedCPUTime();
      }
    }
  }

  std::map<std::string, double> nanoseconds;
};

void PrintRatios(const std::map<std::string, double>& ns) {
  std::printf(
      "\nShort strings: CPU ns per call, and ratios, from this run\n"
      "| direction | code page | bytes | tables | system | iconv kept | iconv open | ICU | "
      "system / iconv kept | system / ICU | tables / iconv kept | tables / ICU |\n"
      "|---|---|---|---|---|---|---|---|---|---|---|---|\n");
  for (Direction direction : {Direction::kDecode, Direction::kEncode}) {
    for (std::uint32_t codePage : kCodePages) {
      const Sample& sample = SampleOf(codePage);
      for (std::size_t size : kSizes) {
        double t[std::size(kWays)] = {};
        bool all = true;
        for (std::size_t w = 0; w < std::size(kWays); ++w) {
          auto found = ns.find(NameOf(direction, sample, size, kWays[w]));
          all = all && found != ns.end();
          if (found != ns.end()) t[w] = found->second;
        }
        if (!all) continue;
        const double tables = t[0], system = t[1], iconvKept = t[2], iconvOpen = t[3], icu = t[4];
        std::printf(
            "| %s | %u | %zu | %.0f | %.0f | %.0f | %.0f | %.0f | %.2f | %.2f | %.2f | %.2f |\n",
            direction == Direction::kDecode ? "decode" : "encode", sample.codePage, size, tables,
            system, iconvKept, iconvOpen, icu, system / iconvKept, system / icu, tables / iconvKept,
            tables / icu);
      }
    }
  }
}

void RegisterAll() {
  for (Direction direction : {Direction::kDecode, Direction::kEncode}) {
    for (std::uint32_t codePage : kCodePages) {
      const Sample& sample = SampleOf(codePage);
      for (std::size_t size : kSizes) {
        for (Way way : kWays) {
          benchmark::RegisterBenchmark(NameOf(direction, sample, size, way).c_str(), ShortStrings,
                                       direction, &sample, size, way)
              ->Unit(benchmark::kNanosecond);
        }
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
  corvane::bench::RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  corvane::bench::PrintRatios(reporter.nanoseconds);
  return 0;
}
