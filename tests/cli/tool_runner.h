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

// The exit status (-1 when the program did not exit normally), standard output and error.
struct ToolResult {
  int status;
  Bytes out, err;
};

// A fresh directory for one test's files, removed afterwards.
struct ScratchDirectory {
  ScratchDirectory();
  ~ScratchDirectory();
  std::string Write(const std::string& name, const Bytes& content) const;  // returns the path
  std::string Path(const std::string& name) const { return path + "/" + name; }
  Args Names() const;  // sorted
  std::string path;
};

// Runs corvane with args, standard input from the file in, standard output and error to the
// files out and err, CORVANE_CHUNK_SIZE set to chunkSize unless it is 0; once for POSIX
// (tool_process_posix.cpp) and once for Windows (tool_process_win32.cpp).
int RunProgram(const Args& args, std::size_t chunkSize, const std::string& in,
               const std::string& out, const std::string& err);
#if !defined(_WIN32)
// Starts corvane as RunProgram does, with the descriptors in, out and err as its standard ones,
// the signals the tool handles at their default action, and as the user nobody when asNobody and
// the test runs as root, so that file permissions bind.
pid_t StartProgram(Args args, int in, int out, int err, std::size_t chunkSize = 0,
                   bool asNobody = false);
// Waits for it: its exit status, or -1 with the signal that ended it in *signal.
int WaitForProgram(pid_t child, int* signal = nullptr);
#endif

// Runs corvane with args; chunkSize > 0 sets CORVANE_CHUNK_SIZE; input is standard input.
ToolResult RunTool(const Args& args, std::size_t chunkSize = 0, const Bytes& input = "");
// Runs corvane at each chunk size (0: its own), expecting status 0 and the output expected.
void ExpectAtChunkSizes(const Args& args, const Bytes& expected,
                        std::initializer_list<std::size_t> chunkSizes = {1, 2, 3, 5, 0});

Bytes ReadFile(const std::string& path);
// Up to maxLength - 1 bytes drawn from alphabet.
Bytes RandomText(std::mt19937& random, const Bytes& alphabet, std::size_t maxLength);
// One call of the C++ interface over the whole text, replacing what cannot be converted.
Bytes ConvertOnce(const char* from, const char* to, const Bytes& bytes);

}  // namespace corvane_cli_test
