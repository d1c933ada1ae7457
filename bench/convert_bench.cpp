// The two general conversions on real text, for 932, 936, 949, 950, 51932, 2022, 1252, 1251,
// 20866 and 65001, in both directions, every implementation in one run:
//   tables   our own table road: CV_ functions linked in from the library built without system
//            conversion, so every registered code page takes our tables;
//   system   our system road: the shipped shared library, loaded at run time, where the code
//            pages this machine's iconv knows go to iconv (2022 and 51932 go through Shift_JIS
//            and then to iconv's CP932; 65001 is our own codec on both roads);
//   iconv    glibc iconv, a descriptor opened once and reset per pass;
//   icu      ICU's ucnv_toUChars / ucnv_fromUChars, a converter opened once.
// Throughput counts bytes of input: code page bytes when decoding, UTF-16 bytes (two per unit)
// when encoding.
//
// The text. Each corpus file is decoded from UTF-8 and kept to the characters that every
// implementation converts alike: a character stays when our tables give it bytes that they decode
// back to it, and iconv and ICU give it the very same bytes (2022 is filtered as 51932, its
// repertoire through Shift_JIS). Everything else is dropped, as `iconv -c` would drop it, but
// also where the implementations merely disagree (halfwidth katakana on our JIS X 0208 tables,
// vendor extensions, KOI8-R's line feed, which our 20866 table does not hold), so that every
// implementation converts the same text into the same result and the set-up can check it. The
// encoded text is iconv's encoding of the kept characters.
//
// Beside each road the table road's scalar reference loops run on the same text, so that the
// fast paths are measured against what they replace.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "bench/peers.h"
#include "codepages/registry.h"
#include "convert/double_byte.h"
#include "convert/road.h"
#include "convert/single_byte.h"
#include "corvane.h"

namespace corvane::bench {
namespace {

// The text of each sample ------------------------------------------------------------------------

struct Text {
  Units units;  // the characters every implementation converts alike
  Bytes bytes;  // iconv's encoding of them
  std::string error;
};

Text MakeText(const Sample& sample) {
  Text t;
  const Units& corpus = CorpusUnits(sample.file);
  if (corpus.empty()) {
    t.error = std::string("cannot read the corpus file ") + sample.file;
    return t;
  }
  // 2022 shares 51932's repertoire (both go through Shift_JIS) and is filtered as 51932, where
  // one character stands alone without escape sequences.
  const Sample& filter = sample.codePage == 2022 ? SampleOf(51932) : sample;
  const Iconv filterToBytes(filter.iconvName, kUtf16);
  const Icu filterIcu(filter.icuName);
  if (!filterToBytes.ok() || filterIcu.converter == nullptr) {
    t.error = "a peer lacks the code page";
    return t;
  }
  std::map<std::uint16_t, bool> keep;
  for (std::uint16_t u : corpus) {
    if (IsSurrogate(u)) continue;  // our UTF-16 roads convert unit by unit
    auto [at, fresh] = keep.emplace(u, false);
    if (fresh && sample.codePage != 65001) {
      at->second = ConvertsAlike(u, filter.codePage, filterToBytes, filterIcu);
    } else if (fresh) {
      at->second = true;
    }
    if (at->second) t.units.push_back(u);
  }

  const Iconv toBytes(sample.iconvName, kUtf16);
  t.bytes.resize(t.units.size() * 4 + 16);
  const std::int64_t n =
      toBytes.Run(t.units.data(), t.units.size() * 2, t.bytes.data(), t.bytes.size());
  if (n < 0) {
    t.error = "iconv cannot encode the kept text";
    return t;
  }
  t.bytes.resize(static_cast<std::size_t>(n));
  return t;
}

const Text& TextOf(std::size_t sample) {
  static std::map<std::size_t, Text> cache;
  auto found = cache.find(sample);
  if (found != cache.end()) return found->second;
  return cache.emplace(sample, MakeText(kSamples[sample])).first->second;
}

// The benchmarks
// -----------------------------------------------------------------------------------

enum class Way { kTables, kTablesScalar, kSystem, kIconv, kIcu };

const char* NameOf(Way way) {
  switch (way) {
    case Way::kTables:
      return "tables";
    case Way::kTablesScalar:
      return "tables_scalar";
    case Way::kSystem:
      return "system";
    case Way::kIconv:
      return "iconv";
    case Way::kIcu:
      return "icu";
  }
  return "?";
}

// The scalar loops run on the record our tables convert with; 2022, 51932 and 65001 take other
// roads before the tables and have none to compare.
bool HasScalarLoop(std::uint32_t codePage) {
  return codePage != 2022 && codePage != 51932 && codePage != 65001;
}

// The road our tables take, for the reference loops; null for the code pages without one.
const corvane::CodePageRecord* ScalarRecord(std::uint32_t codePage) {
  return HasScalarLoop(codePage) ? corvane::FindCodePageRecord(codePage) : nullptr;
}

std::int64_t DecodeScalar(std::uint32_t codePage, const Bytes& bytes, Units& out) {
  const corvane::Road road = corvane::TableRoad(codePage);
  const corvane::ByteText text{bytes.data(), bytes.size(), false};
  const auto n = road.kind == corvane::RoadKind::kSingleByte
                     ? corvane::DecodeSingleByteScalar(*road.record, text, out)
                     : corvane::DecodeDoubleByteScalar(road, text, out);
  return static_cast<std::int64_t>(n);
}

std::int64_t EncodeScalar(std::uint32_t codePage, const Units& units, Bytes& out) {
  const corvane::Road road = corvane::TableRoad(codePage);
  const corvane::WideText text{units.data(), units.size(), false};
  const auto n = road.kind == corvane::RoadKind::kSingleByte
                     ? corvane::EncodeSingleByteScalar(*road.record, text, out)
                     : corvane::EncodeDoubleByteScalar(road, text, out);
  return static_cast<std::int64_t>(n);
}

void Decode(benchmark::State& state, std::size_t sampleIndex, Way way) {
  const Sample& sample = kSamples[sampleIndex];
  const Text& t = TextOf(sampleIndex);
  if (!t.error.empty()) return state.SkipWithError(t.error.c_str());
  const Road* system = SystemRoad();
  if (way == Way::kSystem && system == nullptr) return state.SkipWithError("no shared library");
  const corvane::CodePageRecord* record = ScalarRecord(sample.codePage);
  if (way == Way::kTablesScalar && record == nullptr) return state.SkipWithError("no scalar loop");
  const Iconv toUnits(kUtf16, sample.iconvName);
  const Icu icu(sample.icuName);

  Units out(t.units.size() + 16);
  const std::int32_t in = Size(t.bytes.size());
  // Our UTF-8 decoder counts a terminator for counted input too.
  const std::int32_t ours = Size(t.units.size()) + (sample.codePage == 65001 ? 1 : 0);
  for (auto _ : state) {
    std::int64_t n = -1;
    std::uint32_t shiftState = 1;
    switch (way) {
      case Way::kTables:
        n = kTableRoad.decode(sample.codePage, 0, t.bytes.data(), in, out.data(), Size(out.size()),
                              nullptr, &shiftState);
        break;
      case Way::kTablesScalar:
        n = DecodeScalar(sample.codePage, t.bytes, out);
        break;
      case Way::kSystem:
        n = system->decode(sample.codePage, 0, t.bytes.data(), in, out.data(), Size(out.size()),
                           nullptr, &shiftState);
        break;
      case Way::kIconv:
        n = toUnits.Run(t.bytes.data(), t.bytes.size(), out.data(), out.size() * 2);
        n = n < 0 ? n : n / 2;
        break;
      case Way::kIcu:
        n = icu.Decode(t.bytes, out);
        break;
    }
    const bool library = way == Way::kTables || way == Way::kSystem;
    if (n != (library ? ours : Size(t.units.size()))) {
      return state.SkipWithError("wrong unit count");
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  if (!std::equal(t.units.begin(), t.units.end(), out.begin())) {
    return state.SkipWithError("decoded text differs from the corpus");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(t.bytes.size()));
}

void Encode(benchmark::State& state, std::size_t sampleIndex, Way way) {
  const Sample& sample = kSamples[sampleIndex];
  const Text& t = TextOf(sampleIndex);
  if (!t.error.empty()) return state.SkipWithError(t.error.c_str());
  const Road* system = SystemRoad();
  if (way == Way::kSystem && system == nullptr) return state.SkipWithError("no shared library");
  const corvane::CodePageRecord* record = ScalarRecord(sample.codePage);
  if (way == Way::kTablesScalar && record == nullptr) return state.SkipWithError("no scalar loop");
  const Iconv toBytes(sample.iconvName, kUtf16);
  const Icu icu(sample.icuName);

  // ISO-2022-JP's escape sequences may differ from iconv's; every stateless page must match it.
  const bool exact = sample.codePage != 2022;
  Bytes out(t.units.size() * 4 + 64);
  const std::int32_t in = Size(t.units.size());
  std::int64_t n = -1;
  for (auto _ : state) {
    switch (way) {
      case Way::kTables:
        n = kTableRoad.encode(sample.codePage, 0, t.units.data(), in, out.data(), Size(out.size()),
                              nullptr, nullptr);
        break;
      case Way::kTablesScalar:
        n = EncodeScalar(sample.codePage, t.units, out);
        break;
      case Way::kSystem:
        n = system->encode(sample.codePage, 0, t.units.data(), in, out.data(), Size(out.size()),
                           nullptr, nullptr);
        break;
      case Way::kIconv:
        n = toBytes.Run(t.units.data(), t.units.size() * 2, out.data(), out.size());
        break;
      case Way::kIcu:
        n = icu.Encode(t.units.data(), t.units.size(), out);
        break;
    }
    if (n <= 0 || (exact && n != Size(t.bytes.size()))) {
      return state.SkipWithError("wrong byte count");
    }
    benchmark::DoNotOptimize(out.data());
    benchmark::ClobberMemory();
  }
  if (exact && std::memcmp(out.data(), t.bytes.data(), t.bytes.size()) != 0) {
    return state.SkipWithError("encoded text differs from iconv's");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(t.units.size() * 2));
}

// Registered by code page, each implementation beside the others.
[[maybe_unused]] const bool kRegistered = [] {
  const Way ways[] = {Way::kTables, Way::kTablesScalar, Way::kSystem, Way::kIconv, Way::kIcu};
  for (const char* direction : {"Decode", "Encode"}) {
    for (std::size_t i = 0; i < std::size(kSamples); ++i) {
      for (Way way : ways) {
        if (way == Way::kTablesScalar && !HasScalarLoop(kSamples[i].codePage)) continue;
        const std::string name =
            std::string(direction) + "/" + std::to_string(kSamples[i].codePage) + "/" + NameOf(way);
        if (direction[0] == 'D') {
          benchmark::RegisterBenchmark(name.c_str(), Decode, i, way)->Unit(benchmark::kMillisecond);
        } else {
          benchmark::RegisterBenchmark(name.c_str(), Encode, i, way)->Unit(benchmark::kMillisecond);
        }
      }
    }
  }
  return true;
}();

}  // namespace
}  // namespace corvane::bench
