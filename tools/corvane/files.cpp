#include "files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "command_line.h"

namespace corvane_tool {
namespace {

constexpr std::size_t kDefaultChunkSize = 64 * 1024;
// Keeps every count handed to the library far below 2^31, three units per byte included.
constexpr std::size_t kLargestChunkSize = 64 * 1024 * 1024;
constexpr std::size_t kHeldInMemory = 1024 * 1024;
constexpr std::uint64_t kProgressThreshold = 16 * 1024 * 1024;

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
  file_ = std::fopen(path.c_str(), "rb");
  if (file_ == nullptr) {
    PrintError("cannot read " + path + ": " + Reason());
    return false;
  }
  owned_ = true;
  struct stat info {};
  if (fstat(fileno(file_), &info) == 0) {
    if (S_ISDIR(info.st_mode)) {
      PrintError("cannot read " + path + ": " + std::strerror(EISDIR));
      return false;
    }
    if (S_ISREG(info.st_mode)) size_ = static_cast<std::uint64_t>(info.st_size);
  }
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
  // Beside the target, so that the final rename stays within one file system.
  temporary_ = path + ".corvane-XXXXXX";
  const int fd = mkstemp(temporary_.data());
  if (fd < 0) {
    temporary_.clear();
    PrintError("cannot write " + path + ": " + Reason());
    return false;
  }
  file_ = fdopen(fd, "wb");
  if (file_ == nullptr) {
    close(fd);
    return Fail("cannot write");
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
  // mkstemp made the file readable by its owner only; give it the usual permissions.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fileno(file_), 0666 & ~mask);
  const int closed = std::fclose(file_);
  file_ = nullptr;
  if (closed != 0) return Fail("cannot write");
  if (std::rename(temporary_.c_str(), path_.c_str()) != 0) return Fail("cannot write");
  temporary_.clear();
  return true;
}

void OutputFile::Discard() {
  if (file_ != nullptr && file_ != stdout) std::fclose(file_);
  if (file_ == stdout) std::fflush(stdout);
  file_ = nullptr;
  if (!temporary_.empty()) std::remove(temporary_.c_str());
  temporary_.clear();
}

bool OutputFile::Fail(const char* what) {
  if (!failed_) {
    const std::string reason = Reason();
    PrintError(std::string(what) + " " + (path_.empty() ? "standard output" : path_) + ": " +
               reason);
  }
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
    spill_ = std::tmpfile();
    if (spill_ == nullptr ||
        std::fwrite(memory_.data(), 1, memory_.size(), spill_) != memory_.size()) {
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
    : total_(total), active_(allowed && total >= kProgressThreshold && isatty(STDERR_FILENO)) {}

ProgressBar::~ProgressBar() {
  ClearProgressLine();
}

void ClearProgressLine() {
  if (!progressShown) return;
  std::fputs("\r\033[K", stderr);
  progressShown = false;
}

void ProgressBar::Advance(std::uint64_t bytes) {
  if (!active_) return;
  done_ += bytes;
  const int percent = static_cast<int>(std::min<std::uint64_t>(done_ * 100 / total_, 100));
  if (percent == shownPercent_) return;
  shownPercent_ = percent;
  constexpr int kWidth = 40;
  char bar[kWidth + 1];
  const int filled = percent * kWidth / 100;
  for (int i = 0; i < kWidth; ++i)
    bar[i] = i < filled ? '#' : '.';
  bar[kWidth] = '\0';
  std::fprintf(stderr, "\r[%s] %3d%%  %llu/%llu MiB", bar, percent,
               static_cast<unsigned long long>(done_ >> 20),
               static_cast<unsigned long long>(total_ >> 20));
  std::fflush(stderr);
  progressShown = true;
}

}  // namespace corvane_tool
