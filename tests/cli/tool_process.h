// Starting the corvane program for a test, once for POSIX (tool_process_posix.cpp) and once for
// Windows (tool_process_win32.cpp); the build compiles one of the two.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace corvane_cli_test {

// Runs program with args, standard input read from the file in and standard output and error
// written to the files out and err, with CORVANE_CHUNK_SIZE set to chunkSize when it is not 0;
// waits for it and returns its exit status, -1 when it did not exit normally.
int RunProgram(const std::string& program, const std::vector<std::string>& args,
               std::size_t chunkSize, const std::string& in, const std::string& out,
               const std::string& err);

}  // namespace corvane_cli_test
