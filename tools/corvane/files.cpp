#include "files.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "command_line.h"
#include "system_files.h"

namespace corvane_tool {
namespace {

constexpr std::size_t kDefaultChunkSize = 64 * 1024;
// Keeps every count handed to the library far below 2^31, three units per byte included.
constexpr std::size_t kLargestChunkSize = 64 * 1024 * 1024;
constexpr std::size_t kHeldInMemory = 1024 * 1024;
constexpr std::uint64_t kProgressThreshold = 16 * 1024 * 1024;
constexpr int kProgressBarWidth = 40;
// The longest progress line: the bar in brackets, " 100%  ", and "DONE/TOTAL MiB" with sizes of
// up to 8 digits.
constexpr int kProgressLineWidth = kProgressBarWidth + 2 + 7 + 8 + 1 + 8 + 4;

// Whether a progress bar stands on the terminal's current line.
bool progressShown = false;

std::string Reason() {
  return std::strerror(errno);
}

}  // namespace

std::size_t ChunkSize() {
  const char* text = std::getenv("CORVANE_CHUNK_SIZE");
  if (text == nullptr) return kDefaultChunkSize;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text, &end, 10);
  if (*text == '\0' || *end != '\0' || value == 0 || value > kLargestChunkSize)
    return kDefaultChunkSize;
  return static_cast<std::size_t>(value);
}

InputFile::InputFile(InputFile&& other) noexcept
    : file_(other.file_),
      owned_(other.owned_),
      failed_(other.failed_),
      name_(std::move(other.name_)),
      size_(other.size_) {
  other.file_ = nullptr;
  other.owned_ = false;
}

InputFile::~InputFile() {
  if (owned_ && file_ != nullptr) std::fclose(file_);
}

bool InputFile::Open(const std::string& path) {
  name_ = path;
  if (path == "-") {
    name_ = "standard input";
    file_ = stdin;
    return true;
  }
  std::string reason;
  file_ = system_files::OpenForReading(path, size_, reason);
  if (file_ == nullptr) {
    PrintError("cannot read " + path + ": " + reason);
    return false;
  }
  owned_ = true;
  return true;
}

std::size_t InputFile::Read(std::span<std::uint8_t> buffer) {
  if (file_ == nullptr || failed_) return 0;
  const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file_);
  if (got < buffer.size() && std::ferror(file_)) {
    PrintError("cannot read " + name_ + ": " + Reason());
    failed_ = true;
  }
  return got;
}

OutputFile::~OutputFile() {
  Discard();
}

bool OutputFile::Open(const std::string& path) {
  if (path.empty() || path == "-") {
    file_ = stdout;
    return true;
  }
  path_ = path;
  std::string reason;
  file_ = system_files::OpenOutput(path, temporary_, target_, reason);
  if (file_ == nullptr) {
    temporary_.clear();
    PrintError("cannot write " + path + ": " + reason);
    return false;
  }
  return true;
}

bool OutputFile::Write(std::span<const std::uint8_t> bytes) {
  if (failed_ || file_ == nullptr) return false;
  if (bytes.empty()) return true;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
    return Fail("cannot write");
  return true;
}

bool OutputFile::Commit() {
  if (failed_ || file_ == nullptr) return false;
  if (file_ == stdout) {
    if (std::fflush(stdout) != 0) return Fail("cannot write");
    return true;
  }
  std::FILE* const file = file_;
  file_ = nullptr;
  if (temporary_.empty()) return std::fclose(file) == 0 || Fail("cannot write");
  std::string reason;
  if (!system_files::CloseAndReplace(file, temporary_, target_, reason))
    return Fail("cannot write", reason);
  temporary_.clear();
  return true;
}

void OutputFile::Discard() {
  if (file_ != nullptr && file_ != stdout) std::fclose(file_);
  if (file_ == stdout) std::fflush(stdout);
  file_ = nullptr;
  if (!temporary_.empty()) system_files::RemoveTemporary(temporary_);
  temporary_.clear();
}

bool OutputFile::Fail(const char* what) {
  return Fail(what, Reason());
}

bool OutputFile::Fail(const char* what, const std::string& reason) {
  if (!failed_)
    PrintError(std::string(what) + " " + (path_.empty() ? "standard output" : path_) + ": " +
               reason);
  failed_ = true;
  return false;
}

HeldBytes::~HeldBytes() {
  if (spill_ != nullptr) std::fclose(spill_);
}

bool HeldBytes::Append(std::span<const std::uint8_t> bytes) {
  if (spill_ == nullptr && memory_.size() + bytes.size() <= kHeldInMemory) {
    memory_.insert(memory_.end(), bytes.begin(), bytes.end());
    return true;
  }
  if (spill_ == nullptr) {
    std::string reason;
    spill_ = system_files::OpenScratchFile(reason);
    if (spill_ == nullptr) {
      PrintError("cannot hold input in a temporary file: " + reason);
      return false;
    }
    if (std::fwrite(memory_.data(), 1, memory_.size(), spill_) != memory_.size()) {
      PrintError("cannot hold input in a temporary file: " + Reason());
      return false;
    }
    memory_.clear();
    memory_.shrink_to_fit();
  }
  if (std::fwrite(bytes.data(), 1, bytes.size(), spill_) != bytes.size()) {
    PrintError("cannot hold input in a temporary file: " + Reason());
    return false;
  }
  return true;
}

bool HeldBytes::ReadSpilled(std::vector<std::uint8_t>& buffer, std::size_t& got) {
  got = std::fread(buffer.data(), 1, buffer.size(), spill_);
  if (got < buffer.size() && std::ferror(spill_)) {
    PrintError("cannot read back held input: " + Reason());
    return false;
  }
  return true;
}

ProgressBar::ProgressBar(std::uint64_t total, bool allowed)
    : total_(total),
      active_(allowed && total >= kProgressThreshold && system_files::StandardErrorIsTerminal()) {}

ProgressBar::~ProgressBar() {
  ClearProgressLine();
}

void ClearProgressLine() {
  if (!progressShown) return;
  // Blanks rather than a terminal control sequence, which a Windows console may not know.
  std::fprintf(stderr, "\r%*s\r", kProgressLineWidth, "");
  progressShown = false;
}

void ProgressBar::Advance(std::uint64_t bytes) {
  if (!active_) return;
  done_ += bytes;
  const int percent = static_cast<int>(std::min<std::uint64_t>(done_ * 100 / total_, 100));
  if (percent == shownPercent_) return;
  shownPercent_ = percent;
  char bar[kProgressBarWidth + 1];
  const int filled = percent * kProgressBarWidth / 100;
  for (int i = 0; i < kProgressBarWidth; ++i)
    bar[i] = i < filled ? '#' : '.';
  bar[kProgressBarWidth] = '\0';
  std::fprintf(stderr, "\r[%s] %3d%%  %llu/%llu MiB", bar, percent,
               static_cast<unsigned long long>(done_ >> 20),
               static_cast<unsigned long long>(total_ >> 20));
  std::fflush(stderr);
  progressShown = true;
}

}  // namespace corvane_tool
