// The auto recovery list dialog and the log viewer above it: the listed
// hubs and their removal, the two settings and when they reach the library,
// "Delete Log", the log as a table, and EXIT while they are open.
#include <korvex.h>

#include <algorithm>

#include "talvane/resources/resource.h"
#include "window_test.h"

namespace talvane::gui_test {
namespace {

using AutoListTest = WindowTest;
using Rows = std::vector<std::wstring>;

const std::wstring kLog = besideProgram(L"korvex.log");

// Moves the current folder to one with a log of its own, which a dialog
// that wrongly used the current folder would show or delete; its path.
std::wstring decoyLogElsewhere() {
  const std::wstring folder = besideProgram(L"elsewhere\\");
  CreateDirectoryW(folder.c_str(), nullptr);
  SetCurrentDirectoryW(folder.c_str());
  writeFile(folder + L"korvex.log", "2001/01/01 00:00:00,DECOY,3,0x0000,0x0000,Decoy\r\n");
  return folder + L"korvex.log";
}

TEST_F(AutoListTest, ShowsTheLibrarysOrderAndRemovesThroughTheRowMenu) {
  start("dialog_hubs", [] { ASSERT_TRUE(listHub(L"0000000F") && listHub(L"0000000A")); });
  const HWND dialog = openAutoList();
  const HWND list = GetDlgItem(dialog, IDC_AUTO_LIST);
  ASSERT_EQ(rowsOf(list), (Rows{L"1|0000000F|0x0C45|0x6366|HD Webcam",
                                L"2|0000000A|0x4E21|0x1000|USB Flash Disk"}));
  selectRow(list, 0);
  EXPECT_EQ(menuAfter([&] { notify(dialog, IDC_AUTO_LIST, NM_RCLICK); }),
            (std::vector<MenuItem>{{L"Remove Auto Recovery List", ID_REMOVE_AUTO_RECOVERY_LIST}}));
  ASSERT_TRUE(press(dialog, ID_REMOVE_AUTO_RECOVERY_LIST));
  EXPECT_EQ(rowsOf(list), Rows{L"1|0000000A|0x4E21|0x1000|USB Flash Disk"});
  EXPECT_TRUE(!isListed(L"0000000F") && isListed(L"0000000A"));
  selectRow(list, 0);
  ASSERT_TRUE(press(dialog, ID_REMOVE_AUTO_RECOVERY_LIST));
  EXPECT_TRUE(rowsOf(list).empty() && !isListed(L"0000000A"));
  // Nothing left to offer a menu for: the handler returns.
  EXPECT_EQ(notify(dialog, IDC_AUTO_LIST, NM_RCLICK).wait_for(kWaitLimit),
            std::future_status::ready);
}

// Interval Time and Off Time, shown and typed, stay in 1..255. Cancel drops
// them; OK hands them over and restarts a running watchdog, whose first
// check then soon logs the listed hub's missing device (255 s away under
// the old interval), but starts no stopped one.
TEST_F(AutoListTest, SettingsStayInRangeAndOkHandsThemOverToARestartedWatchdog) {
  DeleteFileW(kLog.c_str());
  start("dialog_hubs", [] {
    ASSERT_TRUE(listHub(L"0000000A"));
    changeWorld([](Json& world) {
      hubPort(world, "0000000A")["/device/hub/ports/0"_json_pointer] = nullptr;
    });
    Hub_SetAutoCheckTimeInfo(255, 200);
    ASSERT_NE(Hub_StartAutoRecovery(), 0);
  });
  for (const auto& [button, kept] : {std::pair{IDCANCEL, L"255 200"}, {IDOK, L"1 255"}}) {
    const HWND dialog = openAutoList();
    const auto shown = [&] {
      return itemText(dialog, IDC_AUTO_INTERVAL_EDIT) + L" " +
             itemText(dialog, IDC_AUTO_OFF_TIME_EDIT);
    };
    EXPECT_EQ(shown(), L"255 200");
    SetDlgItemTextW(dialog, IDC_AUTO_INTERVAL_EDIT, L"0");
    SetDlgItemTextW(dialog, IDC_AUTO_OFF_TIME_EDIT, L"256");
    // The spin's range reaches 0; the edit does not show it.
    ASSERT_TRUE(typeKey(GetDlgItem(dialog, IDC_AUTO_INTERVAL_EDIT), VK_DOWN));
    EXPECT_EQ(shown(), L"1 255");
    ASSERT_TRUE(press(dialog, button) && waitUntilGone(dialog));
    std::uint8_t interval = 0, offTime = 0;
    Hub_GetAutoCheckTimeInfo(&interval, &offTime);
    EXPECT_EQ(std::to_wstring(interval) + L" " + std::to_wstring(offTime), kept);
  }
  EXPECT_TRUE(waitUntil([] { return fileExists(kLog); }));
  Hub_StopAutoRecovery();
  const HWND dialog = openAutoList();
  ASSERT_TRUE(press(dialog, IDOK) && waitUntilGone(dialog));
  EXPECT_EQ(Hub_GetAutoRecoveryStatus(), 0);
}

TEST_F(AutoListTest, DeleteLogAsksAndDeletesTheLibrarysLogOnly) {
  start("dialog_hubs");
  ASSERT_TRUE(writeFile(kLog, "2026/03/07 09:05:00,0000000A,3,0x4E21,0x1000,Disk\r\n"));
  const std::wstring decoy = decoyLogElsewhere();
  const HWND dialog = openAutoList();
  for (const auto& [answered, kept] : {std::pair{IDCANCEL, true}, {IDOK, false}}) {
    ASSERT_TRUE(press(dialog, IDC_AUTO_DELETE_LOG));
    const HWND box = waitForMessageBox(L"Logファイルを削除します。\r\nよろしいですか？");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(textOf(box), L"Caution");
    ASSERT_TRUE(answer(box, answered));
    EXPECT_EQ(fileExists(kLog), kept);
  }
  EXPECT_TRUE(fileExists(decoy));
}

// The windows of the program's thread in the order they get WM_DESTROY.
std::vector<HWND> g_destroyed;

LRESULT CALLBACK recordDestroy(int code, WPARAM wParam, LPARAM lParam) {
  const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && sent->message == WM_DESTROY) g_destroyed.push_back(sent->hwnd);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The viewer reads the library's log while the library holds it open for
// appending, one row per line, oldest first. EXIT ends the dialogs
// innermost first, then the tray window that owns them.
TEST_F(AutoListTest, LogViewerShowsTheLibrarysLogAndExitEndsTheDialogsInnermostFirst) {
  start("dialog_hubs");
  ASSERT_TRUE(writeFile(kLog,
                        "2026/03/07 09:05:00,0000000A,3,0x4E21,0x1000,Disk, Model \x80\xE9\xFF\r\n"
                        "no commas here\n"));
  decoyLogElsewhere();
  const HANDLE appending = CreateFileW(kLog.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_READ,
                                       nullptr, OPEN_EXISTING, 0, nullptr);
  const HWND list = openAutoList();
  press(list, IDC_AUTO_SHOW_LOG);
  const HWND viewer = opened(L"Talvane Log");
  CloseHandle(appending);
  EXPECT_EQ(rowsOf(GetDlgItem(viewer, IDC_LOG_LIST)),
            (Rows{L"1|2026/03/07 09:05:00|0000000A|0x4E21|0x1000|Disk, Model \u0080\u00E9\u00FF",
                  L"2|no commas here||||"}));

  const std::vector<HWND> order{viewer, list, main_, tray_};
  const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, recordDestroy, nullptr, threadId_);
  EXPECT_EQ(stop(), 0);
  UnhookWindowsHookEx(hook);
  std::erase_if(g_destroyed, [&](HWND w) { return std::ranges::find(order, w) == order.end(); });
  EXPECT_EQ(g_destroyed, order);
}

}  // namespace
}  // namespace talvane::gui_test
