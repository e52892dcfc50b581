// korvexctl recovery ...: the auto-recovery list, its settings and the
// watchdog, through the library's exported functions only.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "result.h"

namespace korvexctl {

// args: the subcommand (list, add, remove, settings, start, stop, status,
// log) and its arguments.
Result runRecovery(const std::vector<std::string>& args);

// "1".."255", else nullopt.
std::optional<unsigned> parseSetting(const std::string& text);

}  // namespace korvexctl
