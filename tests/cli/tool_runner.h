// Runs the built corvane program as a user would, and the one-shot library calls its output is
// compared with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace corvane_cli_test {

using Bytes = std::string;

struct ToolResult {
  int status = -1;  // the exit status; -1 when the program did not exit normally
  Bytes out;
  std::string err;
};

// A fresh directory for one test's files, removed afterwards.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  // Writes a file in the directory and returns its path.
  std::string Write(const std::string& name, const Bytes& content) const;
  std::string Path(const std::string& name) const { return path_ + "/" + name; }
  // The names of the files in the directory, sorted.
  std::vector<std::string> Names() const;

 private:
  std::string path_;
};

// Runs corvane with args; chunkSize > 0 sets CORVANE_CHUNK_SIZE; input is standard input.
ToolResult RunTool(const std::vector<std::string>& args, std::size_t chunkSize = 0,
                   const Bytes& input = "");

Bytes ReadFile(const std::string& path);
bool FileExists(const std::string& path);

// The charset argument "utf-16le" stands for the tool's own UTF-16 in the helpers below.
inline constexpr std::uint32_t kUtf16Le = 0xFFFFFFFF;

std::u16string Utf8ToUtf16(const std::string& utf8);
// CV_MultiByteToWideChar over the whole text, without consumed count or shift state.
std::u16string DecodeOnce(std::uint32_t codePage, const Bytes& bytes);
// CV_WideCharToMultiByte over the whole text; ISO-2022-JP closed with ESC ( B when it ends in
// two-byte mode.
Bytes EncodeOnce(std::uint32_t codePage, const std::u16string& text);
Bytes AsUtf16Le(const std::u16string& text);

}  // namespace corvane_cli_test
