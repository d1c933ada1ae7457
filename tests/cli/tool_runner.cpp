#include "tool_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "corvane.hpp"

namespace corvane_cli_test {

ScratchDirectory::ScratchDirectory() {
  // A name no one else holds: create_directory reports whether it made the directory.
  std::random_device random;
  do {
    path = (std::filesystem::temp_directory_path() / ("corvane-cli-" + std::to_string(random())))
               .string();
  } while (!std::filesystem::create_directory(path));
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path, ignored);
}

std::string ScratchDirectory::Write(const std::string& name, const Bytes& content) const {
  std::ofstream(Path(name), std::ios::binary) << content;
  return Path(name);
}

Args ScratchDirectory::Names() const {
  Args names;
  for (const auto& entry : std::filesystem::directory_iterator(path))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

Bytes ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes RandomText(std::mt19937& random, const Bytes& alphabet, std::size_t maxLength) {
  Bytes text(random() % maxLength, '\0');
  for (char& b : text)
    b = alphabet[random() % alphabet.size()];
  return text;
}

ToolResult RunTool(const Args& args, std::size_t chunkSize, const Bytes& input) {
  const ScratchDirectory files;
  const int status =
      RunProgram(args, chunkSize, files.Write("in", input), files.Path("out"), files.Path("err"));
  // Standard error is text: on Windows its lines end in CR LF, which the messages compared here
  // do not spell out.
  Bytes err = ReadFile(files.Path("err"));
  std::erase(err, '\r');
  return {status, ReadFile(files.Path("out")), err};
}

void ExpectAtChunkSizes(const Args& args, const Bytes& expected,
                        std::initializer_list<std::size_t> chunkSizes) {
  for (const std::size_t chunk : chunkSizes) {
    const ToolResult r = RunTool(args, chunk);
    EXPECT_EQ(r.status, 0) << r.err;
    // Outputs may be megabytes long: compared without printing them.
    EXPECT_TRUE(r.out == expected) << "chunk size " << chunk << ": differs from one call";
  }
}

Bytes ConvertOnce(const char* from, const char* to, const Bytes& bytes) {
  return corvane::convert(bytes, corvane::Encoding(from), corvane::Encoding(to));
}

}  // namespace corvane_cli_test
