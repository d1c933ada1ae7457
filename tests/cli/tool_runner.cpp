#include "tool_runner.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "corvane.h"
#include "tool_process.h"

namespace corvane_cli_test {

ScratchDirectory::ScratchDirectory() {
  // A name no one else holds: create_directory reports whether it made the directory.
  const std::filesystem::path temporary = std::filesystem::temp_directory_path();
  std::random_device seed;
  std::mt19937_64 random(seed());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::filesystem::path candidate =
        temporary / ("corvane-cli-" + std::to_string(random() % 1000000000));
    std::error_code error;
    if (std::filesystem::create_directory(candidate, error)) {
      path_ = candidate.string();
      return;
    }
  }
  std::abort();
}

ScratchDirectory::~ScratchDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string ScratchDirectory::Write(const std::string& name, const Bytes& content) const {
  const std::string path = Path(name);
  std::ofstream(path, std::ios::binary) << content;
  return path;
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

bool FileExists(const std::string& path) {
  return std::filesystem::exists(path);
}

ToolResult RunTool(const std::vector<std::string>& args, std::size_t chunkSize,
                   const Bytes& input) {
  const ScratchDirectory files;
  const std::string in = files.Write("stdin", input);
  const std::string out = files.Path("stdout");
  const std::string err = files.Path("stderr");

  ToolResult result;
  result.status = RunProgram(CORVANE_TOOL, args, chunkSize, in, out, err);
  result.out = ReadFile(out);
  result.err = ReadFile(err);
  return result;
}

std::u16string Utf8ToUtf16(const std::string& utf8) {
  return DecodeOnce(65001, utf8);
}

std::u16string DecodeOnce(std::uint32_t codePage, const Bytes& bytes) {
  if (codePage == kUtf16Le) {
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
      units.push_back(static_cast<char16_t>(static_cast<std::uint8_t>(bytes[i]) |
                                            static_cast<std::uint8_t>(bytes[i + 1]) << 8));
    return units;
  }
  if (bytes.empty()) return {};
  std::vector<std::uint16_t> units(3 * bytes.size() + 4);
  std::int32_t n =
      CV_MultiByteToWideChar(codePage, 0, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                             static_cast<std::int32_t>(bytes.size()), units.data(),
                             static_cast<std::int32_t>(units.size()), nullptr, nullptr);
  if (codePage == 65001) --n;  // the decoder's terminator
  return std::u16string(units.begin(), units.begin() + n);
}

Bytes AsUtf16Le(const std::u16string& text) {
  Bytes bytes;
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

Bytes EncodeOnce(std::uint32_t codePage, const std::u16string& text) {
  if (codePage == kUtf16Le) return AsUtf16Le(text);
  if (text.empty()) return {};
  std::vector<std::uint8_t> bytes(8 * text.size() + 64);
  const std::int32_t n =
      CV_WideCharToMultiByte(codePage, 0, reinterpret_cast<const std::uint16_t*>(text.data()),
                             static_cast<std::int32_t>(text.size()), bytes.data(),
                             static_cast<std::int32_t>(bytes.size()), nullptr, nullptr);
  Bytes result(bytes.begin(), bytes.begin() + n);
  if (codePage == 2022) {
    const std::size_t escape = result.rfind('\x1b');
    if (escape != Bytes::npos && escape + 1 < result.size() && result[escape + 1] == '$')
      result += "\x1b(B";
  }
  return result;
}

}  // namespace corvane_cli_test
