// The hub row's context menu, and the power rule it shares with the row's text.
#include <gtest/gtest.h>

#include "talvane/shell/device_row_text.h"
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

TEST(HubPower, EitherOfTheTwoLowestBits) {
  EXPECT_FALSE(hubPowerIsOn(0x00));
  EXPECT_TRUE(hubPowerIsOn(0x01));
  EXPECT_TRUE(hubPowerIsOn(0x02));
  EXPECT_TRUE(hubPowerIsOn(0x03));
  EXPECT_FALSE(hubPowerIsOn(0xFC));
  // The row's text follows the same rule.
  EXPECT_EQ(deviceRowText(1, hub(0x02, 0, 0)).power, u"ON");
  EXPECT_EQ(deviceRowText(1, hub(0x04, 0, 0)).power, u"OFF");
}

TEST(RowMenu, PowerItemsOfferTheOtherState) {
  const RowMenuState on = rowMenuState(hub(0x01, 1, 1), false);
  EXPECT_FALSE(on.powerOnEnabled);
  EXPECT_TRUE(on.powerOffEnabled);
  const RowMenuState off = rowMenuState(hub(0x80, 1, 1), false);
  EXPECT_TRUE(off.powerOnEnabled);
  EXPECT_FALSE(off.powerOffEnabled);
}

TEST(RowMenu, AddNeedsAConnectedDeviceNotYetOnTheList) {
  EXPECT_TRUE(rowMenuState(hub(1, 1, 1), false).addEnabled);
  // An unconfigured device ("BadCondition") may be added too.
  EXPECT_TRUE(rowMenuState(hub(1, 1, 0), false).addEnabled);
  EXPECT_FALSE(rowMenuState(hub(1, 1, 1), true).addEnabled);
  for (const std::uint32_t other : {0u, 2u, 3u, 6u}) {
    EXPECT_FALSE(rowMenuState(hub(1, other, 1), false).addEnabled) << other;
  }
}

TEST(RowMenu, AFailedLookupOffersOnlyPowerOn) {
  const RowMenuState s = rowMenuState(HubDeviceInfo{}, false);
  EXPECT_TRUE(s.powerOnEnabled);
  EXPECT_FALSE(s.powerOffEnabled);
  EXPECT_FALSE(s.addEnabled);
}

}  // namespace
}  // namespace talvane
