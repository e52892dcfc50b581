// The command line:
// korvexctl [--world FILE] [--state-dir DIR] [--json] COMMAND SERIAL [ARGS]
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace korvexctl {

struct Invocation {
  std::optional<std::string> world;
  std::optional<std::string> stateDir;  // where the library keeps its files
  bool json = false;
  std::string command;            // "status", "power", "rtc", ...
  std::vector<std::string> args;  // everything after the command, serial first
};

struct UsageError {
  std::string message;
};

std::variant<Invocation, UsageError> parseInvocation(const std::vector<std::string>& argv);

// Removes "--watch N" from a list command's arguments: 0 when absent, the
// seconds when valid, nullopt when malformed or given to another command.
std::optional<unsigned> takeWatchInterval(Invocation& inv);

extern const char* const kUsage;

}  // namespace korvexctl
