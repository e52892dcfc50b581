// The texts of one row of the hub list, as the main dialog shows them.
#pragma once

#include <korvex.h>

#include <cstdint>
#include <string>

namespace talvane {

struct DeviceRowText {
  std::u16string number;        // "No": position from 1
  std::u16string serial;        // "PIC Serial"
  std::u16string power;         // "HUB Power": "ON" / "OFF"
  std::u16string deviceStatus;  // "DeviceConnected" / "BadCondition" / "NoDeviceConnected"
  std::u16string vid;           // "0x%04X" while a device is connected, else empty
  std::u16string pid;
  std::u16string product;
};

DeviceRowText deviceRowText(int position, const HubDeviceInfo& info);

// A vendor or product identifier as the lists show it: "0x%04X".
std::u16string identifierText(std::uint16_t value);

}  // namespace talvane
