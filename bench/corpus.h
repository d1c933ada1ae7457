// The shared benchmark corpus: real text, about 2 MB of UTF-8 per language.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace corvane::bench {

// The whole of CORVANE_CORPUS_DIR/<name>; empty when the file cannot be read, which a benchmark
// reports with SkipWithError rather than timing nothing.
inline std::vector<std::uint8_t> LoadCorpus(const std::string& name) {
  std::ifstream in(std::string(CORVANE_CORPUS_DIR) + "/" + name, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace corvane::bench
