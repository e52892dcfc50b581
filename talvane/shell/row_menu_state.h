// Which items of a hub row's context menu are enabled, and the two facts
// about a hub record that the row's texts and its menu share.
#pragma once

#include <korvex.h>

#include <cstdint>

namespace talvane {

// The hub's port power is on when either of the two lowest bits of the
// controller status byte is set.
bool hubPowerIsOn(std::uint8_t controllerStatus);

// A device is on the hub's port (ConnectionStatus DeviceConnected), whether
// or not it got configured.
bool deviceIsConnected(const HubDeviceInfo& info);

struct RowMenuState {
  bool powerOnEnabled;   // "HUB Power ON"
  bool powerOffEnabled;  // "HUB Power Off"
  bool addEnabled;       // "ADD Auto Recovery List"
};

// A record that failed to load is all zero: power off, nothing connected.
RowMenuState rowMenuState(const HubDeviceInfo& info, bool alreadyOnRecoveryList);

}  // namespace talvane
