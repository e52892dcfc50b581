// Which items of a hub row's context menu are enabled.
#pragma once

#include <korvex.h>

namespace talvane {

struct RowMenuState {
  bool powerOnEnabled;   // "HUB Power ON"
  bool powerOffEnabled;  // "HUB Power Off"
  bool addEnabled;       // "ADD Auto Recovery List"
};

// A record that failed to load is all zero: power off, nothing connected.
RowMenuState rowMenuState(const HubDeviceInfo& info, bool alreadyOnRecoveryList);

}  // namespace talvane
