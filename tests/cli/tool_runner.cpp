#include "tool_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "corvane.h"

namespace corvane_cli_test {

ScratchDirectory::ScratchDirectory() {
  // A name no one else holds: create_directory reports whether it made the directory.
  std::random_device random;
  do {
    path_ = (std::filesystem::temp_directory_path() / ("corvane-cli-" + std::to_string(random())))
                .string();
  } while (!std::filesystem::create_directory(path_));
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDirectory::Write(const std::string& name, const Bytes& content) const {
  std::ofstream(Path(name), std::ios::binary) << content;
  return Path(name);
}

std::vector<std::string> ScratchDirectory::Names() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(path_))
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
  ToolResult result;
  result.status = RunProgram(CORVANE_TOOL, args, chunkSize, files.Write("stdin", input),
                             files.Path("stdout"), files.Path("stderr"));
  result.out = ReadFile(files.Path("stdout"));
  result.err = ReadFile(files.Path("stderr"));
  return result;
}

void ExpectAtChunkSizes(const Args& args, const Bytes& expected,
                        std::initializer_list<std::size_t> chunkSizes, const Bytes& input) {
  for (const std::size_t chunk : chunkSizes) {
    const ToolResult r = RunTool(args, chunk, input);
    EXPECT_EQ(r.status, 0) << r.err;
    // Outputs may be megabytes long: compared without printing them.
    EXPECT_TRUE(r.out == expected) << "chunk size " << chunk << ": differs from one call";
  }
}

std::u16string DecodeOnce(std::uint32_t codePage, const Bytes& bytes) {
  std::u16string units;
  if (codePage == kUtf16Le) {
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
      units.push_back(static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                            static_cast<std::uint8_t>(bytes[i + 1]) << 8));
    return units;
  }
  if (bytes.empty()) return units;
  units.resize(3 * bytes.size() + 4);
  const std::int32_t n = CV_MultiByteToWideChar(
      codePage, 0, reinterpret_cast<const std::uint8_t*>(bytes.data()),
      static_cast<std::int32_t>(bytes.size()), reinterpret_cast<std::uint16_t*>(units.data()),
      static_cast<std::int32_t>(units.size()), nullptr, nullptr);
  units.resize(static_cast<std::size_t>(codePage == 65001 ? n - 1 : n));  // UTF-8's terminator
  return units;
}

Bytes EncodeOnce(std::uint32_t codePage, const std::u16string& text) {
  Bytes bytes;
  if (codePage == kUtf16Le) {
    for (const char16_t unit : text)
      bytes += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return bytes;
  }
  if (text.empty()) return bytes;
  bytes.resize(8 * text.size() + 64);
  const std::int32_t n = CV_WideCharToMultiByte(
      codePage, 0, reinterpret_cast<const std::uint16_t*>(text.data()),
      static_cast<std::int32_t>(text.size()), reinterpret_cast<std::uint8_t*>(bytes.data()),
      static_cast<std::int32_t>(bytes.size()), nullptr, nullptr);
  bytes.resize(static_cast<std::size_t>(n));
  const std::size_t escape = bytes.rfind('\x1b');
  if (codePage == 2022 && escape != Bytes::npos && bytes.compare(escape, 2, "\x1b$") == 0)
    bytes += "\x1b(B";
  return bytes;
}

}  // namespace corvane_cli_test
