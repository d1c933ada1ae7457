// The held-out samples the detection benchmark measures on, as tools/make_detect_samples.py
// writes them: a line "corvane-detect-samples 1", then per sample a line
// "ROW ENCODING SIZE LENGTH" and LENGTH bytes followed by a line feed.
#pragma once

#include <cstddef>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace corvane::bench {

struct DetectSample {
  std::string row;       // the table row it counts in: "UTF-16" for both byte orders
  std::string encoding;  // what its bytes are in, e.g. "UTF-16LE"
  std::size_t size = 0;  // the size it was cut to; its bytes are at most that many
  std::string bytes;
};

// Every sample in the file at path, in the file's order; empty when the file cannot be read or is
// not such a file, which the caller reports rather than measuring nothing.
inline std::vector<DetectSample> LoadDetectSamples(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::string file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  const std::string magic = "corvane-detect-samples 1\n";
  if (file.compare(0, magic.size(), magic) != 0) return {};
  std::vector<DetectSample> samples;
  std::size_t at = magic.size();
  while (at < file.size()) {
    const std::size_t end = file.find('\n', at);
    if (end == std::string::npos) return {};
    std::istringstream header(file.substr(at, end - at));
    DetectSample sample;
    std::size_t length = 0;
    if (!(header >> sample.row >> sample.encoding >> sample.size >> length) ||
        file.size() - (end + 1) < length + 1) {
      return {};
    }
    sample.bytes = file.substr(end + 1, length);
    samples.push_back(std::move(sample));
    at = end + 1 + length + 1;
  }
  return samples;
}

}  // namespace corvane::bench
