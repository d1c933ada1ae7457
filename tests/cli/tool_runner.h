// Runs the built corvane program as a user would, and the one-shot library calls its output is
// compared with.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <random>
#include <string>
#include <vector>
#if !defined(_WIN32)
#include <sys/types.h>
#endif

namespace corvane_cli_test {

using Bytes = std::string;
using Args = std::vector<std::string>;

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
  std::string Write(const std::string& name, const Bytes& content) const;  // returns the path
  std::string Path(const std::string& name) const { return path_ + "/" + name; }
  std::vector<std::string> Names() const;  // sorted

 private:
  std::string path_;
};

// Runs program with args, standard input from the file in, standard output and error to the
// files out and err, CORVANE_CHUNK_SIZE set to chunkSize unless it is 0; once for POSIX
// (tool_process_posix.cpp) and once for Windows (tool_process_win32.cpp).
int RunProgram(const std::string& program, const Args& args, std::size_t chunkSize,
               const std::string& in, const std::string& out, const std::string& err);
#if !defined(_WIN32)
// Starts program with the descriptors in, out (-1: this process's) and err as its standard ones,
// the signals the tool handles at their default action, and as the user nobody when asNobody and
// the test runs as root, so that file permissions bind.
pid_t StartProgram(const std::string& program, Args args, int in, int out, int err,
                   std::size_t chunkSize = 0, bool asNobody = false);
// Waits for it: its exit status, or -1 with the signal that ended it in *signal.
int WaitForProgram(pid_t child, int* signal = nullptr);
#endif

// Runs corvane with args; chunkSize > 0 sets CORVANE_CHUNK_SIZE; input is standard input.
ToolResult RunTool(const Args& args, std::size_t chunkSize = 0, const Bytes& input = "");

// Runs corvane at each chunk size (0: its own), expecting status 0 and the output expected.
void ExpectAtChunkSizes(const Args& args, const Bytes& expected,
                        std::initializer_list<std::size_t> chunkSizes = {1, 2, 3, 5, 0},
                        const Bytes& input = "");

Bytes ReadFile(const std::string& path);
// Up to maxLength - 1 bytes drawn from alphabet.
Bytes RandomText(std::mt19937& random, const Bytes& alphabet, std::size_t maxLength);

// The charset argument "utf-16le" stands for the tool's own UTF-16 in the helpers below.
inline constexpr std::uint32_t kUtf16Le = 0xFFFFFFFF;

// CV_MultiByteToWideChar over the whole text, without consumed count or shift state.
std::u16string DecodeOnce(std::uint32_t codePage, const Bytes& bytes);
// CV_WideCharToMultiByte over the whole text; ISO-2022-JP closed with ESC ( B when it ends in
// two-byte mode.
Bytes EncodeOnce(std::uint32_t codePage, const std::u16string& text);
inline std::u16string Utf8ToUtf16(const Bytes& utf8) {
  return DecodeOnce(65001, utf8);
}
inline Bytes AsUtf16Le(const std::u16string& text) {
  return EncodeOnce(kUtf16Le, text);
}

}  // namespace corvane_cli_test
