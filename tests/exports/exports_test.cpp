// The exported functions of the built shared library, over a simulated world
// bound to a file (run_exports_tests.sh): the argument conventions at the
// boundary and the files the library keeps.
#include <korvex.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

// The library binds its world when it is loaded, before main: the runner
// script names the world file in the environment, beside which the library
// keeps its files.
fs::path folder() {
  const char* world = std::getenv("KORVEX_SIM_WORLD");
  return world == nullptr ? fs::path() : fs::path(world).parent_path();
}

TEST(Exports, ByteArgumentsUseTheLowEightBitsOnly) {
  ASSERT_EQ(Hub_SetStatus(u"0000000A", 0x100), 1);  // low byte 0: off
  std::uint8_t status = 0xEE;
  ASSERT_EQ(Hub_GetStatus(u"0000000A", &status), 1);
  EXPECT_EQ(status, 0);
  ASSERT_EQ(Hub_SetStatus(u"0000000A", 0xFFFFFF01u), 1);
  ASSERT_EQ(Hub_GetStatus(u"0000000A", &status), 1);
  EXPECT_EQ(status, 1);
  std::uint8_t byte = 0x33;
  // Address 0x1FF is 255 once cut to a byte: one byte from it is past the end.
  EXPECT_EQ(Hub_ReadFram(u"0000000A", 0x1FF, 1, &byte), 0);
  // Count 0x100 is 0: nothing to read, success.
  EXPECT_EQ(Hub_ReadFram(u"0000000A", 0, 0x100, &byte), 1);
  EXPECT_EQ(byte, 0x33);
  ASSERT_EQ(Hub_SetAutoCheckTimeInfo(0x105, 0x203), 1);
  std::uint8_t interval = 0, offTime = 0;
  ASSERT_EQ(Hub_GetAutoCheckTimeInfo(&interval, &offTime), 1);
  EXPECT_EQ(interval, 5);
  EXPECT_EQ(offTime, 3);
}

TEST(Exports, TheLoadCreatedTheStoreAndListChangesReachIt) {
  ASSERT_FALSE(folder().empty()) << "run through run_exports_tests.sh";
  EXPECT_TRUE(fs::exists(folder() / "korvex.dat"));
  HubDeviceInfo info{};
  std::copy_n(u"0000000A", 8, info.controllerSerial);
  info.idVendor = 0x1234;
  ASSERT_EQ(Hub_SetAutoCheckDeviceInfo(&info), 1);
  EXPECT_EQ(fs::file_size(folder() / "korvex.dat"), 33288u);
  HubDeviceInfo back{};
  ASSERT_EQ(Hub_GetAutoCheckDeviceInfoIndex(&back, 0x100), 1);  // index 0 once cut
  EXPECT_EQ(back.idVendor, 0x1234);
  ASSERT_EQ(Hub_StartAutoRecovery(), 1);
  EXPECT_EQ(Hub_GetAutoRecoveryStatus(), 1);
  ASSERT_EQ(Hub_StopAutoRecovery(), 1);
  ASSERT_EQ(Hub_DeleteAutoCheckDeviceInfo(&info), 1);
  EXPECT_EQ(Hub_GetAutoCheckDeviceInfo(&back), 0);
  // The world has no hubs in its tree: a scan finds none.
  EXPECT_EQ(Hub_GetDeviceInfo(&back), 0);
}

}  // namespace
