// The main dialog's commands: the row menu's enable states, power
// switching, adding a hub to the auto recovery list, the status dialog,
// and the Auto Recovery check box that starts and stops the watchdog.
#include <gtest/gtest.h>
#include <korvex.h>

#include "talvane/resources/resource.h"
#include "talvane_window_fixture.h"
#include "world_file.h"

namespace talvane::gui_test {
namespace {

using MainDialogCommandsTest = TalvaneWindowTest;

struct MenuStates {
  bool powerOnGrayed;
  bool powerOffGrayed;
  bool addGrayed;
  bool operator==(const MenuStates&) const = default;
};

std::ostream& operator<<(std::ostream& out, const MenuStates& s) {
  return out << "{ON grayed " << s.powerOnGrayed << ", Off grayed " << s.powerOffGrayed
             << ", ADD grayed " << s.addGrayed << "}";
}

// The three items' states; a missing item fails the test.
MenuStates statesOf(const std::vector<MenuItem>& items) {
  const MenuItem* on = findItem(items, L"HUB Power ON");
  const MenuItem* off = findItem(items, L"HUB Power Off");
  const MenuItem* add = findItem(items, L"ADD Auto Recovery List");
  EXPECT_NE(on, nullptr);
  EXPECT_NE(off, nullptr);
  EXPECT_NE(add, nullptr);
  if (on == nullptr || off == nullptr || add == nullptr) return {};
  EXPECT_EQ(on->id, static_cast<UINT>(ID_HUB_POWER_ON));
  EXPECT_EQ(off->id, static_cast<UINT>(ID_HUB_POWER_OFF));
  EXPECT_EQ(add->id, static_cast<UINT>(ID_ADD_AUTO_RECOVERY_LIST));
  return {on->grayed, off->grayed, add->grayed};
}

TEST_F(MainDialogCommandsTest, RowMenuFollowsPowerAndPort) {
  const HWND dialog = startWithMainDialog("unconfigured_and_off");
  ASSERT_NE(dialog, nullptr);
  // Powered, a device on the port (configured or not), not listed.
  EXPECT_EQ(statesOf(rowMenu(dialog, 0)), (MenuStates{true, false, false}));
  // Power off, port empty.
  EXPECT_EQ(statesOf(rowMenu(dialog, 1)), (MenuStates{false, true, true}));
}

TEST_F(MainDialogCommandsTest, RowMenuGraysAddForAListedHubAndAnEmptyPort) {
  const HWND dialog = startWithMainDialog("two_hubs", [] { ASSERT_TRUE(listHub(L"0000A001")); });
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(statesOf(rowMenu(dialog, 0)), (MenuStates{true, false, true}));
  EXPECT_EQ(statesOf(rowMenu(dialog, 1)), (MenuStates{true, false, true}));
}

TEST_F(MainDialogCommandsTest, RightClickWithoutASelectedRowOpensNoMenu) {
  const HWND dialog = startWithMainDialog("two_hubs");
  ASSERT_NE(dialog, nullptr);
  clearSelection(deviceList(dialog));
  // A menu would keep the handler from returning.
  const auto handled = notifyFromList(dialog, -1, NM_RCLICK);
  ASSERT_EQ(handled.wait_for(kWaitLimit), std::future_status::ready);
  EXPECT_EQ(waitForPopupMenu(app().windows(), 0ms), nullptr);
}

TEST_F(MainDialogCommandsTest, RowMenuClosedWithoutChoiceChangesNothing) {
  const HWND dialog = startWithMainDialog("two_hubs");
  ASSERT_NE(dialog, nullptr);
  const auto before = allRows(deviceList(dialog));
  rowMenu(dialog, 0);
  ASSERT_TRUE(app().drainPostedMessages(dialog));
  EXPECT_EQ(allRows(deviceList(dialog)), before);
  EXPECT_TRUE(controllerPowerIsOn(u"0000A001"));
  EXPECT_FALSE(isListed(L"0000A001"));
}

TEST_F(MainDialogCommandsTest, PowerOffShowsOffAndSwitchesOnlyThatHub) {
  const HWND dialog = startWithMainDialog("two_hubs");
  ASSERT_NE(dialog, nullptr);
  const auto before = allRows(deviceList(dialog));
  const auto after = rowsAfterChoosing(dialog, 0, ID_HUB_POWER_OFF);
  ASSERT_EQ(after.size(), 2u);
  // The device went with the power.
  EXPECT_EQ(after[0], (Row{L"1", L"0000A001", L"OFF", L"NoDeviceConnected", L"", L"", L""}));
  EXPECT_EQ(after[1], before[1]);
  EXPECT_FALSE(controllerPowerIsOn(u"0000A001"));
  EXPECT_TRUE(controllerPowerIsOn(u"0000A002"));
}

TEST_F(MainDialogCommandsTest, PowerOnBringsTheDeviceBack) {
  const HWND dialog = startWithMainDialog("unconfigured_and_off");
  ASSERT_NE(dialog, nullptr);
  const auto after = rowsAfterChoosing(dialog, 1, ID_HUB_POWER_ON);
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[1], (Row{L"2", L"0000B002", L"ON", L"DeviceConnected", L"0x5A12", L"0x0202",
                           L"Optical Mouse"}));
  EXPECT_TRUE(controllerPowerIsOn(u"0000B002"));
}

TEST_F(MainDialogCommandsTest, PowerCommandWithoutASelectedRowDoesNothing) {
  const HWND dialog = startWithMainDialog("two_hubs");
  ASSERT_NE(dialog, nullptr);
  const auto before = allRows(deviceList(dialog));
  clearSelection(deviceList(dialog));
  PostMessageW(dialog, WM_COMMAND, ID_HUB_POWER_OFF, 0);
  ASSERT_TRUE(app().drainPostedMessages(dialog));
  EXPECT_EQ(allRows(deviceList(dialog)), before);
  EXPECT_TRUE(controllerPowerIsOn(u"0000A001"));
  EXPECT_TRUE(controllerPowerIsOn(u"0000A002"));
}

TEST_F(MainDialogCommandsTest, AddPutsTheRowsHubOnTheList) {
  const HWND dialog = startWithMainDialog("two_hubs");
  ASSERT_NE(dialog, nullptr);
  chooseForRow(dialog, 0, ID_ADD_AUTO_RECOVERY_LIST);
  ASSERT_TRUE(app().drainPostedMessages(dialog));
  EXPECT_TRUE(isListed(L"0000A001"));
  EXPECT_FALSE(isListed(L"0000A002"));
  // Listed now: the row menu no longer offers it.
  EXPECT_TRUE(statesOf(rowMenu(dialog, 0)).addGrayed);
}

TEST_F(MainDialogCommandsTest, ChoosingAddFromTheRowMenuListsTheHub) {
  const HWND dialog = startWithMainDialog("two_hubs");
  ASSERT_NE(dialog, nullptr);
  selectOnlyRow(deviceList(dialog), 0);
  const auto handled = notifyFromList(dialog, 0, NM_RCLICK);
  const HWND menu = waitForPopupMenu(app().windows());
  ASSERT_NE(menu, nullptr);
  // Up from no highlighted item goes to the last item; Enter chooses it.
  PostMessageW(menu, WM_KEYDOWN, VK_UP, 0);
  PostMessageW(menu, WM_CHAR, L'\r', 0);
  ASSERT_EQ(handled.wait_for(kWaitLimit), std::future_status::ready);
  ASSERT_TRUE(app().drainPostedMessages(dialog));
  EXPECT_TRUE(isListed(L"0000A001"));
}

TEST_F(MainDialogCommandsTest, DoubleClickOnARowOpensItsStatus) {
  const HWND dialog = startWithMainDialog("two_hubs");
  ASSERT_NE(dialog, nullptr);
  selectOnlyRow(deviceList(dialog), 0);
  notifyFromList(dialog, 0, NM_DBLCLK);
  const HWND status = waitForDialog(app().windows(), kStatusCaption);
  ASSERT_NE(status, nullptr);
  EXPECT_EQ(GetWindow(status, GW_OWNER), dialog);
}

TEST_F(MainDialogCommandsTest, AutoRecoveryListButtonOpensItsDialogAboveTheMainOne) {
  const HWND dialog = startWithMainDialog("two_hubs");
  ASSERT_NE(dialog, nullptr);
  PostMessageW(GetDlgItem(dialog, IDC_MAIN_AUTO_RECOVERY_LIST), BM_CLICK, 0, 0);
  const HWND list = waitForDialog(app().windows(), kAutoRecoveryListCaption);
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(GetWindow(list, GW_OWNER), dialog);
}

TEST_F(MainDialogCommandsTest, AutoRecoveryCheckBoxStartsAndStopsTheWatchdog) {
  const HWND dialog = startWithMainDialog("two_hubs");
  ASSERT_NE(dialog, nullptr);
  const HWND box = GetDlgItem(dialog, IDC_MAIN_AUTO_RECOVERY);
  ASSERT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  ASSERT_EQ(Hub_GetAutoRecoveryStatus(), 0);

  SendMessageW(box, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_EQ(Hub_GetAutoRecoveryStatus(), 1);

  SendMessageW(box, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_UNCHECKED);
  EXPECT_EQ(Hub_GetAutoRecoveryStatus(), 0);
}

TEST_F(MainDialogCommandsTest, AutoRecoveryIsCheckedAtOpenWhileTheWatchdogRuns) {
  const HWND dialog =
      startWithMainDialog("two_hubs", [] { ASSERT_NE(Hub_StartAutoRecovery(), 0); });
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(SendMessageW(GetDlgItem(dialog, IDC_MAIN_AUTO_RECOVERY), BM_GETCHECK, 0, 0),
            BST_CHECKED);
}

}  // namespace
}  // namespace talvane::gui_test
