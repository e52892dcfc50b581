// korvexctl recovery ...: the auto-recovery list, its settings and the
// watchdog, through the library's exported functions only.
#pragma once

#include <string>
#include <vector>

#include "result.h"

namespace korvexctl {

// args: the subcommand (list, add, remove, settings, start, stop, status,
// log) and its arguments.
Result runRecovery(const std::vector<std::string>& args);

// The watchdog's check interval (seconds) and power-off time (checks).
struct Settings {
  unsigned interval = 0;
  unsigned offTime = 0;
};

// The settings as the library holds them now.
Settings currentSettings();

// "interval N s, off time M checks" ("check" for one).
std::string settingsText(const Settings& s);

}  // namespace korvexctl
