// What a korvexctl command hands back: an exit code, JSON for scripts and
// text for a person.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <utility>

namespace korvexctl {

enum ExitCode : int {
  kDone = 0,
  kFailed = 1,
  kBadArgument = 2,
  kNoSuchController = 3,
  kNoReply = 4,
  kListRefused = 5,   // recovery add: already listed; recovery remove: not listed
  kPowerLeftOff = 6,  // cycle: switched off, but not on again
};

struct Result {
  int exitCode = kDone;
  nlohmann::json json;  // always has "ok"; on failure "error" and "message"
  std::string text;     // what a person reads (stdout on success, stderr on failure)
};

inline Result fail(int code, const std::string& error, const std::string& message) {
  return {code, {{"ok", false}, {"error", error}, {"message", message}}, message};
}

inline Result badArgument(const std::string& message) {
  return fail(kBadArgument, "bad-argument", message);
}

inline Result done(nlohmann::json json, std::string text) {
  json["ok"] = true;
  return {kDone, std::move(json), std::move(text)};
}

}  // namespace korvexctl
