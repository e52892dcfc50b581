// Small builders for the simulated worlds the tests describe inline.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "korvex/platform/sim/sim_platform.h"

namespace korvex::testing {

// A controller that is a HID interface of its own (no hub around it).
// extra: further JSON members of the controller, e.g. R"("silent": true)".
std::string standaloneController(const std::string& serial, const std::string& extra = "");

// Another HID device: vendor and product identifiers and a serial.
std::string otherHidDevice(unsigned vendorId, unsigned productId, const std::string& serial,
                           const std::string& extra = "");

// A world holding only the given HID devices, in enumeration order.
std::string hidWorld(const std::vector<std::string>& devices);

// The world on a virtual clock starting at startTick.
std::unique_ptr<sim::SimPlatform> makeWorld(const std::string& json,
                                            std::uint32_t startTick = 1000);

}  // namespace korvex::testing
