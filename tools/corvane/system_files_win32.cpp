#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "system_files.h"

namespace corvane_tool::system_files {
namespace {

// Windows' own text for an error code, without its closing period and line end.
std::string SystemReason(DWORD error) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
  std::string reason = length > 0 ? std::string(text, length) : std::string();
  if (text != nullptr) LocalFree(text);
  while (!reason.empty() && std::strchr(" .\r\n", reason.back()) != nullptr)
    reason.pop_back();
  return reason.empty() ? "system error " + std::to_string(error) : reason;
}

// A stdio stream over a handle of ours; the stream owns the handle from then on.
std::FILE* StreamOver(HANDLE handle, int access, const char* mode, std::string& reason) {
  const int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), access | _O_BINARY);
  if (fd < 0) {
    reason = std::strerror(errno);
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, mode);
  if (file == nullptr) {
    reason = std::strerror(errno);
    _close(fd);
  }
  return file;
}

std::FILE* CreateBeside(const std::string& path, std::string& temporary, std::string& reason) {
  // CREATE_NEW fails on a name that exists, so a name taken by another run is passed over.
  static unsigned serial = 0;
  for (int attempt = 0; attempt < 100; ++attempt) {
    char suffix[40];
    std::snprintf(suffix, sizeof suffix, ".corvane-%lx-%lx-%x", GetCurrentProcessId(),
                  GetTickCount(), serial++);
    temporary = path + suffix;
    const HANDLE handle = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
      std::FILE* file = StreamOver(handle, _O_WRONLY, "wb", reason);
      if (file == nullptr) {
        DeleteFileA(temporary.c_str());
        temporary.clear();
      }
      return file;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
      reason = SystemReason(error);
      break;
    }
  }
  if (reason.empty()) reason = "no free temporary name beside it";
  temporary.clear();
  return nullptr;
}

// The file a symbolic link at path leads to, by the name Windows gives it (\\?\C:\...), so that
// the file is replaced and the link stays; path itself for anything else.
std::string FollowedPath(const std::string& path, HANDLE handle) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
    return path;
  char followed[MAX_PATH + 1];
  const DWORD length = GetFinalPathNameByHandleA(handle, followed, sizeof followed,
                                                 FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  return length > 0 && length < sizeof followed ? std::string(followed, length) : path;
}

}  // namespace

void UseBinaryStandardStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

bool StandardErrorIsTerminal() {
  // _isatty says yes for any character device, NUL included; only a console has a mode.
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

std::FILE* OpenForReading(const std::string& path, std::uint64_t& size, std::string& reason) {
  size = 0;
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    const int error = errno;
    // The C runtime refuses a directory with "Permission denied"; say what it is instead.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    const bool directory =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    reason = std::strerror(directory ? EISDIR : error);
    return nullptr;
  }
  const HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  LARGE_INTEGER bytes{};
  if (GetFileType(handle) == FILE_TYPE_DISK && GetFileSizeEx(handle, &bytes) != 0)
    size = static_cast<std::uint64_t>(bytes.QuadPart);
  return file;
}

std::FILE* OpenOutput(const std::string& path, std::string& temporary, std::string& target,
                      std::string& reason) {
  // Opened for writing first: that refuses a read-only file or one another program holds, and
  // tells a file on disk from a device (NUL, CON) or a pipe, which are written straight through.
  const HANDLE handle = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  target = path;
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
      const DWORD attributes = GetFileAttributesA(path.c_str());
      const bool directory =
          attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
      reason = directory ? std::strerror(EISDIR) : SystemReason(error);
      return nullptr;
    }
  } else if (GetFileType(handle) != FILE_TYPE_DISK) {
    return StreamOver(handle, _O_WRONLY, "wb", reason);
  } else {
    target = FollowedPath(path, handle);
    CloseHandle(handle);
  }
  return CreateBeside(target, temporary, reason);
}

bool CloseAndReplace(std::FILE* file, const std::string& temporary, const std::string& target,
                     std::string& reason) {
  // The file was created like any other in its directory, so it already has the permissions
  // (the inherited access list) a new file there gets.
  if (std::fclose(file) != 0) {
    reason = std::strerror(errno);
    return false;
  }
  if (MoveFileExA(temporary.c_str(), target.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) == 0) {
    reason = SystemReason(GetLastError());
    return false;
  }
  return true;
}

void RemoveTemporary(const std::string& temporary) {
  DeleteFileA(temporary.c_str());
}

std::FILE* OpenScratchFile(std::string& reason) {
  // Not tmpfile(): the C runtime puts that file in the root of the current drive, which an
  // ordinary user may not write to.
  char directory[MAX_PATH + 1];
  char name[MAX_PATH + 1];
  const DWORD length = GetTempPathA(sizeof directory, directory);
  if (length == 0 || length > sizeof directory ||
      GetTempFileNameA(directory, "cvn", 0, name) == 0) {
    reason = SystemReason(GetLastError());
    return nullptr;
  }
  const HANDLE handle =
      CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                  FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    reason = SystemReason(GetLastError());
    DeleteFileA(name);
    return nullptr;
  }
  return StreamOver(handle, _O_RDWR, "w+b", reason);
}

}  // namespace corvane_tool::system_files
