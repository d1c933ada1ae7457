// Encoding detection: corvane::detect against uchardet and ICU's charset detector, on held-out
// samples of twenty encodings (tools/make_detect_samples.py, which the build runs) cut to 16, 64,
// 256, 1024 and 16384 bytes.
//   detect/<detector>/<size>   each detector over every sample of that size, all encodings;
//                              bytes/s counts every byte handed to it, whether or not it
//                              needed to read them all to answer
// After the timings the program prints, in Markdown, how often each detector was right by
// encoding and size (bench/detect_tally.h says what it reports, bench/detect_accuracy.h what
// counts as right).
//   --accuracy_only        print the accuracy report without timing anything
//   --accuracy_file=PATH   write the report to PATH as well
//   --misses_file=PATH     write every sample corvane got wrong to PATH, one a line: encoding,
//                          size, answer, whether it was sure, and the text (line breaks as \n)
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "bench/detect_accuracy.h"
#include "bench/detect_peers.h"
#include "bench/detect_samples.h"
#include "bench/detect_tally.h"

namespace corvane::bench {
namespace {

constexpr std::size_t kSizes[] = {16, 64, 256, 1024, 16384};
constexpr double kGoalAt1024 = 99.0;  // % right at 1024 bytes, for every encoding

const std::vector<DetectSample>& Samples() {
  static const std::vector<DetectSample> samples = LoadDetectSamples(CORVANE_DETECT_SAMPLES);
  return samples;
}

std::vector<const DetectSample*> SamplesOfSize(std::size_t size) {
  std::vector<const DetectSample*> out;
  for (const DetectSample& sample : Samples()) {
    if (sample.size == size) out.push_back(&sample);
  }
  return out;
}

template <typename Detector>
void BM_Detect(benchmark::State& state, std::size_t size) {
  const std::vector<const DetectSample*> samples = SamplesOfSize(size);
  if (samples.empty()) {
    state.SkipWithError("no samples: " CORVANE_DETECT_SAMPLES);
    return;
  }
  std::size_t bytes = 0;
  for (const DetectSample* sample : samples)
    bytes += sample->bytes.size();
  Detector detector;
  for (auto _ : state) {
    for (const DetectSample* sample : samples) {
      DetectAnswer answer = detector(sample->bytes);
      benchmark::DoNotOptimize(answer);
    }
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes));
  state.counters["samples"] = static_cast<double>(samples.size());
}

template <typename Detector>
void Register() {
  for (const std::size_t size : kSizes) {
    benchmark::RegisterBenchmark(
        ("detect/" + std::string(Detector::kName) + "/" + std::to_string(size)).c_str(),
        BM_Detect<Detector>, size)
        ->Unit(benchmark::kMillisecond);
  }
}

void WriteMiss(std::ofstream& out, const DetectSample& s, const DetectAnswer& answer,
               const std::string& text) {
  out << s.encoding << '\t' << s.size << '\t' << answer.name << '\t'
      << (answer.sure ? "sure" : "not sure") << '\t';
  for (const char c : text) {
    if (c == '\n') {
      out << "\\n";
    } else {
      out << c;
    }
  }
  out << '\n';
}

// Runs all three detectors over every sample and reports how often each was right; false when
// there are no samples or a sample's own encoding does not read it.
bool ReportAccuracy(const std::string& file, const std::string& missesFile) {
  if (Samples().empty()) {
    std::fprintf(stderr, "detect_bench: cannot read the samples in %s\n", CORVANE_DETECT_SAMPLES);
    return false;
  }
  CorvaneDetector corvane;
  UchardetDetector uchardet;
  IcuDetector icu;
  DetectJudge judge;
  DetectTally tally({CorvaneDetector::kName, UchardetDetector::kName, IcuDetector::kName});
  std::ofstream misses;
  if (!missesFile.empty()) misses.open(missesFile, std::ios::binary);
  for (const DetectSample& s : Samples()) {
    if (!judge.SetSample(s.bytes, s.encoding)) {
      std::fprintf(stderr, "detect_bench: iconv does not read a %s sample as %s\n", s.row.c_str(),
                   s.encoding.c_str());
      return false;
    }
    const DetectAnswer answers[] = {corvane(s.bytes), uchardet(s.bytes), icu(s.bytes)};
    for (std::size_t d = 0; d < std::size(answers); ++d) {
      const bool right = judge.IsRight(answers[d].name);
      tally.Count(d, s.row, s.size, s.encoding, answers[d].name, answers[d].sure, right);
      if (d == 0 && !right && misses.is_open()) WriteMiss(misses, s, answers[d], judge.Truth());
    }
  }
  const std::string report = tally.Markdown(kGoalAt1024);
  std::fputs(report.c_str(), stdout);
  if (!file.empty()) std::ofstream(file, std::ios::binary) << report;
  return true;
}

}  // namespace
}  // namespace corvane::bench

int main(int argc, char** argv) {
  using namespace corvane::bench;
  bool accuracyOnly = false;
  std::string accuracyFile;
  std::string missesFile;
  std::vector<char*> rest;
  for (int i = 0; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--accuracy_only") {
      accuracyOnly = true;
    } else if (arg.starts_with("--accuracy_file=")) {
      accuracyFile = arg.substr(std::strlen("--accuracy_file="));
    } else if (arg.starts_with("--misses_file=")) {
      missesFile = arg.substr(std::strlen("--misses_file="));
    } else {
      rest.push_back(argv[i]);
    }
  }
  if (!accuracyOnly) {
    int restCount = static_cast<int>(rest.size());
    benchmark::Initialize(&restCount, rest.data());
    if (benchmark::ReportUnrecognizedArguments(restCount, rest.data())) return 1;
    Register<CorvaneDetector>();
    Register<UchardetDetector>();
    Register<IcuDetector>();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\n");
  }
  return ReportAccuracy(accuracyFile, missesFile) ? 0 : 1;
}
