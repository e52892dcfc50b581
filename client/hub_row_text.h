// One hub record as text: the cells of a row of the hub list, as the
// program's main dialog and korvexctl's list show them, and the two facts
// about the record that the row and its menu share.
#pragma once

#include <korvex.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace korvex::client {

struct HubRowText {
  std::u16string number;        // "No": position from 1
  std::u16string serial;        // "PIC Serial"
  std::u16string power;         // "HUB Power": "ON" / "OFF"
  std::u16string deviceStatus;  // "DeviceConnected" / "BadCondition" / "NoDeviceConnected"
  std::u16string vid;           // "0x%04X" while a device is connected, else empty
  std::u16string pid;
  std::u16string product;
};

HubRowText hubRowText(int position, const HubDeviceInfo& info);

// A vendor or product identifier as the lists show it: "0x%04X".
std::u16string identifierText(std::uint16_t value);

// The hub's port power is on when either of the two lowest bits of the
// controller status byte is set.
bool hubPowerIsOn(std::uint8_t controllerStatus);

// A device is on the hub's port (ConnectionStatus DeviceConnected), whether
// or not it got configured.
bool deviceIsConnected(const HubDeviceInfo& info);

// A record's string field up to its NUL, never past the field.
template <std::size_t N>
std::u16string recordText(const KORVEX_CHAR (&units)[N]) {
  std::u16string s;
  for (std::size_t i = 0; i < N && units[i] != 0; ++i) s += static_cast<char16_t>(units[i]);
  return s;
}

}  // namespace korvex::client
