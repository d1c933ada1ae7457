#include <windows.h>

#include <optional>
#include <string>

#include "tool_process.h"

namespace corvane_cli_test {
namespace {

// One argument as the C runtime's command-line parser splits it back: quoted when it is empty
// or holds blanks or quotes, with the backslashes before a quote (or the closing quote) doubled.
std::string Quoted(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) return arg;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : arg) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, '\\');
  return quoted + '"';
}

HANDLE OpenInherited(const std::string& path, DWORD access, DWORD disposition) {
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                     disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Sets a variable of this process's environment, which the child inherits, for one scope.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const std::string& value) : name_(name) {
    const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    if (size > 0) {
      old_.resize(size);
      had_ = GetEnvironmentVariableA(name, old_.data(), size) + 1 == size;
      old_.resize(size - 1);
    }
    SetEnvironmentVariableA(name, value.c_str());
  }
  ~ScopedVariable() { SetEnvironmentVariableA(name_, had_ ? old_.c_str() : nullptr); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

}  // namespace

int RunProgram(const std::string& program, const std::vector<std::string>& args,
               std::size_t chunkSize, const std::string& in, const std::string& out,
               const std::string& err) {
  // The program's own name is read up to the next quote, without escapes.
  std::string commandLine = "\"" + program + "\"";
  for (const std::string& arg : args)
    commandLine += " " + Quoted(arg);

  const HANDLE input = OpenInherited(in, GENERIC_READ, OPEN_EXISTING);
  const HANDLE output = OpenInherited(out, GENERIC_WRITE, CREATE_ALWAYS);
  const HANDLE error = OpenInherited(err, GENERIC_WRITE, CREATE_ALWAYS);
  int status = -1;
  if (input != INVALID_HANDLE_VALUE && output != INVALID_HANDLE_VALUE &&
      error != INVALID_HANDLE_VALUE) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = input;
    startup.hStdOutput = output;
    startup.hStdError = error;
    PROCESS_INFORMATION process{};
    std::optional<ScopedVariable> chunk;
    if (chunkSize > 0) chunk.emplace("CORVANE_CHUNK_SIZE", std::to_string(chunkSize));
    if (CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       nullptr, &startup, &process) != 0) {
      WaitForSingleObject(process.hProcess, INFINITE);
      DWORD code = 0;
      // A crash ends the process with an exception code (0xC0000005, ...), not an exit status.
      if (GetExitCodeProcess(process.hProcess, &code) != 0 && code < 0xC0000000u)
        status = static_cast<int>(code);
      CloseHandle(process.hThread);
      CloseHandle(process.hProcess);
    }
  }
  for (const HANDLE handle : {input, output, error})
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  return status;
}

}  // namespace corvane_cli_test
