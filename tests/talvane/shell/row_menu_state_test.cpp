// The hub row's context menu.
#include <gtest/gtest.h>

#include "talvane/shell/row_menu_state.h"

namespace talvane {
namespace {

HubDeviceInfo hub(std::uint8_t status, std::uint32_t connection, std::uint8_t configuration) {
  HubDeviceInfo info{};
  info.status = status;
  info.ConnectionStatus = connection;
  info.CurrentConfigurationValue = configuration;
  return info;
}

TEST(RowMenu, PowerItemsOfferTheOtherState) {
  for (const std::uint8_t status : std::initializer_list<std::uint8_t>{0x01, 0x02, 0x03, 0xFF}) {
    const RowMenuState s = rowMenuState(hub(status, 1, 1), false);
    EXPECT_TRUE(!s.powerOnEnabled && s.powerOffEnabled) << int{status};
  }
  const RowMenuState off = rowMenuState(hub(0xFC, 1, 1), false);
  EXPECT_TRUE(off.powerOnEnabled && !off.powerOffEnabled);
}

TEST(RowMenu, AddNeedsAConnectedDeviceNotYetOnTheList) {
  EXPECT_TRUE(rowMenuState(hub(1, 1, 1), false).addEnabled);
  EXPECT_TRUE(rowMenuState(hub(1, 1, 0), false).addEnabled);  // unconfigured counts
  EXPECT_FALSE(rowMenuState(hub(1, 1, 1), true).addEnabled);
  EXPECT_FALSE(rowMenuState(hub(1, 2, 1), false).addEnabled);
  // A failed lookup leaves an all-zero record: only "HUB Power ON" is offered.
  const RowMenuState zero = rowMenuState(HubDeviceInfo{}, false);
  EXPECT_TRUE(zero.powerOnEnabled && !zero.powerOffEnabled && !zero.addEnabled);
}

}  // namespace
}  // namespace talvane
