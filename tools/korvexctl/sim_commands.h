// korvexctl sim ...: changes the simulated world file as a person at the
// machine would change the real one: unplug a hub's device, plug it back,
// make it hang unconfigured, or swap it for another. A simulator tool: it
// edits the world directly instead of going through the library.
#pragma once

#include <string>
#include <vector>

#include "result.h"

namespace korvexctl {

// args: unplug|plug|hang|swap, the controller serial, and for swap (or plug
// of a new device) --vid V and --pid P.
Result runSim(const std::vector<std::string>& args);

}  // namespace korvexctl
