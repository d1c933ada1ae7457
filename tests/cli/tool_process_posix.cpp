#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

#include "tool_runner.h"

namespace corvane_cli_test {

pid_t StartProgram(Args args, int in, int out, int err, std::size_t chunkSize, bool asNobody) {
  args.insert(args.begin(), CORVANE_TOOL);
  std::vector<char*> argv;
  for (std::string& arg : args)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child != 0) return child;
  if (dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(126);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP})
    ::signal(signal, SIG_DFL);
  if (chunkSize > 0) setenv("CORVANE_CHUNK_SIZE", std::to_string(chunkSize).c_str(), 1);
  constexpr uid_t kNobody = 65534;
  if (asNobody && geteuid() == 0 &&
      (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0))
    _exit(126);
  execv(argv[0], argv.data());
  _exit(127);
}

int WaitForProgram(pid_t child, int* signal) {
  int status = 0;
  if (child < 0 || waitpid(child, &status, 0) != child) return -1;
  if (signal != nullptr) *signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int RunProgram(const Args& args, std::size_t chunkSize, const std::string& in,
               const std::string& out, const std::string& err) {
  const int fds[] = {open(in.c_str(), O_RDONLY), open(out.c_str(), O_WRONLY | O_CREAT, 0600),
                     open(err.c_str(), O_WRONLY | O_CREAT, 0600)};
  const int status = WaitForProgram(StartProgram(args, fds[0], fds[1], fds[2], chunkSize));
  for (const int fd : fds)
    close(fd);
  return status;
}

}  // namespace corvane_cli_test
