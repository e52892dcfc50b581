#include "talvane/shell/row_menu_state.h"

namespace talvane {

namespace {

constexpr std::uint32_t kDeviceConnected = 1;  // USB_CONNECTION_STATUS DeviceConnected

}  // namespace

bool hubPowerIsOn(std::uint8_t controllerStatus) {
  return (controllerStatus & 0x03) != 0;
}

bool deviceIsConnected(const HubDeviceInfo& info) {
  return info.ConnectionStatus == kDeviceConnected;
}

RowMenuState rowMenuState(const HubDeviceInfo& info, bool alreadyOnRecoveryList) {
  const bool powerOn = hubPowerIsOn(info.status);
  return {.powerOnEnabled = !powerOn,
          .powerOffEnabled = powerOn,
          .addEnabled = !alreadyOnRecoveryList && deviceIsConnected(info)};
}

}  // namespace talvane
