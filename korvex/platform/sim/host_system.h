// What the simulated platform takes from the real machine: the local time,
// the folder of the running executable and the world file chosen for it.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "korvex/platform/platform.h"

namespace korvex::sim {

platform::LocalTime realLocalTime();

// The folder of the running executable with a trailing separator; empty
// when it cannot be determined.
std::u16string realExecutableFolder();

// The world file a process over the simulator is bound to: the file named by
// KORVEX_SIM_WORLD when it is set, else "world.json" beside the executable
// when there is one; nullopt for neither.
std::optional<std::filesystem::path> systemWorldFile();

}  // namespace korvex::sim
