// The table of hubs that carry the controller, as the last scan found them:
// per hub the controller status byte, the controller's port record (port 2)
// and the downstream device's port record (port 1).
#pragma once

#include <korvex.h>

#include <array>
#include <cstdint>

namespace korvex::topology {

inline constexpr std::size_t kStringUnits = KORVEX_STRING_UNITS;
inline constexpr std::size_t kTableCapacity = 32;

enum ConnectionStatus : std::uint32_t {
  NoDeviceConnected = 0,
  DeviceConnected = 1,
  DeviceFailedEnumeration = 2,
  DeviceGeneralFailure = 3,
  DeviceCausedOvercurrent = 4,
  DeviceNotEnoughPower = 5,
};

struct PortRecord {
  std::uint8_t bDeviceClass = 0;
  std::uint8_t bDeviceSubClass = 0;
  std::uint16_t idVendor = 0;
  std::uint16_t idProduct = 0;
  std::uint16_t bcdDevice = 0;
  std::uint8_t CurrentConfigurationValue = 0;
  std::uint8_t Speed = 0;
  std::array<char16_t, kStringUnits> serial{};
  std::array<char16_t, kStringUnits> product{};
  std::uint32_t ConnectionStatus = 0;
};

struct DeviceInfoTable {
  std::uint8_t count = 0;
  std::uint8_t cursor = 0;
  std::array<std::uint8_t, kTableCapacity> status{};
  std::array<PortRecord, kTableCapacity> controllers{};
  std::array<PortRecord, kTableCapacity> downstream{};

  // The first entry whose controller serial equals serial, or -1.
  int find(const char16_t* serial) const;
  // Fills record from entry i (i < count): status, controller serial and
  // the downstream device's fields.
  void fill(std::size_t i, HubDeviceInfo& record) const;
};

}  // namespace korvex::topology
