// What the simulated platform takes from the real machine: the local time
// and the folder of the running executable.
#pragma once

#include <string>

#include "korvex/platform/platform.h"

namespace korvex::sim {

platform::LocalTime realLocalTime();

// The folder of the running executable with a trailing separator; empty
// when it cannot be determined.
std::u16string realExecutableFolder();

}  // namespace korvex::sim
