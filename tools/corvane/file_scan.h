// Reading input files one after another, for the commands that print one line per file (detect,
// length): the opening, chunking, error handling and exit status they share.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "command_line.h"
#include "files.h"

namespace corvane_tool {

// Reads each of paths (none given: standard input) in chunks. For every file, start(path) makes
// a scanner; its Feed(chunk) gets the file's chunks and then an empty one at the end, and answers
// false as soon as it needs no more; once the file has been read without error, its Report()
// prints the file's line. A file that cannot be read is reported on standard error and skipped.
// Returns the exit status: kExitFailure when any file could not be read or the lines could not
// be written.
template <typename Start>
int ScanFiles(std::vector<std::string> paths, Start&& start) {
  if (paths.empty()) paths.emplace_back("-");
  int status = kExitSuccess;
  std::vector<std::uint8_t> buffer(ChunkSize());
  for (const std::string& path : paths) {
    InputFile input;
    if (!input.Open(path)) {
      status = kExitFailure;
      continue;
    }
    auto scanner = start(path);
    for (bool more = true; more;) {
      const std::size_t got = input.Read(buffer);
      more = scanner.Feed(std::span<const std::uint8_t>(buffer.data(), got)) && got > 0;
    }
    if (input.Failed()) {
      status = kExitFailure;
      continue;
    }
    scanner.Report();
  }
  if (std::fflush(stdout) != 0) {
    PrintError("cannot write standard output");
    return kExitFailure;
  }
  return status;
}

}  // namespace corvane_tool
