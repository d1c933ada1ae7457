#include "tool_runner.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "corvane.h"

namespace corvane_cli_test {

ScratchDirectory::ScratchDirectory() {
  std::string pattern = std::filesystem::temp_directory_path().string() + "/corvane-cli-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  path_ = pattern;
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

  std::vector<char*> argv;
  std::string program = CORVANE_TOOL;
  argv.push_back(program.data());
  std::vector<std::string> copies(args);
  for (std::string& arg : copies)
    argv.push_back(arg.data());
  argv.push_back(nullptr);

  const pid_t child = fork();
  if (child == 0) {
    const int inFd = open(in.c_str(), O_RDONLY);
    const int outFd = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int errFd = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (inFd < 0 || outFd < 0 || errFd < 0) _exit(126);
    dup2(inFd, 0);
    dup2(outFd, 1);
    dup2(errFd, 2);
    if (chunkSize > 0) setenv("CORVANE_CHUNK_SIZE", std::to_string(chunkSize).c_str(), 1);
    execv(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ToolResult result;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
