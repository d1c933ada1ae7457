#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "system_files.h"

namespace corvane_tool::system_files {
namespace {

std::string Reason(int error) {
  return std::strerror(error);
}

}  // namespace

void UseBinaryStandardStreams() {}

bool StandardErrorIsTerminal() {
  return isatty(STDERR_FILENO) != 0;
}

std::FILE* OpenForReading(const std::string& path, std::uint64_t& size, std::string& reason) {
  size = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    reason = Reason(errno);
    return nullptr;
  }
  // fopen opens a directory for reading here; its first read would fail with a vaguer message.
  struct stat info {};
  if (fstat(fileno(file), &info) == 0) {
    if (S_ISDIR(info.st_mode)) {
      std::fclose(file);
      reason = Reason(EISDIR);
      return nullptr;
    }
    if (S_ISREG(info.st_mode)) size = static_cast<std::uint64_t>(info.st_size);
  }
  return file;
}

std::FILE* CreateBeside(const std::string& path, std::string& temporary, std::string& reason) {
  temporary = path + ".corvane-XXXXXX";
  const int fd = mkstemp(temporary.data());
  if (fd < 0) {
    reason = Reason(errno);
    temporary.clear();
    return nullptr;
  }
  std::FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    reason = Reason(errno);
    close(fd);
    std::remove(temporary.c_str());
    temporary.clear();
  }
  return file;
}

bool CloseAndReplace(std::FILE* file, const std::string& temporary, const std::string& target,
                     std::string& reason) {
  // mkstemp made the file readable by its owner only; give it the usual permissions.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fileno(file), 0666 & ~mask);
  if (std::fclose(file) != 0 || std::rename(temporary.c_str(), target.c_str()) != 0) {
    reason = Reason(errno);
    return false;
  }
  return true;
}

std::FILE* OpenScratchFile(std::string& reason) {
  std::FILE* file = std::tmpfile();
  if (file == nullptr) reason = Reason(errno);
  return file;
}

}  // namespace corvane_tool::system_files
