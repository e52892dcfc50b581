// korvexctl watch [--seconds N]: keeps the library loaded, and with it the
// watchdog, printing each line the watchdog appends to the log and each
// change of a hub's power or device that a scan once a second shows.
// Auto recovery that is off is switched on for the watch and off again at
// its end. Ends after N seconds, or on SIGINT or SIGTERM; the library's
// unload then stops the watchdog and saves the store as at any exit.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "result.h"

namespace korvexctl {

// Prints the events to out as they come (one JSON object per line with
// json); the result sums the watch up.
Result runWatch(const std::vector<std::string>& args, bool json, std::ostream& out);

}  // namespace korvexctl
