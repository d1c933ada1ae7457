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

// Creates a new, empty file beside path (same directory, so the final rename stays on one file
// system) and opens it for binary writing; temporary receives its name. On failure returns
// nullptr and sets reason.
std::FILE* CreateBeside(const std::string& path, std::string& temporary, std::string& reason);

// Closes file (the temporary from CreateBeside), gives it the permissions of a newly created
// file and puts it in place of target, replacing a file that is there. On failure the
// temporary is left for the caller to remove, and reason is set.
bool CloseAndReplace(std::FILE* file, const std::string& temporary, const std::string& target,
                     std::string& reason);

// An anonymous temporary file for reading and writing in binary mode, removed when closed;
// nullptr on failure, with reason set.
std::FILE* OpenScratchFile(std::string& reason);

}  // namespace corvane_tool::system_files
