// The commands of the corvane tool. Each takes the whole argv and the index of its first
// argument after the command name, and returns the exit status.
#pragma once

namespace corvane_tool {

int RunConvert(int argc, char** argv, int first);
int RunDetect(int argc, char** argv, int first);
int RunList(int argc, char** argv, int first);
int RunNames(int argc, char** argv, int first);
int RunLength(int argc, char** argv, int first);

}  // namespace corvane_tool
