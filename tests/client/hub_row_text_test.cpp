// A hub record as the cells of its row in the hub list.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "client/hub_row_text.h"

namespace korvex::client {
namespace {

struct Record {
  std::uint8_t status;
  std::uint32_t connection;
  std::uint8_t configuration;
};

HubDeviceInfo hub(const Record& r) {
  HubDeviceInfo info{};
  info.status = r.status;
  info.ConnectionStatus = r.connection;
  info.CurrentConfigurationValue = r.configuration;
  info.idVendor = 0x4E21;
  info.idProduct = 0x00AF;
  std::copy_n(u"0000000A", 8, info.controllerSerial);
  std::copy_n(u"Disk", 4, info.product);
  return info;
}

TEST(HubRowText, CellsFollowPowerAndPort) {
  using Cells = std::vector<std::u16string>;
  const std::pair<Record, Cells> cases[] = {
      {{0x01, 1, 1}, {u"3", u"0000000A", u"ON", u"DeviceConnected", u"0x4E21", u"0x00AF", u"Disk"}},
      {{0x02, 1, 0}, {u"3", u"0000000A", u"ON", u"BadCondition", u"0x4E21", u"0x00AF", u"Disk"}},
      // Power is either of the two lowest status bits; no device, no identifiers.
      {{0xFC, 0, 1}, {u"3", u"0000000A", u"OFF", u"NoDeviceConnected", u"", u"", u""}},
      {{0x03, 2, 1}, {u"3", u"0000000A", u"ON", u"NoDeviceConnected", u"", u"", u""}},
  };
  for (const auto& [record, cells] : cases) {
    const HubRowText r = hubRowText(3, hub(record));
    EXPECT_EQ((Cells{r.number, r.serial, r.power, r.deviceStatus, r.vid, r.pid, r.product}), cells);
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
