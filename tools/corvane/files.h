// Input and output files of the corvane tool: chunked reading, an output that appears only
// when complete, and the progress bar. What they need of the system beyond standard C comes from
// system_files.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace corvane_tool {

// Bytes read per chunk: 64 KiB. The environment variable CORVANE_CHUNK_SIZE (a byte count from
// 1 to 64 MiB) overrides it; the tests use it to cut input inside characters and escape sequences.
std::size_t ChunkSize();

// A file read in chunks, or standard input for "-".
class InputFile {
 public:
  InputFile() = default;
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;
  InputFile(InputFile&& other) noexcept;
  ~InputFile();

  // Opens path ("-": standard input). On failure prints "corvane: cannot read PATH: reason".
  bool Open(const std::string& path);

  // Reads up to buffer.size() bytes; returns how many, 0 at the end. On a read error prints a
  // message and sets Failed().
  std::size_t Read(std::span<std::uint8_t> buffer);

  bool Failed() const { return failed_; }
  const std::string& Name() const { return name_; }
  // The size of a regular file, 0 when unknown (standard input, pipes).
  std::uint64_t KnownSize() const { return size_; }

 private:
  std::FILE* file_ = nullptr;
  bool owned_ = false;
  bool failed_ = false;
  std::string name_;
  std::uint64_t size_ = 0;
};

// Standard output, or the output named with -o. A regular file (or a new one) appears only when
// everything was written: the bytes go to a temporary file beside it, which Commit renames into
// place (keeping the permissions of the file it replaces) and Discard (or destruction without
// Commit) removes. A symbolic link leads to the file replaced; anything else (a device, a pipe)
// is written straight through. system_files::OpenOutput has the details.
class OutputFile {
 public:
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  ~OutputFile();

  // Empty path or "-": standard output. On failure prints "corvane: cannot write PATH: reason".
  bool Open(const std::string& path);
  bool Write(std::span<const std::uint8_t> bytes);
  bool Commit();
  void Discard();

 private:
  bool Fail(const char* what);
  bool Fail(const char* what, const std::string& reason);

  std::FILE* file_ = nullptr;
  std::string path_;
  std::string temporary_;  // empty when written straight through
  std::string target_;     // what the temporary replaces
  bool failed_ = false;
};

// Input bytes held back while something about them is still undecided: in memory up to 1 MiB,
// in an anonymous temporary file beyond, so memory stays bounded.
class HeldBytes {
 public:
  HeldBytes() = default;
  HeldBytes(const HeldBytes&) = delete;
  HeldBytes& operator=(const HeldBytes&) = delete;
  ~HeldBytes();

  bool Append(std::span<const std::uint8_t> bytes);
  // Hands the held bytes back in order, in pieces of at most chunkSize bytes, and forgets them.
  template <typename Consumer>
  bool Replay(std::size_t chunkSize, Consumer&& consume);

 private:
  bool ReadSpilled(std::vector<std::uint8_t>& buffer, std::size_t& got);

  std::vector<std::uint8_t> memory_;
  std::FILE* spill_ = nullptr;
};

template <typename Consumer>
bool HeldBytes::Replay(std::size_t chunkSize, Consumer&& consume) {
  if (spill_ == nullptr) {
    for (std::size_t at = 0; at < memory_.size(); at += chunkSize) {
      const std::size_t n = std::min(chunkSize, memory_.size() - at);
      if (!consume(std::span<const std::uint8_t>(memory_.data() + at, n))) return false;
    }
    memory_.clear();
    return true;
  }
  std::rewind(spill_);
  std::vector<std::uint8_t> buffer(chunkSize);
  for (;;) {
    std::size_t got = 0;
    if (!ReadSpilled(buffer, got)) return false;
    if (got == 0) break;
    if (!consume(std::span<const std::uint8_t>(buffer.data(), got))) return false;
  }
  std::fclose(spill_);
  spill_ = nullptr;
  return true;
}

// Takes a progress bar off the terminal's line, so that a message can be printed there.
void ClearProgressLine();

// A progress bar on standard error, drawn only when standard error is a terminal and the input
// is large (16 MiB or more, known in advance); redrawn at most once per percent.
class ProgressBar {
 public:
  ProgressBar(std::uint64_t total, bool allowed);
  ~ProgressBar();
  void Advance(std::uint64_t bytes);

 private:
  std::uint64_t total_;
  std::uint64_t done_ = 0;
  int shownPercent_ = -1;
  bool active_;
};

}  // namespace corvane_tool
