// A hub record as the cells of its row in the hub list.
#include <gtest/gtest.h>

#include <algorithm>

#include "client/hub_row_text.h"

namespace korvex::client {
namespace {

TEST(HubRowText, CellsFollowPowerAndPort) {
  // status, ConnectionStatus, CurrentConfigurationValue -> the cells.
  const std::pair<std::array<unsigned, 3>, std::u16string> cases[] = {
      {{0x01, 1, 1}, u"3|0000000A|ON|DeviceConnected|0x4E21|0x00AF|Disk"},
      {{0x02, 1, 0}, u"3|0000000A|ON|BadCondition|0x4E21|0x00AF|Disk"},
      // Power is either of the two lowest status bits; no device, no identifiers.
      {{0xFC, 0, 1}, u"3|0000000A|OFF|NoDeviceConnected|||"},
      {{0x03, 2, 1}, u"3|0000000A|ON|NoDeviceConnected|||"},
  };
  for (const auto& [record, cells] : cases) {
    HubDeviceInfo info{};
    info.status = static_cast<std::uint8_t>(record[0]);
    info.ConnectionStatus = record[1];
    info.CurrentConfigurationValue = static_cast<std::uint8_t>(record[2]);
    info.idVendor = 0x4E21;
    info.idProduct = 0x00AF;
    std::copy_n(u"0000000A", 8, info.controllerSerial);
    std::copy_n(u"Disk", 4, info.product);
    const HubRowText r = hubRowText(3, info);
    EXPECT_EQ(r.number + u"|" + r.serial + u"|" + r.power + u"|" + r.deviceStatus + u"|" + r.vid +
                  u"|" + r.pid + u"|" + r.product,
              cells);
  }
}

TEST(HubRowText, StringFieldsEndAtTheirNulOrTheirEnd) {
  HubDeviceInfo info{};
  std::fill(std::begin(info.product), std::end(info.product), u'p');
  EXPECT_EQ(recordText(info.product), std::u16string(KORVEX_STRING_UNITS, u'p'));
  EXPECT_EQ(recordText(info.controllerSerial), u"");
}

}  // namespace
}  // namespace korvex::client
