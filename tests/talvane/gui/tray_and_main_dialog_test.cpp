// The program in the notification area, its icon's menus and the main
// dialog: one row per hub, refreshed when the machine's devices change, the
// row menu's commands and the Auto Recovery check box.
#include <korvex.h>
#include <process.h>

#include "talvane/resources/resource.h"
#include "talvane/shell/tray_wnd.h"
#include "window_test.h"
// After windows.h, which they need.
#include <dbt.h>
#include <shellapi.h>

namespace talvane::gui_test {
namespace {

using TrayTest = WindowTest;
using MainDialogTest = WindowTest;

// The shell call for the program's icon; NIM_MODIFY fails without the icon.
bool iconCall(HWND tray, DWORD message) {
  NOTIFYICONDATAW icon{};
  icon.cbSize = sizeof icon;
  icon.hWnd = tray;
  icon.uID = kTrayIconId;
  return Shell_NotifyIconW(message, &icon) != 0;
}

TEST_F(TrayTest, RunsHiddenAloneWithAnIconThatComesBackWhenTheShellRestarts) {
  start("two_hubs");
  EXPECT_TRUE(windowsOf(windows(), L"").empty());
  EXPECT_TRUE(waitUntil([&] { return iconCall(tray_, NIM_MODIFY); }));
  // talvane.exe started meanwhile ends at once.
  const std::wstring exe = besideProgram(L"talvane.exe");
  const auto second =
      reinterpret_cast<HANDLE>(_wspawnl(_P_NOWAIT, exe.c_str(), exe.c_str(), nullptr));
  EXPECT_EQ(WaitForSingleObject(second, 5000), WAIT_OBJECT_0);
  TerminateProcess(second, 1);
  CloseHandle(second);
  ASSERT_TRUE(iconCall(tray_, NIM_DELETE));
  PostMessageW(tray_, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(waitUntil([&] { return iconCall(tray_, NIM_MODIFY); }));
  EXPECT_EQ(stop(), 0);
  EXPECT_FALSE(iconCall(tray_, NIM_MODIFY)) << "the icon outlives the program";
}

TEST_F(TrayTest, EachClickOpensItsMenuAndSetupOneMainDialog) {
  start("two_hubs");
  const MenuItem exit{L"EXIT(&X)", ID_APP_EXIT}, setup{L"SETUP(&S)", ID_SETUP};
  // The left click's menu waits for the double-click time to pass.
  const std::pair<UINT, std::vector<MenuItem>> menus[] = {
      {WM_LBUTTONDOWN, {exit}}, {WM_RBUTTONUP, {exit, {L"", 0, true, true}, setup}}};
  for (const auto& [mouse, items] : menus) {
    EXPECT_EQ(menuAfter([&] { PostMessageW(tray_, WM_TRAYNOTIFY, kTrayIconId, mouse); }), items);
  }
  // A closed menu chose nothing; another icon's clicks are not this program's.
  PostMessageW(tray_, WM_TRAYNOTIFY, kTrayIconId + 1, WM_RBUTTONUP);
  ASSERT_TRUE(drain());
  EXPECT_TRUE(windowsOf(windows(), L"").empty());
  const HWND dialog = openMain();
  PostMessageW(tray_, WM_COMMAND, ID_SETUP, 0);
  ASSERT_TRUE(dialog && drain());
  EXPECT_EQ(windowsOf(windows(), L""), std::vector<HWND>{dialog});
  ASSERT_TRUE(press(dialog, IDC_MAIN_CLOSE) && waitUntilGone(dialog));
  EXPECT_NE(openMain(), nullptr);
}

using ScenarioRows = std::pair<const char*, std::vector<Row>>;
class MainDialogRowsTest : public WindowTest, public ::testing::WithParamInterface<ScenarioRows> {};

TEST_P(MainDialogRowsTest, ShowTheHubsInTableOrder) {
  start(GetParam().first);
  ASSERT_NE(openMain(), nullptr);
  const HWND list = GetDlgItem(main_, IDC_MAIN_DEVICE_LIST);
  EXPECT_EQ(headerOf(list), (Row{L"No", L"PIC Serial", L"HUB Power", L"Device Status", L"VID",
                                 L"PID", L"Product Name"}));
  EXPECT_EQ(rowsOf(list), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(
    Worlds, MainDialogRowsTest,
    ::testing::Values(
        ScenarioRows{"two_hubs",
                     {{L"1", L"0000A001", L"ON", L"DeviceConnected", L"0x4E21", L"0x1000",
                       L"USB Flash Disk"},
                      {L"2", L"0000A002", L"ON", L"NoDeviceConnected", L"", L"", L""}}},
        ScenarioRows{
            "unconfigured_and_off",
            {{L"1", L"0000B001", L"ON", L"BadCondition", L"0x33F0", L"0x4001", L"Barcode Scanner"},
             {L"2", L"0000B002", L"OFF", L"NoDeviceConnected", L"", L"", L""}}}));

// The first row once its device is gone: refreshed by the device-change
// event alone, and by the power command, which switches only that hub.
TEST_F(MainDialogTest, RowsFollowTheDevNodesChangedEventAndThePowerCommands) {
  start("two_hubs");
  ASSERT_NE(openMain(), nullptr);
  const HWND list = GetDlgItem(main_, IDC_MAIN_DEVICE_LIST);
  auto rows = rowsOf(list);
  changeWorld(
      [](Json& world) { hubPort(world, "0000A001")["device"]["hub"]["ports"][0] = nullptr; });
  for (const WPARAM event : {DBT_DEVICEARRIVAL, DBT_DEVNODES_CHANGED}) {
    EXPECT_EQ(rowsOf(list), rows);
    PostMessageW(tray_, WM_DEVICECHANGE, event, 0);
    ASSERT_TRUE(drain());
  }
  rows[0] = {L"1", L"0000A001", L"ON", L"NoDeviceConnected", L"", L"", L""};
  EXPECT_EQ(rowsOf(list), rows);
  loadWorld("two_hubs");
  selectRow(list, 0);
  ASSERT_TRUE(press(main_, ID_HUB_POWER_OFF));
  rows[0][2] = L"OFF";
  EXPECT_EQ(rowsOf(list), rows);
  EXPECT_EQ(controllerNow("0000A001")["power"], false);
  EXPECT_EQ(controllerNow("0000A002")["power"], true);
}

TEST_F(MainDialogTest, RowMenuOffersWhatTheHubAllowsAndAddListsIt) {
  start("two_hubs");
  ASSERT_NE(openMain(), nullptr);
  const HWND list = GetDlgItem(main_, IDC_MAIN_DEVICE_LIST);
  const auto rowMenu = [&](int row) {
    selectRow(list, row);
    return menuAfter([&] { notify(main_, IDC_MAIN_DEVICE_LIST, NM_RCLICK, row); });
  };
  std::vector<MenuItem> menu{{L"HUB Power ON", ID_HUB_POWER_ON, false, true},
                             {L"HUB Power Off", ID_HUB_POWER_OFF},
                             {L"", 0, true, true},
                             {L"ADD Auto Recovery List", ID_ADD_AUTO_RECOVERY_LIST}};
  EXPECT_EQ(rowMenu(0), menu);
  menu[3].grayed = true;
  EXPECT_EQ(rowMenu(1), menu);  // nothing on the port to watch
  selectRow(list, 0);
  ASSERT_TRUE(press(main_, ID_ADD_AUTO_RECOVERY_LIST));
  EXPECT_TRUE(isListed(L"0000A001") && !isListed(L"0000A002"));
  EXPECT_EQ(rowMenu(0), menu);
  // No row selected: no menu, which would keep the handler from returning.
  selectRow(list, -1);
  EXPECT_EQ(notify(main_, IDC_MAIN_DEVICE_LIST, NM_RCLICK).wait_for(kWaitLimit),
            std::future_status::ready);
}

TEST_F(MainDialogTest, AutoRecoveryCheckBoxShowsAndSwitchesTheWatchdog) {
  start("two_hubs", [] { ASSERT_NE(Hub_StartAutoRecovery(), 0); });
  ASSERT_NE(openMain(), nullptr);
  const HWND box = GetDlgItem(main_, IDC_MAIN_AUTO_RECOVERY);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  for (const auto& [check, running] : {std::pair{BST_UNCHECKED, 0}, {BST_CHECKED, 1}}) {
    SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), check);
    EXPECT_EQ(Hub_GetAutoRecoveryStatus(), running);
  }
}

}  // namespace
}  // namespace talvane::gui_test
