// corvane convert -o on POSIX: what happens to the thing at the output path (a device, a pipe, a
// symbolic link, a file with its own mode and owner, a file the user may not write) and to the
// temporary file when the tool is interrupted.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <thread>

#include "tool_runner.h"

namespace corvane_cli_test {
namespace {

constexpr uid_t kNobody = 65534;

const std::vector<std::string> kToUtf8 = {"convert", "-f", "latin1", "-t", "utf-8"};

std::vector<std::string> ConvertTo(const std::string& out, const std::string& in = "-") {
  std::vector<std::string> args = kToUtf8;
  args.insert(args.end(), {"-o", out, in});
  return args;
}

// Starts corvane with standard input from inFd and standard error appended to errPath, with the
// three signals it handles at their default action. asNobody: run as the user nobody when this test
// runs as root, so that file permissions bind.
pid_t StartTool(const std::vector<std::string>& args, int inFd, const std::string& errPath,
                bool asNobody = false) {
  std::vector<std::string> copies = {CORVANE_TOOL};
  copies.insert(copies.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& arg : copies)
    argv.push_back(arg.data());
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child != 0) return child;
  const int errFd = open(errPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0666);
  if (errFd < 0 || dup2(inFd, 0) < 0 || dup2(errFd, 2) < 0) _exit(126);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP})
    ::signal(signal, SIG_DFL);
  if (asNobody && geteuid() == 0 &&
      (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0)) {
    _exit(126);
  }
  execv(argv[0], argv.data());
  _exit(127);
}

struct Finished {
  int status = -1;  // the exit status, -1 when killed
  int signal = 0;   // the signal that ended it
  std::string err;
};

Finished Wait(pid_t child, const std::string& errPath) {
  int status = 0;
  Finished result;
  if (waitpid(child, &status, 0) != child) return result;
  if (WIFEXITED(status)) result.status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  result.err = ReadFile(errPath);
  return result;
}

// Runs corvane to the end with standard input empty.
Finished RunWithErrorsIn(const std::vector<std::string>& args, const std::string& errPath,
                         bool asNobody = false) {
  const int in = open("/dev/null", O_RDONLY);
  const Finished finished = Wait(StartTool(args, in, errPath, asNobody), errPath);
  close(in);
  return finished;
}

struct stat Lstat(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
  return info;
}

// A character device the test may write to: a null device of its own where it may make one,
// the system's when it cannot touch the system's (not root, so no rename can replace it).
std::string NullDevice(const ScratchDirectory& dir) {
  const std::string own = dir.Path("null");
  if (mknod(own.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) return own;
  return access("/dev", W_OK) != 0 ? "/dev/null" : "";
}

// Anything but a regular file is written to, never replaced: the reader of a pipe gets the text.
TEST(OutputTest, DevicesAndPipesAreWrittenThrough) {
  const ScratchDirectory dir;
  const std::string input = dir.Write("input", "caf\xe9\n");
  const std::string device = NullDevice(dir);
  ASSERT_FALSE(device.empty()) << "no null device to write to";
  EXPECT_EQ(RunTool(ConvertTo(device, input)).status, 0);
  EXPECT_TRUE(S_ISCHR(Lstat(device).st_mode));

  const std::string fifo = dir.Path("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // Opened without waiting for a writer, so that the tool's open does not wait for a reader.
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  const ToolResult r = RunTool(ConvertTo(fifo, input));
  EXPECT_EQ(r.status, 0) << r.err;
  char text[64] = {};
  const ssize_t got = read(reader, text, sizeof text);
  close(reader);
  EXPECT_EQ(std::string(text, got > 0 ? static_cast<std::size_t>(got) : 0), "caf\xc3\xa9\n");
  EXPECT_TRUE(S_ISFIFO(Lstat(fifo).st_mode));
}

// A name of a descriptor the tool holds (/dev/fd/N, or a link to /proc/self/fd/N as /dev/stdout
// is) is written through that descriptor: an appending one appends, and its file stays.
TEST(OutputTest, DescriptorNamesAreWrittenThrough) {
  const ScratchDirectory dir;
  const std::string input = dir.Write("input", "caf\xe9\n");
  ASSERT_EQ(symlink("/proc/self/fd/2", dir.Path("stderr").c_str()), 0);
  for (const std::string& name : {std::string("/dev/fd/2"), dir.Path("stderr")}) {
    SCOPED_TRACE(name);
    const std::string log = dir.Write("log", "before\n");
    const Finished r = RunWithErrorsIn(ConvertTo(name, input), log);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "before\ncaf\xc3\xa9\n");
  }
  EXPECT_TRUE(S_ISLNK(Lstat(dir.Path("stderr")).st_mode));
}

// A name as long as the file system takes leaves no room for the temporary's suffix.
TEST(OutputTest, LongestNameIsWritten) {
  const ScratchDirectory dir;
  const std::string input = dir.Write("input", "caf\xe9\n");
  const std::string name(NAME_MAX, 'n');
  const ToolResult r = RunTool(ConvertTo(dir.Path(name), input));
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"input", name}));
}

// A symbolic link stays; the file it leads to (made when missing) gets the text.
TEST(OutputTest, SymbolicLinksAreFollowed) {
  struct Row {
    const char* link;
    const char* to;
    const char* target;  // where the text lands, relative to the scratch directory
  };
  const Row rows[] = {
      {"link", "existing", "existing"},
      {"dangling", "missing", "missing"},
      {"sub/up", "../above", "above"},  // relative to the link's directory, not the tool's
      {"chain", "link", "existing"},
      {"absolute", "", "existing"},  // the scratch directory's own path leads to it
  };
  const ScratchDirectory dir;
  ASSERT_EQ(mkdir(dir.Path("sub").c_str(), 0755), 0);
  const std::string input = dir.Write("input", "caf\xe9\n");
  for (const Row& row : rows) {
    SCOPED_TRACE(row.link);
    dir.Write("existing", "old");
    dir.Write("above", "old");
    const std::string to = *row.to != '\0' ? row.to : dir.Path("existing");
    ASSERT_EQ(symlink(to.c_str(), dir.Path(row.link).c_str()), 0);
    const ToolResult r = RunTool(ConvertTo(dir.Path(row.link), input));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(S_ISLNK(Lstat(dir.Path(row.link)).st_mode));
    EXPECT_EQ(ReadFile(dir.Path(row.target)), "caf\xc3\xa9\n");
  }
  ASSERT_EQ(symlink("loop", dir.Path("loop").c_str()), 0);
  const ToolResult loop = RunTool(ConvertTo(dir.Path("loop"), input));
  EXPECT_EQ(loop.status, 1);
  EXPECT_NE(loop.err.find("cannot write " + dir.Path("loop") + ": Too many levels"),
            std::string::npos)
      << loop.err;
}

// The replaced file keeps its permissions and, where the tool may give it, its owner.
TEST(OutputTest, ReplacedFileKeepsModeAndOwner) {
  const ScratchDirectory dir;
  const std::string input = dir.Write("input", "caf\xe9\n");
  const std::string out = dir.Path("out");
  for (const mode_t mode : {0600u, 0640u, 0755u, 0444u}) {
    if (mode == 0444 && geteuid() != 0) continue;  // refused: UnwritableFileIsRefused
    SCOPED_TRACE(mode);
    dir.Write("out", "old");
    ASSERT_EQ(chmod(out.c_str(), mode), 0);
    const bool root = geteuid() == 0;
    if (root) {
      ASSERT_EQ(chown(out.c_str(), kNobody, kNobody), 0);
    }
    const ToolResult r = RunTool(ConvertTo(out, input));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(out), "caf\xc3\xa9\n");
    const struct stat info = Lstat(out);
    EXPECT_EQ(info.st_mode & 07777, mode);
    if (root) {
      EXPECT_EQ(info.st_uid, kNobody);
      EXPECT_EQ(info.st_gid, kNobody);
    }
  }
}

// A file the user may not write is left as it is, though its directory would let a new file
// take its name.
TEST(OutputTest, UnwritableFileIsRefused) {
  const ScratchDirectory dir;
  ASSERT_EQ(chmod(dir.Path("").c_str(), 0777), 0);
  const std::string input = dir.Write("input", "caf\xe9\n");
  const std::string out = dir.Write("out", "keep me");
  ASSERT_EQ(chmod(out.c_str(), 0444), 0);
  const Finished r = RunWithErrorsIn(ConvertTo(out, input), dir.Path("err"), true);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("cannot write " + out + ": Permission denied"), std::string::npos) << r.err;
  EXPECT_EQ(ReadFile(out), "keep me");
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"err", "input", "out"}));
}

// Interrupted while its temporary file is open, the tool removes it and dies of the signal.
TEST(OutputTest, InterruptedOutputLeavesNoTemporaryFile) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    const ScratchDirectory dir;
    const ScratchDirectory logs;
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const std::string err = logs.Path("err");
    const pid_t child = StartTool(ConvertTo(dir.Path("out")), pipeFds[0], err);
    close(pipeFds[0]);
    ASSERT_EQ(write(pipeFds[1], "abc", 3), 3);
    // The tool waits on the open pipe once its temporary file exists.
    for (int i = 0; i < 1000 && dir.Names().empty(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(dir.Names().size(), 1u);
    EXPECT_EQ(dir.Names()[0].rfind("out.corvane-", 0), 0u);
    kill(child, signal);
    const Finished r = Wait(child, err);
    close(pipeFds[1]);
    EXPECT_EQ(r.signal, signal) << r.err;
    EXPECT_EQ(dir.Names(), std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace corvane_cli_test
