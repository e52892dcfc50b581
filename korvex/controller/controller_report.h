// One request or reply report of the controller's protocol
// (korvex/seam/controller_protocol.h).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "korvex/seam/controller_protocol.h"

namespace korvex::controller {

// Byte 0 report ID, byte 1 command (or the reply value), bytes 2 and 3
// arguments, bytes 9..40 data. Bytes the protocol gives no meaning are 0.
struct ControllerReport {
  std::array<std::uint8_t, protocol::kReportSize> bytes{};

  static ControllerReport request(protocol::Command command, std::uint8_t first = 0,
                                  std::uint8_t second = 0, std::span<const std::uint8_t> data = {});
};
static_assert(sizeof(ControllerReport) == protocol::kReportSize);

}  // namespace korvex::controller
