// The world file format (docs/world-file.md): JSON text to World and back.
#pragma once

#include <string>
#include <string_view>

#include "korvex/platform/sim/sim_world.h"

namespace korvex::sim {

// Parses and completes a world (completeWorld). Throws std::runtime_error
// naming the offending place when the text is not valid JSON or not a valid
// world.
World worldFromJson(std::string_view text);

// The whole world, state included, in the same format. Reading the result
// back gives an equal world.
std::string worldToJson(const World& world);

}  // namespace korvex::sim
