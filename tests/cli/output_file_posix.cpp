// corvane convert -o on POSIX: what happens to the thing at the output path (a device, a pipe, a
// symbolic link, a file with its own mode and owner, a file the user may not write) and to the
// temporary file when the tool is interrupted.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <thread>

#include "tool_runner.h"

namespace corvane_cli_test {
namespace {

constexpr uid_t kNobody = 65534;

Args ConvertTo(const std::string& out, const std::string& in = "-") {
  return {"convert", "-f", "latin1", "-t", "utf-8", "-o", out, in};
}

// Runs corvane to the end with standard input empty and standard error appended to errPath;
// returns the status and what errPath then holds.
std::pair<int, std::string> RunAppendingErrors(const Args& args, const std::string& errPath,
                                               bool asNobody = false) {
  const int in = open("/dev/null", O_RDONLY);
  const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0666);
  const pid_t child = StartProgram(CORVANE_TOOL, args, in, -1, err, 0, asNobody);
  close(in);
  close(err);
  const int status = WaitForProgram(child);
  return {status, ReadFile(errPath)};
}

mode_t Mode(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
  return info.st_mode;
}

// Anything but a regular file is written to, never replaced: the reader of a pipe gets the text.
// The null device is one of the test's own where it may make one, else the system's when it
// cannot touch the system's (not root, so no rename can replace it).
TEST(OutputTest, DevicesAndPipesAreWrittenThrough) {
  const ScratchDirectory dir;
  const std::string input = dir.Write("input", "caf\xe9\n");
  std::string device = dir.Path("null");
  if (mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0) {
    ASSERT_NE(access("/dev", W_OK), 0) << "no null device to write to";
    device = "/dev/null";
  }
  EXPECT_EQ(RunTool(ConvertTo(device, input)).status, 0);
  EXPECT_TRUE(S_ISCHR(Mode(device)));

  const std::string fifo = dir.Path("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // Opened without waiting for a writer, so that the tool's open does not wait for a reader.
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_EQ(RunTool(ConvertTo(fifo, input)).status, 0);
  char text[64] = {};
  const ssize_t got = read(reader, text, sizeof text);
  close(reader);
  EXPECT_EQ(std::string(text, got > 0 ? static_cast<std::size_t>(got) : 0), "caf\xc3\xa9\n");
  EXPECT_TRUE(S_ISFIFO(Mode(fifo)));
}

// A name of a descriptor the tool holds (/dev/fd/N, or a link to /proc/self/fd/N as /dev/stdout
// is) is written through that descriptor: an appending one appends, and its file stays.
TEST(OutputTest, DescriptorNamesAreWrittenThrough) {
  const ScratchDirectory dir;
  const std::string input = dir.Write("input", "caf\xe9\n");
  ASSERT_EQ(symlink("/proc/self/fd/2", dir.Path("stderr").c_str()), 0);
  for (const std::string& name : {std::string("/dev/fd/2"), dir.Path("stderr")}) {
    const std::string log = dir.Write("log", "before\n");
    EXPECT_EQ(RunAppendingErrors(ConvertTo(name, input), log),
              std::make_pair(0, std::string("before\ncaf\xc3\xa9\n")))
        << name;
  }
  EXPECT_TRUE(S_ISLNK(Mode(dir.Path("stderr"))));
}

// A symbolic link stays; the file it leads to (made when missing) gets the text. A name as long
// as the file system takes leaves no room for the temporary's suffix, and is written all the same.
TEST(OutputTest, SymbolicLinksAreFollowedAndLongestNameIsWritten) {
  const struct {
    const char* link;  // nullptr: no link, the text lands in target
    const char* to;    // "": the scratch directory's own path to "existing"
    std::string target;
  } rows[] = {
      {"link", "existing", "existing"},
      {"dangling", "missing", "missing"},
      {"sub/up", "../above", "above"},  // relative to the link's directory, not the tool's
      {"chain", "link", "existing"},
      {"absolute", "", "existing"},
      {nullptr, nullptr, std::string(NAME_MAX, 'n')},
  };
  const ScratchDirectory dir;
  ASSERT_EQ(mkdir(dir.Path("sub").c_str(), 0755), 0);
  const std::string input = dir.Write("input", "caf\xe9\n");
  for (const auto& row : rows) {
    const std::string link = row.link != nullptr ? row.link : row.target;
    SCOPED_TRACE(link);
    dir.Write("existing", "old");
    dir.Write("above", "old");
    if (row.link != nullptr) {
      const std::string to = *row.to != '\0' ? row.to : dir.Path("existing");
      ASSERT_EQ(symlink(to.c_str(), dir.Path(link).c_str()), 0);
    }
    EXPECT_EQ(RunTool(ConvertTo(dir.Path(link), input)).status, 0);
    EXPECT_EQ(S_ISLNK(Mode(dir.Path(link))) != 0, row.link != nullptr);
    EXPECT_EQ(ReadFile(dir.Path(row.target)), "caf\xc3\xa9\n");
  }
  ASSERT_EQ(symlink("loop", dir.Path("loop").c_str()), 0);
  const ToolResult loop = RunTool(ConvertTo(dir.Path("loop"), input));
  EXPECT_EQ(loop.status, 1);
  EXPECT_NE(loop.err.find("cannot write " + dir.Path("loop") + ": Too many levels"),
            std::string::npos)
      << loop.err;
}

// The replaced file keeps its permissions and, where the tool may give it, its owner. A file the
// user may not write is left as it is, though its directory would let a new file take its name.
TEST(OutputTest, ReplacedFileKeepsModeAndOwnerUnwritableFileIsRefused) {
  const bool root = geteuid() == 0;
  const ScratchDirectory dir;
  const std::string input = dir.Write("input", "caf\xe9\n");
  const std::string out = dir.Path("out");
  for (const mode_t mode : {0600u, 0640u, 0755u, 0444u}) {
    if (mode == 0444 && !root) continue;  // refused: below
    SCOPED_TRACE(mode);
    dir.Write("out", "old");
    ASSERT_EQ(chmod(out.c_str(), mode), 0);
    ASSERT_TRUE(!root || chown(out.c_str(), kNobody, kNobody) == 0);
    EXPECT_EQ(RunTool(ConvertTo(out, input)).status, 0);
    EXPECT_EQ(ReadFile(out), "caf\xc3\xa9\n");
    struct stat info {};
    ASSERT_EQ(stat(out.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, mode);
    EXPECT_TRUE(!root || (info.st_uid == kNobody && info.st_gid == kNobody)) << info.st_uid;
  }
  ASSERT_EQ(chmod(dir.Path("").c_str(), 0777), 0);
  ASSERT_EQ(unlink(out.c_str()), 0);
  dir.Write("out", "keep me");
  ASSERT_EQ(chmod(out.c_str(), 0444), 0);
  const auto [status, err] = RunAppendingErrors(ConvertTo(out, input), dir.Path("err"), true);
  EXPECT_EQ(status, 1);
  EXPECT_NE(err.find("cannot write " + out + ": Permission denied"), std::string::npos) << err;
  EXPECT_EQ(ReadFile(out), "keep me");
  EXPECT_EQ(dir.Names(), (Args{"err", "input", "out"}));
}

// Interrupted while its temporary file is open, the tool removes it and dies of the signal.
TEST(OutputTest, InterruptedOutputLeavesNoTemporaryFile) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    const ScratchDirectory dir;
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t child = StartProgram(CORVANE_TOOL, ConvertTo(dir.Path("out")), pipeFds[0], -1, 2);
    close(pipeFds[0]);
    ASSERT_EQ(write(pipeFds[1], "abc", 3), 3);
    // The tool waits on the open pipe once its temporary file exists.
    for (int i = 0; i < 1000 && dir.Names().empty(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(dir.Names().size(), 1u);
    EXPECT_EQ(dir.Names()[0].rfind("out.corvane-", 0), 0u);
    kill(child, signal);
    int died = 0;
    EXPECT_EQ(WaitForProgram(child, &died), -1);
    close(pipeFds[1]);
    EXPECT_EQ(died, signal);
    EXPECT_EQ(dir.Names(), Args{});
  }
}

}  // namespace
}  // namespace corvane_cli_test
