// corvane: converts files between character sets with the Corvane library, guesses the
// encoding of Japanese text, lists the code pages and charset names, and measures encoded
// text. It uses only the library's public header, as any program that links the library does.
#include <cstdio>
#include <string_view>

#include "command_line.h"
#include "commands.h"
#include "system_files.h"

namespace {

constexpr const char* kUsage =
    "usage: corvane COMMAND [ARGUMENTS]\n"
    "\n"
    "Commands:\n"
    "  convert -f FROM -t TO [-o OUT] [FILE...]  convert files or standard input\n"
    "  detect FILE...                            guess the Japanese encoding of each file\n"
    "  list                                      the encodings convert takes, with names\n"
    "  names CODEPAGE|NAME                       what the charset name table says\n"
    "  length -f CODEPAGE FILE...                characters and whole-character bytes\n"
    "\n"
    "'corvane COMMAND --help' describes a command. Exit status: 0 success, 1 a failed\n"
    "strict conversion or a file that cannot be read or written, 2 a usage error.\n";

}  // namespace

int main(int argc, char** argv) {
  using namespace corvane_tool;
  system_files::UseBinaryStandardStreams();
  if (argc < 2) {
    std::fputs(kUsage, stderr);
    return kExitUsage;
  }
  const std::string_view command = argv[1];
  if (command == "-h" || command == "--help" || command == "help") {
    std::fputs(kUsage, stdout);
    return kExitSuccess;
  }
  if (command == "convert") return RunConvert(argc, argv, 2);
  if (command == "detect") return RunDetect(argc, argv, 2);
  if (command == "list") return RunList(argc, argv, 2);
  if (command == "names") return RunNames(argc, argv, 2);
  if (command == "length") return RunLength(argc, argv, 2);
  return UsageError("", "unknown command '" + std::string(command) + "'");
}
