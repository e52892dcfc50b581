#include "client/hub_row_text.h"

#include <cstdio>

namespace korvex::client {

namespace {

constexpr std::uint32_t kDeviceConnected = 1;  // USB_CONNECTION_STATUS DeviceConnected

std::u16string ascii(const char* text) {
  std::u16string s;
  for (; *text; ++text) s += static_cast<char16_t>(*text);
  return s;
}

}  // namespace

bool hubPowerIsOn(std::uint8_t controllerStatus) {
  return (controllerStatus & 0x03) != 0;
}

bool deviceIsConnected(const HubDeviceInfo& info) {
  return info.ConnectionStatus == kDeviceConnected;
}

HubRowText hubRowText(int position, const HubDeviceInfo& info) {
  HubRowText row;
  row.number = ascii(std::to_string(position).c_str());
  row.serial = recordText(info.controllerSerial);
  row.power = hubPowerIsOn(info.status) ? u"ON" : u"OFF";
  if (deviceIsConnected(info)) {
    row.deviceStatus = info.CurrentConfigurationValue != 0 ? u"DeviceConnected" : u"BadCondition";
    row.vid = identifierText(info.idVendor);
    row.pid = identifierText(info.idProduct);
    row.product = recordText(info.product);
  } else {
    row.deviceStatus = u"NoDeviceConnected";
  }
  return row;
}

std::u16string identifierText(std::uint16_t value) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%04X", value);
  return ascii(text);
}

}  // namespace korvex::client
