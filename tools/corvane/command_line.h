// What every command of the corvane tool shares: exit statuses, messages, the reading of
// options and of charset arguments.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane_tool {

// The exit statuses of every command.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // a conversion problem, an unreadable or unwritable file
inline constexpr int kExitUsage = 2;    // a bad command line: unknown option or charset, ...

// Prints "corvane: MESSAGE" on standard error.
void PrintError(const std::string& message);

// Prints "corvane: MESSAGE" and the hint to the command's --help; returns kExitUsage.
int UsageError(std::string_view command, const std::string& message);

// A code page argument of the commands that show the C interface (names, length): a decimal
// number, or a charset name of its name table (CV_CodePageNameToID).
std::optional<std::uint32_t> ParseCodePage(std::string_view text);

// A decimal number that fits in 32 bits; nothing else (no sign, no blanks, no hex).
std::optional<std::uint32_t> ParseNumber(std::string_view text);

// The options and operands of one command, read from argv after the command name. Options with
// a value are given as "-f VALUE", "-fVALUE", "--from VALUE" or "--from=VALUE"; "--" ends the
// options; "-" alone is an operand (standard input).
class OptionReader {
 public:
  struct Option {
    char shortName;         // 0 when there is none
    std::string_view name;  // the long name, without "--"
    bool takesValue;
  };

  OptionReader(std::string_view command, std::vector<Option> options);

  // Reads argv[first..argc). On a bad option prints the message and returns false.
  bool Read(int argc, char** argv, int first);

  bool Has(std::string_view name) const;
  const std::string* Value(std::string_view name) const;  // the last value given, or null
  const std::vector<std::string>& Operands() const { return operands_; }

 private:
  const Option* FindShort(char c) const;
  const Option* FindLong(std::string_view name) const;

  std::string_view command_;
  std::vector<Option> options_;
  std::vector<std::pair<std::string, std::string>> given_;  // long name, value
  std::vector<std::string> operands_;
};

}  // namespace corvane_tool
