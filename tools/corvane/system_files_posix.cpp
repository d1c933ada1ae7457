#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <string_view>

#include "system_files.h"

namespace corvane_tool::system_files {
namespace {

// The kernel's own limit on links followed in one path (MAXSYMLINKS).
constexpr int kMostLinksFollowed = 40;
constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The temporary file a signal handler removes. A handler may neither allocate nor take a lock,
// so the name lives in a fixed buffer; the kernel refuses longer paths anyway.
char temporaryName[PATH_MAX];
volatile std::sig_atomic_t removeOnSignal = 0;

std::string Reason(int error) {
  return std::strerror(error);
}

std::FILE* Failed(std::string& reason, int error) {
  reason = Reason(error);
  return nullptr;
}

extern "C" void RemoveTemporaryAndStop(int signal) {
  if (removeOnSignal != 0) unlink(temporaryName);
  // SA_RESETHAND restored the default action and SA_NODEFER lets it act at once, so the
  // program ends as the signal ends any other: the shell sees the usual status.
  raise(signal);
}

void RemoveTemporaryOnSignals() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  struct sigaction action {};
  action.sa_handler = RemoveTemporaryAndStop;
  action.sa_flags = static_cast<int>(SA_RESETHAND | SA_NODEFER);
  sigemptyset(&action.sa_mask);
  for (const int signal : kCleanupSignals)
    sigaddset(&action.sa_mask, signal);
  for (const int signal : kCleanupSignals) {
    // A signal ignored by whoever started the program (nohup) stays ignored.
    struct sigaction before {};
    if (sigaction(signal, nullptr, &before) == 0 && before.sa_handler != SIG_IGN)
      sigaction(signal, &action, nullptr);
  }
}

// Holds the cleanup signals back while the temporary file and the name the handler reads
// disagree: from its creation until the name is recorded, from its rename or removal until the
// name is forgotten.
class CleanupSignalsHeld {
 public:
  CleanupSignalsHeld() {
    sigset_t held;
    sigemptyset(&held);
    for (const int signal : kCleanupSignals)
      sigaddset(&held, signal);
    sigprocmask(SIG_BLOCK, &held, &before_);
  }
  ~CleanupSignalsHeld() { sigprocmask(SIG_SETMASK, &before_, nullptr); }
  CleanupSignalsHeld(const CleanupSignalsHeld&) = delete;
  CleanupSignalsHeld& operator=(const CleanupSignalsHeld&) = delete;

 private:
  sigset_t before_;
};

std::FILE* StreamOver(int fd, std::string& reason) {
  std::FILE* file = fdopen(fd, "wb");
  if (file == nullptr) {
    reason = Reason(errno);
    close(fd);
  }
  return file;
}

// The descriptor a path names when it is one this program already holds (/dev/fd/N, and
// /dev/stdout through /proc/self/fd/1); -1 otherwise.
int DescriptorNamed(const std::string& path) {
  for (const std::string_view prefix : {"/dev/fd/", "/proc/self/fd/"}) {
    if (path.size() <= prefix.size() || path.compare(0, prefix.size(), prefix) != 0) continue;
    const std::string_view digits = std::string_view(path).substr(prefix.size());
    if (digits.size() > 9 || digits.find_first_not_of("0123456789") != std::string_view::npos)
      continue;
    return std::stoi(std::string(digits));
  }
  return -1;
}

// The name a chain of symbolic links ends at, whether or not a file is there, as opening path
// would find it: each relative link read from the directory that holds the link. A chain that
// reaches a descriptor of this program stops there and sets descriptor.
bool FollowLinks(std::string path, std::string& followed, int& descriptor, int& error) {
  for (int links = 0; links <= kMostLinksFollowed; ++links) {
    descriptor = DescriptorNamed(path);
    if (descriptor >= 0) return true;
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 && errno != ENOENT) {
      error = errno;
      return false;
    }
    if (!S_ISLNK(info.st_mode)) {
      followed = path;
      return true;
    }
    std::string to(static_cast<std::size_t>(info.st_size) + 1, '\0');
    for (;;) {
      const ssize_t length = readlink(path.c_str(), to.data(), to.size());
      if (length < 0) {
        error = errno;
        return false;
      }
      // A link that grew since lstat fills the buffer: read it again, larger.
      if (static_cast<std::size_t>(length) < to.size()) {
        to.resize(static_cast<std::size_t>(length));
        break;
      }
      to.resize(2 * to.size());
    }
    const std::size_t slash = path.rfind('/');
    if (to.front() != '/' && slash != std::string::npos) to.insert(0, path, 0, slash + 1);
    path = std::move(to);
  }
  error = ELOOP;
  return false;
}

std::FILE* CreateBeside(const std::string& target, std::string& temporary, std::string& reason) {
  // A name the file system takes may leave no room for the suffix: its end gives way.
  constexpr std::string_view kSuffix = ".corvane-XXXXXX";
  const std::size_t nameStart = target.rfind('/') + 1;  // 0 without a slash
  const std::size_t nameKept = std::min(target.size() - nameStart, NAME_MAX - kSuffix.size());
  const std::string pattern = target.substr(0, nameStart + nameKept) + std::string(kSuffix);
  if (pattern.size() >= sizeof temporaryName) return Failed(reason, ENAMETOOLONG);
  RemoveTemporaryOnSignals();
  const CleanupSignalsHeld held;
  std::memcpy(temporaryName, pattern.c_str(), pattern.size() + 1);
  const int fd = mkstemp(temporaryName);
  if (fd < 0) return Failed(reason, errno);
  removeOnSignal = 1;
  std::FILE* file = StreamOver(fd, reason);
  if (file == nullptr) {
    unlink(temporaryName);
    removeOnSignal = 0;
    return nullptr;
  }
  temporary = temporaryName;
  return file;
}

// Gives the temporary file fd what the file it replaces has: permissions, and owner and group
// where the user may give them away (set-ID bits dropped with an owner or group not kept); a new
// file's permissions when there is none. Returns 0 or an errno value.
int TakeAttributesOf(const std::string& target, int fd) {
  struct stat old {};
  if (stat(target.c_str(), &old) != 0 || !S_ISREG(old.st_mode)) {
    // mkstemp made the file readable by its owner only.
    const mode_t mask = umask(0);
    umask(mask);
    return fchmod(fd, 0666 & ~mask) == 0 ? 0 : errno;
  }
  mode_t mode = old.st_mode & 07777;
  struct stat made {};
  if (fstat(fd, &made) != 0) return errno;
  if ((made.st_uid != old.st_uid || made.st_gid != old.st_gid) &&
      fchown(fd, old.st_uid, old.st_gid) != 0) {
    if (made.st_uid != old.st_uid) mode &= ~static_cast<mode_t>(S_ISUID);
    if (made.st_gid != old.st_gid && fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0)
      mode &= ~static_cast<mode_t>(S_ISGID);
  }
  return fchmod(fd, mode) == 0 ? 0 : errno;
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

std::FILE* OpenOutput(const std::string& path, std::string& temporary, std::string& target,
                      std::string& reason) {
  int descriptor = -1;
  int error = 0;
  if (!FollowLinks(path, target, descriptor, error)) return Failed(reason, error);
  if (descriptor >= 0) {
    // Written through a copy, as a shell's redirection would: an appending descriptor appends,
    // and a file the shell opened is not replaced behind its back.
    const int flags = fcntl(descriptor, F_GETFL);
    if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY) return Failed(reason, EBADF);
    const int fd = fcntl(descriptor, F_DUPFD_CLOEXEC, 0);
    return fd < 0 ? Failed(reason, errno) : StreamOver(fd, reason);
  }
  struct stat info {};
  const bool exists = stat(path.c_str(), &info) == 0;
  if (!exists && errno != ENOENT) return Failed(reason, errno);
  if (exists && !S_ISREG(info.st_mode)) {
    // By the name given, so that the kernel follows links of /proc that name no file (a pipe
    // of another process).
    const int fd = open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    return fd < 0 ? Failed(reason, errno) : StreamOver(fd, reason);
  }
  // Root may write any file; a read-only file system or an immutable file still stops it.
  if (exists && faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
    return Failed(reason, errno);
  return CreateBeside(target, temporary, reason);
}

bool CloseAndReplace(std::FILE* file, const std::string& temporary, const std::string& target,
                     std::string& reason) {
  const int kept = TakeAttributesOf(target, fileno(file));
  if (std::fclose(file) != 0 || kept != 0) {
    reason = Reason(kept != 0 ? kept : errno);
    return false;
  }
  const CleanupSignalsHeld held;
  if (std::rename(temporary.c_str(), target.c_str()) != 0) {
    reason = Reason(errno);
    return false;
  }
  removeOnSignal = 0;
  return true;
}

void RemoveTemporary(const std::string& temporary) {
  const CleanupSignalsHeld held;
  unlink(temporary.c_str());
  removeOnSignal = 0;
}

std::FILE* OpenScratchFile(std::string& reason) {
  std::FILE* file = std::tmpfile();
  if (file == nullptr) reason = Reason(errno);
  return file;
}

}  // namespace corvane_tool::system_files
