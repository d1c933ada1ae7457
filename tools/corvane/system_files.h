// What the corvane tool asks of the operating system about files and standard streams, answered
// once for POSIX (system_files_posix.cpp) and once for Windows (system_files_win32.cpp); the
// build compiles one of the two. Paths are bytes as the user gave them: on Windows, in the ANSI
// code page.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace corvane_tool::system_files {

// Standard input and output carry bytes unchanged: no line-end translation on Windows.
void UseBinaryStandardStreams();

// Whether standard error is an interactive terminal (a console on Windows).
bool StandardErrorIsTerminal();

// Opens path for reading in binary mode. On failure returns nullptr and sets reason ("Is a
// directory" for a directory). size is the size of a regular file, 0 when unknown.
std::FILE* OpenForReading(const std::string& path, std::uint64_t& size, std::string& reason);

// Opens where the output named path goes, as sed -i and iconv -o users expect of it:
// - Anything but a regular file (a device, a pipe, a terminal, /dev/stdout) is written straight
//   through, never replaced: temporary is left empty.
// - Otherwise symbolic links are followed to the name they lead to (target), which is replaced
//   later and only when the output is complete: a new, empty temporary file is made beside it,
//   on the same file system, and temporary receives its name. An existing file the user may not
//   write is refused.
// On POSIX, a temporary file is removed when SIGINT, SIGTERM or SIGHUP stops the program; there
// is one at a time. On failure returns nullptr and sets reason.
std::FILE* OpenOutput(const std::string& path, std::string& temporary, std::string& target,
                      std::string& reason);

// Closes file (the temporary from OpenOutput) and puts it in place of target. An existing
// target's permissions are kept, and on POSIX its owner and group where the user may give them;
// a new file gets the permissions of any new file. On failure the temporary is left for the
// caller to remove, and reason is set.
bool CloseAndReplace(std::FILE* file, const std::string& temporary, const std::string& target,
                     std::string& reason);

// Removes a temporary file from OpenOutput that will not be put in place.
void RemoveTemporary(const std::string& temporary);

// An anonymous temporary file for reading and writing in binary mode, removed when closed;
// nullptr on failure, with reason set.
std::FILE* OpenScratchFile(std::string& reason);

}  // namespace corvane_tool::system_files
