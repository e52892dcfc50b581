// The exported functions of the built shared library, over a simulated world
// bound to a file: the argument conventions at the boundary and the world's
// state surviving in the file.
#include <korvex.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "hub_device_info_view.h"

namespace {

namespace fs = std::filesystem;
using korvex::hub_info::allZero;

class Exports : public ::testing::Test {
 protected:
  // The library binds its world when it is loaded, before main: the
  // runner script names the world file and its folder in the environment.
  static void SetUpTestSuite() {
    const char* world = std::getenv("KORVEX_SIM_WORLD");
    ASSERT_NE(world, nullptr) << "run through run_exports_tests.sh";
    worldFile_ = world;
    folder_ = worldFile_.parent_path();
  }

  static std::string fileText() {
    std::ifstream in(worldFile_);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }

  static inline fs::path folder_;
  static inline fs::path worldFile_;
};

TEST_F(Exports, ByteArgumentsUseTheLowEightBitsOnly) {
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
}

TEST_F(Exports, StateChangesReachTheWorldFile) {
  const std::uint8_t text[5] = {'h', 'e', 'l', 'l', 'o'};
  ASSERT_EQ(Hub_WriteFram(u"0000000A", 0, 5, text), 1);
  std::uint8_t back[5] = {};
  ASSERT_EQ(Hub_ReadFram(u"0000000A", 0, 5, back), 1);
  EXPECT_EQ(std::string(back, back + 5), "hello");
  std::string file = fileText();
  std::transform(file.begin(), file.end(), file.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  EXPECT_NE(file.find("68656c6c6f"), std::string::npos) << file;
}

TEST_F(Exports, MissingControllerFailsAtOnceAndWritesNothing) {
  std::uint8_t status = 0xEE;
  std::uint8_t clock[7] = {1, 2, 3, 4, 5, 6, 7};
  EXPECT_EQ(Hub_GetStatus(u"NOPE", &status), 0);
  EXPECT_EQ(Hub_GetRTC(u"NOPE", clock), 0);
  EXPECT_EQ(Hub_SetReset(u"NOPE", 0), 0);
  EXPECT_EQ(status, 0xEE);
  EXPECT_EQ(clock[0], 1);
}

TEST_F(Exports, LoadCreatedTheStoreAndListChangesReachIt) {
  EXPECT_TRUE(fs::exists(folder_ / "korvex.dat"));
  HubDeviceInfo info{};
  const std::u16string serial = u"0000000A";
  std::copy(serial.begin(), serial.end(), info.controllerSerial);
  info.idVendor = 0x1234;
  ASSERT_EQ(Hub_SetAutoCheckDeviceInfo(&info), 1);
  EXPECT_EQ(fs::file_size(folder_ / "korvex.dat"), 33288u);
  HubDeviceInfo back{};
  // Index 0x100 is 0 once cut to a byte.
  ASSERT_EQ(Hub_GetAutoCheckDeviceInfoIndex(&back, 0x100), 1);
  EXPECT_EQ(back.idVendor, 0x1234);
  ASSERT_EQ(Hub_SetAutoCheckTimeInfo(0x105, 0x203), 1);
  std::uint8_t interval = 0, offTime = 0;
  ASSERT_EQ(Hub_GetAutoCheckTimeInfo(&interval, &offTime), 1);
  EXPECT_EQ(interval, 5);
  EXPECT_EQ(offTime, 3);
  EXPECT_EQ(Hub_GetAutoRecoveryStatus(), 0);
  ASSERT_EQ(Hub_StartAutoRecovery(), 1);
  EXPECT_EQ(Hub_GetAutoRecoveryStatus(), 1);
  ASSERT_EQ(Hub_StopAutoRecovery(), 1);
  ASSERT_EQ(Hub_DeleteAutoCheckDeviceInfo(&info), 1);
  EXPECT_EQ(Hub_GetAutoCheckDeviceInfo(&back), 0);
}

TEST_F(Exports, DeviceQueriesOnAWorldWithoutHubs) {
  HubDeviceInfo info;
  std::memset(&info, 0xAB, sizeof info);
  EXPECT_EQ(Hub_GetDeviceInfo(&info), 0);
  EXPECT_TRUE(allZero(info));
  EXPECT_EQ(Hub_GetNextDeviceInfo(&info), 0);
  EXPECT_EQ(Hub_GetDeviceInfoIndex(&info, 0), 0);
  EXPECT_EQ(Hub_GetDeviceInfoSerial(&info, u""), 0);
}

}  // namespace
