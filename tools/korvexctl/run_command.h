// Runs one korvexctl command through the library's exported functions.
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "invocation.h"

namespace korvexctl {

enum ExitCode : int {
  kDone = 0,
  kFailed = 1,
  kBadArgument = 2,
  kNoSuchController = 3,
  kNoReply = 4,
};

struct Result {
  int exitCode = kDone;
  nlohmann::json json;  // always has "ok"; on failure "error" and "message"
  std::string text;     // what a person reads (stdout on success, stderr on failure)
};

Result runCommand(const Invocation& inv);

}  // namespace korvexctl
