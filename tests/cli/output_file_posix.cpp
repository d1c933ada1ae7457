// corvane convert -o on POSIX: what happens to the thing at the output path (a device, a pipe, a
// descriptor's name, a symbolic link, a file with its own mode and owner, a file the user may not
// write) and to the temporary file when the tool is interrupted.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <chrono>
#include <climits>
#include <thread>
#include <tuple>

#include "tool_runner.h"

namespace corvane_cli_test {
namespace {

constexpr uid_t kNobody = 65534;
const Bytes kLatin1 = "caf\xe9\n", kUtf8 = "caf\xc3\xa9\n";

Args ConvertTo(const std::string& out, const std::string& in = "-") {
  return {"convert", "-f", "latin1", "-t", "utf-8", "-o", out, in};
}

// Runs corvane to the end with standard input empty and standard error appended to errPath, as
// nobody when asked; returns the status and what errPath then holds.
std::pair<int, std::string> RunAppendingErrors(const Args& args, const std::string& errPath,
                                               bool asNobody = false) {
  const int in = open("/dev/null", O_RDONLY);
  const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0666);
  const int status = WaitForProgram(StartProgram(args, in, 1, err, 0, asNobody));
  close(in);
  close(err);
  return {status, ReadFile(errPath)};
}

struct stat Stat(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(lstat(path.c_str(), &info), 0) << path;
  return info;
}

// Anything but a regular file is written to, never replaced: a device; a pipe, whose reader gets
// the text; the name of a descriptor the tool holds (/dev/fd/N, or a link to /proc/self/fd/N as
// /dev/stdout is), through that descriptor, so that an appending one appends. The null device is
// one of the test's own where it may make one, else the system's when it cannot touch the
// system's (not root, so no rename can replace it).
TEST(OutputTest, DevicesPipesAndDescriptorsAreWrittenThrough) {
  const ScratchDirectory dir;
  const std::string input = dir.Write("input", kLatin1), fifo = dir.Path("fifo");
  const bool own = mknod(dir.Path("null").c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
  ASSERT_TRUE(own || access("/dev", W_OK) != 0) << "no null device to write to";
  const std::string device = own ? dir.Path("null") : "/dev/null";
  EXPECT_EQ(RunTool(ConvertTo(device, input)).status, 0);
  EXPECT_TRUE(S_ISCHR(Stat(device).st_mode));

  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  // Opened without waiting for a writer, so that the tool's open does not wait for a reader.
  const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
  EXPECT_EQ(RunTool(ConvertTo(fifo, input)).status, 0);
  char text[64] = {};
  EXPECT_GT(read(reader, text, sizeof text - 1), 0);
  close(reader);
  EXPECT_EQ(text, kUtf8);
  EXPECT_TRUE(S_ISFIFO(Stat(fifo).st_mode));

  ASSERT_EQ(symlink("/proc/self/fd/2", dir.Path("stderr").c_str()), 0);
  for (const std::string& name : {std::string("/dev/fd/2"), dir.Path("stderr")}) {
    const std::string log = dir.Write("log", "before\n");
    EXPECT_EQ(RunAppendingErrors(ConvertTo(name, input), log),
              std::make_pair(0, "before\n" + kUtf8))
        << name;
  }
  EXPECT_TRUE(S_ISLNK(Stat(dir.Path("stderr")).st_mode));
}

// The text lands in the file the path leads to: a symbolic link stays and the file it leads to
// (made when missing) gets the text, a relative link read from the link's directory, not the
// tool's. A replaced file keeps its permissions and, where the tool may give it, its owner; a new
// one gets what the umask leaves. A name as long as the file system takes leaves no room for the
// temporary's suffix and is written all the same.
TEST(OutputTest, LinksAreFollowedAndReplacedFilesKeepModeAndOwner) {
  const bool root = geteuid() == 0;
  const mode_t umask = ::umask(0);
  ::umask(umask);
  const ScratchDirectory dir;
  ASSERT_EQ(mkdir(dir.Path("sub").c_str(), 0755), 0);
  const std::string input = dir.Write("input", kLatin1), longest(NAME_MAX, 'n');
  const struct {
    std::string path, link, target;  // link "": no link
    mode_t mode;                     // 0: no file before
  } rows[] = {
      {"file", "", "file", 0640},
      {"dangling", "missing", "missing", 0},
      {"sub/up", "../above", "above", 0755},
      {"link", "existing", "existing", 0604},
      {"chain", "link", "existing", 0600},
      {"absolute", dir.Path("existing"), "existing", root ? 0444u : 0664u},  // root may write it
      {longest, "", longest, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    const std::string target = dir.Path(row.target);
    if (row.mode != 0) {
      dir.Write(row.target, "old");
      ASSERT_EQ(chmod(target.c_str(), row.mode), 0);
      ASSERT_TRUE(!root || chown(target.c_str(), kNobody, kNobody) == 0);
    }
    ASSERT_TRUE(row.link.empty() || symlink(row.link.c_str(), dir.Path(row.path).c_str()) == 0);
    EXPECT_EQ(RunTool(ConvertTo(dir.Path(row.path), input)).status, 0);
    EXPECT_EQ(S_ISLNK(Stat(dir.Path(row.path)).st_mode) != 0, !row.link.empty());
    EXPECT_EQ(ReadFile(target), kUtf8);
    const struct stat info = Stat(target);
    EXPECT_EQ(info.st_mode & 07777, row.mode != 0 ? row.mode : 0666 & ~umask);
    EXPECT_TRUE(!root || row.mode == 0 || (info.st_uid == kNobody && info.st_gid == kNobody));
  }
}

// True unless this test runs as root in a tree the user nobody cannot reach (a clone in a 0700
// temporary directory, say), where the tool cannot be started as nobody at all.
bool NobodyCanRunTheTool() {
  const int null = open("/dev/null", O_RDWR);
  const bool runs = WaitForProgram(StartProgram({"--help"}, null, null, null, 0, true)) == 0;
  close(null);
  return runs;
}

// What the tool may not write is left as it is, with a one-line message: a loop of links, a
// descriptor open for reading only, a file the user may not write (though its directory would
// let a new file take its name; run as nobody when the test runs as root, so that permissions
// bind).
TEST(OutputTest, UnwritableOutputsAreRefused) {
  const ScratchDirectory dir;
  const std::string input = dir.Write("input", kLatin1), out = dir.Write("out", "keep me");
  ASSERT_EQ(symlink("loop", dir.Path("loop").c_str()), 0);
  ASSERT_EQ(chmod(dir.path.c_str(), 0777), 0);
  ASSERT_EQ(chmod(out.c_str(), 0444), 0);
  const bool asNobody = NobodyCanRunTheTool();
  const std::tuple<std::string, std::string, bool> rows[] = {
      {dir.Path("loop"), "Too many levels of symbolic links", false},
      {"/dev/fd/0", "Bad file descriptor", false},
      {out, "Permission denied", true},
  };
  for (const auto& [path, reason, needsNobody] : rows) {
    if (needsNobody && !asNobody) continue;
    const auto [status, err] =
        RunAppendingErrors(ConvertTo(path, input), dir.Path("err"), needsNobody);
    EXPECT_EQ(status, 1);
    EXPECT_NE(err.find("cannot write " + path + ": " + reason), std::string::npos) << err;
  }
  EXPECT_EQ(ReadFile(out), "keep me");
  EXPECT_EQ(dir.Names(), (Args{"err", "input", "loop", "out"}));
  if (!asNobody)
    GTEST_SKIP() << "the unwritable file: root writes it, and nobody cannot reach the tool here";
}

// Interrupted while its temporary file is open, the tool removes it and dies of the signal.
TEST(OutputTest, InterruptedOutputLeavesNoTemporaryFile) {
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    const ScratchDirectory dir;
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    const pid_t child = StartProgram(ConvertTo(dir.Path("out")), pipeFds[0], 1, 2);
    close(pipeFds[0]);
    // The tool waits on the open pipe once its temporary file exists.
    for (int i = 0; i < 1000 && dir.Names().empty(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(dir.Names().size(), 1u);
    EXPECT_TRUE(dir.Names()[0].starts_with("out.corvane-"));
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
