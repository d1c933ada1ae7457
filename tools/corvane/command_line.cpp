#include "command_line.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "corvane.h"
#include "files.h"

namespace corvane_tool {

void PrintError(const std::string& message) {
  ClearProgressLine();
  std::fprintf(stderr, "corvane: %s\n", message.c_str());
}

int UsageError(std::string_view command, const std::string& message) {
  PrintError(message);
  std::fprintf(stderr, "Try 'corvane %.*s--help' for more information.\n",
               static_cast<int>(command.size()), command.data());
  return kExitUsage;
}

std::optional<std::uint32_t> ParseNumber(std::string_view text) {
  if (text.empty() || text.size() > 10) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  if (value > 0xFFFFFFFFu) return std::nullopt;
  return static_cast<std::uint32_t>(value);
}

std::optional<std::uint32_t> ParseCodePage(std::string_view text) {
  if (const auto number = ParseNumber(text)) return number;
  // The name table holds no name for 0, so 0 means "unknown" here.
  const std::string name(text);
  const std::uint32_t codePage = CV_CodePageNameToID(name.c_str());
  if (codePage == 0) return std::nullopt;
  return codePage;
}

OptionReader::OptionReader(std::string_view command, std::vector<Option> options)
    : command_(command), options_(std::move(options)) {}

const OptionReader::Option* OptionReader::FindShort(char c) const {
  for (const Option& option : options_)
    if (option.shortName != 0 && option.shortName == c) return &option;
  return nullptr;
}

const OptionReader::Option* OptionReader::FindLong(std::string_view name) const {
  for (const Option& option : options_)
    if (option.name == name) return &option;
  return nullptr;
}

bool OptionReader::Read(int argc, char** argv, int first) {
  const std::string prefix = std::string(command_) + " ";
  bool optionsEnded = false;
  for (int i = first; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
      operands_.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    const Option* option = nullptr;
    std::optional<std::string> value;
    if (arg.starts_with("--")) {
      const std::string_view body = arg.substr(2);
      const std::size_t equals = body.find('=');
      option = FindLong(body.substr(0, equals));
      if (option == nullptr) {
        UsageError(prefix, "unknown option '" + std::string(arg) + "'");
        return false;
      }
      if (equals != std::string_view::npos) {
        if (!option->takesValue) {
          UsageError(prefix, "option '--" + std::string(option->name) + "' takes no value");
          return false;
        }
        value = std::string(body.substr(equals + 1));
      }
    } else {
      option = FindShort(arg[1]);
      if (option == nullptr) {
        UsageError(prefix, "unknown option '" + std::string(arg) + "'");
        return false;
      }
      if (arg.size() > 2) {
        if (!option->takesValue) {
          UsageError(prefix, "unknown option '" + std::string(arg) + "'");
          return false;
        }
        value = std::string(arg.substr(2));
      }
    }
    if (option->takesValue && !value) {
      if (i + 1 >= argc) {
        UsageError(prefix, "option '" + std::string(arg) + "' needs a value");
        return false;
      }
      value = argv[++i];
    }
    given_.emplace_back(std::string(option->name), value.value_or(""));
  }
  return true;
}

bool OptionReader::Has(std::string_view name) const {
  return std::any_of(given_.begin(), given_.end(), [&](const auto& g) { return g.first == name; });
}

const std::string* OptionReader::Value(std::string_view name) const {
  const std::string* found = nullptr;
  for (const auto& g : given_)
    if (g.first == name) found = &g.second;
  return found;
}

}  // namespace corvane_tool
