// The hub controller's firmware: what it does with one request report and
// what it answers. A pure function over the controller's state, so hostile
// requests can be tried without a simulator around it. The protocol is
// korvex/seam/controller_protocol.h.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "korvex/seam/controller_protocol.h"
#include "simulator/world.h"

namespace korvex::sim {

using Report = std::array<std::uint8_t, protocol::kReportSize>;

struct FirmwareOutcome {
  Report reply{};
  bool stateChanged = false;        // the state must be saved
  std::optional<bool> switchPower;  // the downstream port must follow this power state
};

// Carries out the request (the command, its two arguments and its data) on
// the state. Reads and writes stay within the registers, the
// FRAM and the report whatever the request asks for.
FirmwareOutcome runRequest(ControllerState& state, const Report& request,
                           std::optional<std::uint8_t> statusReply);

}  // namespace korvex::sim
