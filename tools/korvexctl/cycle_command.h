// korvexctl cycle SERIAL [--off SECONDS]: the hub's power off, a wait, and
// on again, in one command.
#pragma once

#include <string>
#include <vector>

#include "result.h"

namespace korvexctl {

inline constexpr unsigned kDefaultCycleOffSeconds = 5;

// A failed switch-off ends the command with the reason's code (power
// untouched); a failed switch-on after it with kPowerLeftOff. Ctrl-C or
// SIGTERM during the wait cuts it short: the power is switched on all the
// same, so that an interrupted cycle never leaves the hub off.
Result runCycle(const std::string& serial, const std::vector<std::string>& args);

}  // namespace korvexctl
