// korvex.dll's load and unload, the timing settings and the watchdog's
// start and stop, as seen in the store file beside the program.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>

#include "clean_folder_test.h"
#include "store_image.h"

namespace korvex::wine {
namespace {

using namespace std::chrono_literals;

// Stopping the watchdog, by the export or by the unload, must not take
// anywhere near the 10 s after which it would be ended by force.
constexpr auto kPromptly = 2000ms;

const ListedHub kHub{L"KVX-LIFE-0001", 0x2109, 0x0817, L"USB Camera"};

class RecoveryLifecycleTest : public CleanFolderTest {
 protected:
  std::pair<int, int> timeInfo() {
    std::uint8_t interval = 0xEE;
    std::uint8_t offTime = 0xEE;
    EXPECT_EQ(hub().GetAutoCheckTimeInfo(&interval, &offTime), 1);
    return {interval, offTime};
  }
  void unload() { EXPECT_LT(dll->unload(), kPromptly) << "FreeLibrary"; }
};

TEST_F(RecoveryLifecycleTest, TheFirstLoadCreatesAnEmptyStoreThatLoadsAsDefaults) {
  ASSERT_FALSE(storeFile());
  load();
  const std::optional<Bytes> created = storeFile();
  ASSERT_TRUE(created) << "the load must create the store";
  EXPECT_EQ(created->size(), 0u) << "the load must create the store empty";
  EXPECT_EQ(timeInfo(), std::pair(1, 1));
  EXPECT_EQ(hub().GetAutoRecoveryStatus(), 0);
  HubDeviceInfo out{};
  EXPECT_EQ(hub().GetAutoCheckDeviceInfo(&out), 0);

  unload();
  EXPECT_TRUE(storeShows(storeFile(), StoreImage{}));
  EXPECT_FALSE(readBesideProgram(kStoreDraftFile));

  // An empty store file, left for instance by an earlier load, loads the same.
  ASSERT_TRUE(writeBesideProgram(kStoreFile, {}));
  load();
  EXPECT_EQ(timeInfo(), std::pair(1, 1));
  EXPECT_EQ(hub().GetAutoRecoveryStatus(), 0);
  EXPECT_EQ(hub().GetAutoCheckDeviceInfo(&out), 0);
}

TEST_F(RecoveryLifecycleTest, TimeSettingsReachTheStoreWithTheUnload) {
  load();
  ASSERT_TRUE(plantStore());
  EXPECT_EQ(hub().SetAutoCheckTimeInfo(7, 9), 1);
  EXPECT_TRUE(storeStillPlanted()) << "setting the times alone must not write the store";
  EXPECT_EQ(timeInfo(), std::pair(7, 9));

  unload();
  StoreImage image;
  image.interval = 7;
  image.offTime = 9;
  EXPECT_TRUE(storeShows(storeFile(), image));

  load();
  EXPECT_EQ(timeInfo(), std::pair(7, 9));
}

TEST_F(RecoveryLifecycleTest, TimeSettingsTakeTheLowBytesAndZeroLoadsAsOne) {
  load();
  EXPECT_EQ(hub().SetAutoCheckTimeInfo(0x1FF, 0x302), 1);
  EXPECT_EQ(timeInfo(), std::pair(255, 2));
  // No range check when set; 0 is taken as 1 only by the next load.
  EXPECT_EQ(hub().SetAutoCheckTimeInfo(0, 0x100), 1);
  EXPECT_EQ(timeInfo(), std::pair(0, 0));
  unload();
  StoreImage image;
  image.interval = 0;
  image.offTime = 0;
  EXPECT_TRUE(storeShows(storeFile(), image));
  load();
  EXPECT_EQ(timeInfo(), std::pair(1, 1));
}

TEST_F(RecoveryLifecycleTest, StartAndStopEachActOnceAndAreSaved) {
  load();
  EXPECT_EQ(hub().GetAutoRecoveryStatus(), 0);
  EXPECT_EQ(hub().StartAutoRecovery(), 1);
  EXPECT_EQ(hub().GetAutoRecoveryStatus(), 1);
  StoreImage on;
  on.recoveryOn = 1;
  EXPECT_TRUE(storeShows(storeFile(), on));

  ASSERT_TRUE(plantStore());
  EXPECT_EQ(hub().StartAutoRecovery(), 0) << "a second start while running";
  EXPECT_TRUE(storeStillPlanted());
  EXPECT_EQ(hub().GetAutoRecoveryStatus(), 1);

  const auto stopStart = std::chrono::steady_clock::now();
  EXPECT_EQ(hub().StopAutoRecovery(), 1);
  EXPECT_LT(std::chrono::steady_clock::now() - stopStart, kPromptly) << "Hub_StopAutoRecovery";
  EXPECT_EQ(hub().GetAutoRecoveryStatus(), 0);
  EXPECT_TRUE(storeShows(storeFile(), StoreImage{}));

  ASSERT_TRUE(plantStore());
  EXPECT_EQ(hub().StopAutoRecovery(), 0) << "a stop while stopped";
  EXPECT_TRUE(storeStillPlanted());
  EXPECT_EQ(hub().GetAutoRecoveryStatus(), 0);

  // Stopped, it can be started again.
  EXPECT_EQ(hub().StartAutoRecovery(), 1);
  EXPECT_EQ(hub().GetAutoRecoveryStatus(), 1);
  EXPECT_EQ(hub().StopAutoRecovery(), 1);
}

// The running watchdog holds the library: the program's FreeLibrary returns
// at once and leaves it loaded and watching, with recovery recorded as on;
// a stop then lets the last reference go. (A store left with recovery on
// restarts the watchdog at the next load: see the test below and the
// process-exit test.)
TEST_F(RecoveryLifecycleTest, FreeLibraryWhileRunningKeepsTheLibraryUntilTheStop) {
  load();
  ASSERT_EQ(hub().StartAutoRecovery(), 1);
  unload();
  EXPECT_TRUE(KorvexDll::mapped()) << "the running watchdog keeps the library loaded";
  StoreImage on;
  on.recoveryOn = 1;
  EXPECT_TRUE(storeShows(storeFile(), on));

  EXPECT_EQ(KorvexDll::stopLeftoverWatchdog(), 1);
  EXPECT_FALSE(KorvexDll::mapped());
  EXPECT_TRUE(storeShows(storeFile(), StoreImage{}));
  load();
  EXPECT_EQ(hub().GetAutoRecoveryStatus(), 0);
}

TEST_F(RecoveryLifecycleTest, APreparedStoreWithRecoveryOnStartsTheWatchdogAtLoad) {
  StoreImage prepared;
  prepared.interval = 0;
  prepared.offTime = 0;
  prepared.recoveryOn = 1;
  prepared.records = {recordOf(kHub, 0, 1)};
  ASSERT_TRUE(writeBesideProgram(kStoreFile, prepared.bytes()));

  load();
  EXPECT_EQ(hub().GetAutoRecoveryStatus(), 1);
  EXPECT_EQ(hub().StartAutoRecovery(), 0) << "the load must have started the watchdog";
  EXPECT_EQ(timeInfo(), std::pair(1, 1));
  HubDeviceInfo out{};
  ASSERT_EQ(hub().GetAutoCheckDeviceInfo(&out), 1);
  EXPECT_EQ(std::wstring(out.controllerSerial), kHub.serial);

  // The start at load saved the store, with the settings as loaded. A check
  // cycle that does not find the hub leaves a failure count and a countdown
  // of 0 alone.
  StoreImage saved = prepared;
  saved.interval = 1;
  saved.offTime = 1;
  EXPECT_TRUE(storeShows(storeFile(), saved));

  EXPECT_EQ(hub().StopAutoRecovery(), 1);
  saved.recoveryOn = 0;
  saved.cursor = 1;
  EXPECT_TRUE(storeShows(storeFile(), saved));
}

}  // namespace
}  // namespace korvex::wine
