// The main dialog's list: one row per hub, as the world has them, and its
// refresh when the machine's devices change.
#include <gtest/gtest.h>

#include "talvane_window_fixture.h"
#include "world_file.h"

namespace talvane::gui_test {
namespace {

using MainDialogRowsTest = TalvaneWindowTest;

struct ScenarioRows {
  const char* scenario;
  std::vector<Row> rows;
};

class MainDialogScenarioTest : public TalvaneWindowTest,
                               public ::testing::WithParamInterface<ScenarioRows> {};

TEST_P(MainDialogScenarioTest, RowsShowTheHubsInTableOrder) {
  const HWND dialog = startWithMainDialog(GetParam().scenario);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(allRows(deviceList(dialog)), GetParam().rows);
}

INSTANTIATE_TEST_SUITE_P(
    Worlds, MainDialogScenarioTest,
    ::testing::Values(
        // A device on the port, and an empty port.
        ScenarioRows{"two_hubs",
                     {{L"1", L"0000A001", L"ON", L"DeviceConnected", L"0x4E21", L"0x1000",
                       L"USB Flash Disk"},
                      {L"2", L"0000A002", L"ON", L"NoDeviceConnected", L"", L"", L""}}},
        // A device that is connected but not configured, and a hub whose
        // power is off.
        ScenarioRows{
            "unconfigured_and_off",
            {{L"1", L"0000B001", L"ON", L"BadCondition", L"0x33F0", L"0x4001", L"Barcode Scanner"},
             {L"2", L"0000B002", L"OFF", L"NoDeviceConnected", L"", L"", L""}}}),
    [](const auto& test) { return std::string(test.param.scenario); });

TEST_F(MainDialogRowsTest, DeviceChangeRefreshesTheOpenDialog) {
  const HWND dialog = startWithMainDialog("two_hubs");
  ASSERT_NE(dialog, nullptr);
  const HWND list = deviceList(dialog);
  const auto before = allRows(list);
  ASSERT_EQ(before.size(), 2u);

  ASSERT_TRUE(unplugDevice(u"0000A001"));
  app().postToTray(WM_DEVICECHANGE, kDevNodesChanged, 0);
  const auto after = rowsChangedFrom(list, before);
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[0], (Row{L"1", L"0000A001", L"ON", L"NoDeviceConnected", L"", L"", L""}));
  EXPECT_EQ(after[1], before[1]);
}

TEST_F(MainDialogRowsTest, OtherDeviceEventsDoNotRefresh) {
  const HWND dialog = startWithMainDialog("two_hubs");
  ASSERT_NE(dialog, nullptr);
  const HWND list = deviceList(dialog);
  const auto before = allRows(list);

  ASSERT_TRUE(unplugDevice(u"0000A001"));
  constexpr WPARAM kDeviceArrival = 0x8000;
  constexpr WPARAM kConfigChanged = 0x0018;
  app().postToTray(WM_DEVICECHANGE, kDeviceArrival, 0);
  app().postToTray(WM_DEVICECHANGE, kConfigChanged, 0);
  ASSERT_TRUE(app().drainPostedMessages(app().tray()));
  EXPECT_EQ(allRows(list), before);

  // The list was stale, not frozen: the right event brings the change.
  app().postToTray(WM_DEVICECHANGE, kDevNodesChanged, 0);
  EXPECT_EQ(rowsChangedFrom(list, before)[0][3], L"NoDeviceConnected");
}

TEST_F(MainDialogRowsTest, DeviceChangeWithTheDialogClosedIsHarmless) {
  startWith("two_hubs");
  app().postToTray(WM_DEVICECHANGE, kDevNodesChanged, 0);
  ASSERT_TRUE(app().drainPostedMessages(app().tray()));
  EXPECT_TRUE(visibleWindows(app().windows()).empty());
  EXPECT_FALSE(app().ended());
}

}  // namespace
}  // namespace talvane::gui_test
