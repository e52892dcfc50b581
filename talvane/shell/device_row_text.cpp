#include "device_row_text.h"

#include <cstdio>

#include "talvane/shell/row_menu_state.h"

namespace talvane {

namespace {

std::u16string ascii(const char* text) {
  std::u16string s;
  for (; *text; ++text) s += static_cast<char16_t>(*text);
  return s;
}

// A field's text up to its NUL, never past the field.
template <std::size_t N>
std::u16string field(const KORVEX_CHAR (&units)[N]) {
  std::u16string s;
  for (std::size_t i = 0; i < N && units[i] != 0; ++i) s += static_cast<char16_t>(units[i]);
  return s;
}

}  // namespace

DeviceRowText deviceRowText(int position, const HubDeviceInfo& info) {
  DeviceRowText row;
  row.number = ascii(std::to_string(position).c_str());
  row.serial = field(info.controllerSerial);
  row.power = hubPowerIsOn(info.status) ? u"ON" : u"OFF";
  if (deviceIsConnected(info)) {
    row.deviceStatus = info.CurrentConfigurationValue != 0 ? u"DeviceConnected" : u"BadCondition";
    row.vid = identifierText(info.idVendor);
    row.pid = identifierText(info.idProduct);
    row.product = field(info.product);
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

}  // namespace talvane
