// What a hub's downstream port does when the controller switches its power.
#pragma once

#include "simulator/world.h"

namespace korvex::sim {

// Off takes the device away from the port and remembers it (nothing of its
// subtree is present any more); on brings it back as the port's afterPowerOn
// says: configured, connected but not configured, not at all, or as the
// port's "becomes" device. Switching to the state the port is already in
// changes nothing.
void followPower(Port& port, bool on);

}  // namespace korvex::sim
