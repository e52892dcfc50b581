// A program linked against korvex.dll through its import library, as the
// application is: every controller command and device query must resolve at
// link time under the public header's declarations, and answer for hubs
// that are not there (wine offers no USB host controller).
#include <gtest/gtest.h>
#include <korvex.h>

#include <array>
#include <cstdint>
#include <cstring>

#include "../support/hub_device_info_view.h"

namespace {

using korvex::hub_info::allZero;

TEST(LinkExports, CommandsResolveAndFailWithoutAController) {
  const KORVEX_CHAR* const serial = L"KVX-ABSENT-0002";
  std::uint8_t byte = 0xA5;
  std::array<std::uint8_t, 8> data{};
  EXPECT_EQ(Hub_GetStatus(serial, &byte), 0);
  EXPECT_EQ(Hub_SetStatus(serial, 1u), 0);
  EXPECT_EQ(Hub_SetReset(serial, 0u), 0);
  EXPECT_EQ(Hub_GetFault(serial, &byte), 0);
  EXPECT_EQ(Hub_SetPICWrite(serial), 0);
  EXPECT_EQ(Hub_GetRTC(serial, data.data()), 0);
  EXPECT_EQ(Hub_SetRTC(serial, data.data()), 0);
  EXPECT_EQ(Hub_ReadFram(serial, 0u, 8u, data.data()), 0);
  EXPECT_EQ(Hub_WriteFram(serial, 0u, 8u, data.data()), 0);
  EXPECT_EQ(Hub_WriteUSBSerial(serial, data.data()), 0);
  EXPECT_EQ(byte, 0xA5);
}

// Every query clears all 1552 bytes of the caller's record, also when it
// fails, as each does on a machine without a hub.
TEST(LinkExports, DeviceQueriesOnAnEmptyMachineClearTheRecord) {
  static_assert(sizeof(HubDeviceInfo) == 1552);
  HubDeviceInfo info;
  const auto dirty = [&] { std::memset(&info, 0xAB, sizeof info); };
  dirty();
  EXPECT_EQ(Hub_GetDeviceInfo(&info), 0);
  EXPECT_TRUE(allZero(info));
  dirty();
  EXPECT_EQ(Hub_GetNextDeviceInfo(&info), 0);
  EXPECT_TRUE(allZero(info));
  dirty();
  EXPECT_EQ(Hub_GetDeviceInfoIndex(&info, 0u), 0);
  EXPECT_TRUE(allZero(info));
  dirty();
  EXPECT_EQ(Hub_GetDeviceInfoSerial(&info, L""), 0);
  EXPECT_TRUE(allZero(info));
}

}  // namespace
