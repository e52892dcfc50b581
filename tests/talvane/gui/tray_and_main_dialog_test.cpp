// The program in the notification area, its start, its icon's menus and the
// main dialog: one row per hub, refreshed when the machine's devices change,
// the row menu's commands and the Auto Recovery check box.
#include <korvex.h>
#include <process.h>

#include <memory>
#include <thread>

#include "talvane/resources/resource.h"
#include "talvane/shell/talvane_app.h"
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
  openMain();
}

using Rows = std::vector<std::wstring>;

// One row per hub in table order, and the first row once its device is
// gone: refreshed by the device-change event alone, and by the power
// command, which switches only that hub.
TEST_F(MainDialogTest, RowsShowTheHubsAndFollowTheDevNodesChangedEventAndThePowerCommand) {
  start("two_hubs");
  openMain();
  const HWND list = GetDlgItem(main_, IDC_MAIN_DEVICE_LIST);
  const Rows before = rowsOf(list);
  ASSERT_EQ(before, (Rows{L"1|0000A001|ON|DeviceConnected|0x4E21|0x1000|USB Flash Disk",
                          L"2|0000A002|ON|NoDeviceConnected|||"}));
  changeWorld([](Json& world) {
    hubPort(world, "0000A001")["/device/hub/ports/0"_json_pointer] = nullptr;
  });
  for (const WPARAM event : {DBT_DEVICEARRIVAL, DBT_DEVNODES_CHANGED}) {
    EXPECT_EQ(rowsOf(list), before);
    SendMessageW(tray_, WM_DEVICECHANGE, event, 0);
  }
  EXPECT_EQ(rowsOf(list), (Rows{L"1|0000A001|ON|NoDeviceConnected|||", before[1]}));
  loadWorld("two_hubs");
  selectRow(list, 0);
  ASSERT_TRUE(press(main_, ID_HUB_POWER_OFF));
  EXPECT_EQ(rowsOf(list), (Rows{L"1|0000A001|OFF|NoDeviceConnected|||", before[1]}));
  EXPECT_EQ(controllerNow("0000A001")["power"], false);
  EXPECT_EQ(controllerNow("0000A002")["power"], true);
}

TEST_F(MainDialogTest, RowMenuOffersWhatTheHubAllowsAndAddListsIt) {
  start("two_hubs");
  openMain();
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
  openMain();
  const HWND box = GetDlgItem(main_, IDC_MAIN_AUTO_RECOVERY);
  EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
  for (const auto& [check, running] : {std::pair{BST_UNCHECKED, 0}, {BST_CHECKED, 1}}) {
    SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), check);
    EXPECT_EQ(Hub_GetAutoRecoveryStatus(), running);
  }
}

// Start-up when the tray window cannot be created (here: in WM_CREATE):
// nothing could end a message loop without it, so start-up fails at once.
struct UncreatableTrayWnd : CMyApplicationTrayWnd {
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (message != WM_CREATE) {
      return CMyApplicationTrayWnd::OnMessage(message, wParam, lParam, result);
    }
    result = -1;
    return true;
  }
};

struct AppWithoutTray : CTalvaneApp {
  std::unique_ptr<CMyApplicationTrayWnd> MakeTrayWindow() override {
    return std::make_unique<UncreatableTrayWnd>();
  }
};

TEST(StartupFailureTest, EndsWithAFailureAtOnceAndReleasesTheMutex) {
  int exitCode = -1;
  std::thread([&] { exitCode = AppWithoutTray().RunApplication(); }).join();
  EXPECT_EQ(exitCode, CTalvaneApp::kStartupFailed);
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, L"TALVANE");
  EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  CloseHandle(mutex);
}

}  // namespace
}  // namespace talvane::gui_test
