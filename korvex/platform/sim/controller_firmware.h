// The hub controller's firmware: what it does with one request report and
// what it answers. A pure function over the controller's state, so hostile
// requests can be tried without any platform around it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "korvex/platform/sim/sim_world.h"

namespace korvex::sim {

inline constexpr std::size_t kReportBytes = 65;
using Report = std::array<std::uint8_t, kReportBytes>;

struct FirmwareOutcome {
  Report reply{};
  bool stateChanged = false;        // the state must be saved
  std::optional<bool> switchPower;  // the downstream port must follow this power state
};

// Carries out the request (byte 1 command, bytes 2 and 3 arguments, data
// from byte 9) on the state. Reads and writes stay within the registers, the
// FRAM and the report whatever the request asks for.
FirmwareOutcome runRequest(ControllerState& state, const Report& request,
                           std::optional<std::uint8_t> statusReply);

}  // namespace korvex::sim
