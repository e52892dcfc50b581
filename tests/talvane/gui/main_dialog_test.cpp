// The main dialog: one row per hub, its refresh when the machine's devices
// change, the row menu's commands and the Auto Recovery check box.
#include <gtest/gtest.h>
#include <korvex.h>

#include "talvane/resources/resource.h"
#include "talvane_window_fixture.h"
#include "world_file.h"

namespace talvane::gui_test {
namespace {

using MainDialogTest = TalvaneWindowTest;

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
        ScenarioRows{"two_hubs",
                     {{L"1", L"0000A001", L"ON", L"DeviceConnected", L"0x4E21", L"0x1000",
                       L"USB Flash Disk"},
                      {L"2", L"0000A002", L"ON", L"NoDeviceConnected", L"", L"", L""}}},
        ScenarioRows{
            "unconfigured_and_off",
            {{L"1", L"0000B001", L"ON", L"BadCondition", L"0x33F0", L"0x4001", L"Barcode Scanner"},
             {L"2", L"0000B002", L"OFF", L"NoDeviceConnected", L"", L"", L""}}}),
    [](const auto& test) { return std::string(test.param.scenario); });

TEST_F(MainDialogTest, OnlyTheDevNodesChangedEventRefreshesTheRows) {
  const HWND dialog = startWithMainDialog("two_hubs");
  ASSERT_NE(dialog, nullptr);
  const HWND list = deviceList(dialog);
  const auto before = allRows(list);
  ASSERT_TRUE(unplugDevice(u"0000A001"));
  constexpr WPARAM kDeviceArrival = 0x8000;
  app().postToTray(WM_DEVICECHANGE, kDeviceArrival, 0);
  ASSERT_TRUE(app().drainPostedMessages(app().tray()));
  EXPECT_EQ(allRows(list), before);

  app().postToTray(WM_DEVICECHANGE, kDevNodesChanged, 0);
  const auto after = rowsChangedFrom(list, before);
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[0], (Row{L"1", L"0000A001", L"ON", L"NoDeviceConnected", L"", L"", L""}));
  EXPECT_EQ(after[1], before[1]);
}

TEST_F(MainDialogTest, RowMenuOffersWhatTheHubAllowsAndAddListsIt) {
  const HWND dialog = startWithMainDialog("two_hubs");
  ASSERT_NE(dialog, nullptr);
  const auto menu = [](bool addGrayed) {
    return std::vector<MenuItem>{
        {L"HUB Power ON", ID_HUB_POWER_ON, false, true},
        {L"HUB Power Off", ID_HUB_POWER_OFF},
        {L"", 0, true, true},
        {L"ADD Auto Recovery List", ID_ADD_AUTO_RECOVERY_LIST, false, addGrayed}};
  };
  EXPECT_EQ(rowMenu(dialog, 0), menu(false));
  EXPECT_EQ(rowMenu(dialog, 1), menu(true));  // nothing on the port to watch

  chooseForRow(dialog, 0, ID_ADD_AUTO_RECOVERY_LIST);
  ASSERT_TRUE(app().drainPostedMessages(dialog));
  EXPECT_TRUE(isListed(L"0000A001"));
  EXPECT_FALSE(isListed(L"0000A002"));
  EXPECT_EQ(rowMenu(dialog, 0), menu(true));

  // No row selected: no menu (a menu would keep the handler from returning).
  clearSelection(deviceList(dialog));
  const auto handled = notifyFromList(dialog, -1, NM_RCLICK);
  ASSERT_EQ(handled.wait_for(kWaitLimit), std::future_status::ready);
  EXPECT_EQ(waitForPopupMenu(app().windows(), 0ms), nullptr);
}

TEST_F(MainDialogTest, PowerOffSwitchesOnlyThatHubAndShowsIt) {
  const HWND dialog = startWithMainDialog("two_hubs");
  ASSERT_NE(dialog, nullptr);
  const auto before = allRows(deviceList(dialog));
  const auto after = rowsAfterChoosing(dialog, 0, ID_HUB_POWER_OFF);
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[0], (Row{L"1", L"0000A001", L"OFF", L"NoDeviceConnected", L"", L"", L""}));
  EXPECT_EQ(after[1], before[1]);
  EXPECT_FALSE(controllerPowerIsOn(u"0000A001"));
  EXPECT_TRUE(controllerPowerIsOn(u"0000A002"));
}

TEST_F(MainDialogTest, AutoRecoveryCheckBoxShowsAndSwitchesTheWatchdog) {
  const HWND dialog =
      startWithMainDialog("two_hubs", [] { ASSERT_NE(Hub_StartAutoRecovery(), 0); });
  ASSERT_NE(dialog, nullptr);
  const HWND box = GetDlgItem(dialog, IDC_MAIN_AUTO_RECOVERY);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  for (const auto& [check, running] : {std::pair{BST_UNCHECKED, 0}, {BST_CHECKED, 1}}) {
    SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), check);
    EXPECT_EQ(Hub_GetAutoRecoveryStatus(), running);
  }
}

}  // namespace
}  // namespace talvane::gui_test
