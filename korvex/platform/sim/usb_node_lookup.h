// Where a USB node path leads in the world: a host controller or a hub, and
// the ports and devices behind a hub as the hub driver reports them.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "korvex/platform/sim/sim_world.h"

namespace korvex::sim {

struct UsbNode {
  enum class Kind { HostController, Hub };
  Kind kind = Kind::HostController;
  HostController* hostController = nullptr;  // the controller, or the one whose tree holds the hub
  Hub* hub = nullptr;                        // the hub; a host controller's root hub
};

// What "\\.\HCD<n>", a host controller's interface path, or "\\.\" + a hub
// name opens, tried in that order. Only present hubs are found.
std::optional<UsbNode> findUsbNode(World& world, std::u16string_view path);

// One port of a hub as its driver sees it.
struct PortView {
  const Device* device = nullptr;  // null: nothing present (or its power is off)
  std::uint16_t address = 0;       // the device's bus address; 0 for an empty port
};

// Port connectionIndex (1-based) of hub, which sits in root's tree. nullopt
// when the hub has no such port (0 or beyond bNumberOfPorts); ports that
// bNumberOfPorts counts beyond the listed ones are empty.
std::optional<PortView> portOf(const Hub& root, const Hub& hub, std::uint32_t connectionIndex);

}  // namespace korvex::sim
