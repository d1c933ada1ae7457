#include <windows.h>

#include "tool_runner.h"

namespace corvane_cli_test {

int RunProgram(const Args& args, std::size_t chunkSize, const std::string& in,
               const std::string& out, const std::string& err) {
  // The program's name is read up to the next quote. The arguments the tests give hold no quote
  // and end in no backslash, so quoting those with blanks is all the C runtime's parser needs.
  std::string commandLine = "\"" CORVANE_TOOL "\"";
  for (const std::string& arg : args)
    commandLine += arg.empty() || arg.find_first_of(" \t") != std::string::npos ? " \"" + arg + "\""
                                                                                : " " + arg;
  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  const auto openFile = [&inherited](const std::string& path, DWORD access, DWORD disposition) {
    return CreateFileA(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                       disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  };
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = openFile(in, GENERIC_READ, OPEN_EXISTING);
  startup.hStdOutput = openFile(out, GENERIC_WRITE, CREATE_ALWAYS);
  startup.hStdError = openFile(err, GENERIC_WRITE, CREATE_ALWAYS);
  // The child inherits this process's environment; the tests never set the variable otherwise.
  const std::string chunk = std::to_string(chunkSize);
  SetEnvironmentVariableA("CORVANE_CHUNK_SIZE", chunkSize > 0 ? chunk.c_str() : nullptr);
  PROCESS_INFORMATION process{};
  DWORD code = 0xFFFFFFFF;
  if (CreateProcessA(CORVANE_TOOL, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                     &startup, &process) != 0) {
    WaitForSingleObject(process.hProcess, INFINITE);
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  for (const HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
    CloseHandle(handle);
  // A crash ends the process with an exception code (0xC0000005, ...), not an exit status.
  return code < 0xC0000000u ? static_cast<int>(code) : -1;
}

}  // namespace corvane_cli_test
