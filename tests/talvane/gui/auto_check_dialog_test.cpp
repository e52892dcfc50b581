// The auto recovery list dialog: the listed hubs and their removal, the two
// timing settings and when they reach the library, and "Delete Log".
#include <gtest/gtest.h>
#include <korvex.h>

#include <utility>

#include "dialog_steps.h"
#include "folder_files.h"
#include "talvane/resources/resource.h"
#include "world_file.h"

namespace talvane::gui_test {
namespace {

using AutoCheckDialogTest = DialogWindowTest;

constexpr wchar_t kDeleteLogQuestion[] = L"Logファイルを削除します。\r\nよろしいですか？";

std::pair<int, int> librarySettings() {
  std::uint8_t interval = 0;
  std::uint8_t offTime = 0;
  Hub_GetAutoCheckTimeInfo(&interval, &offTime);
  return {interval, offTime};
}

std::pair<std::wstring, std::wstring> shownSettings(HWND dialog) {
  return {itemText(dialog, IDC_AUTO_INTERVAL_EDIT), itemText(dialog, IDC_AUTO_OFF_TIME_EDIT)};
}

TEST_F(AutoCheckDialogTest, ListsTheLibrarysOrderAndRemovesThroughTheRowMenu) {
  startWith("dialog_hubs", [] {
    ASSERT_TRUE(listHub(L"0000000F"));
    ASSERT_TRUE(listHub(L"0000000A"));
  });
  const HWND dialog = openAutoRecoveryList();
  ASSERT_NE(dialog, nullptr);
  const HWND list = GetDlgItem(dialog, IDC_AUTO_LIST);
  const Row webcam{L"1", L"0000000F", L"0x0C45", L"0x6366", L"HD Webcam"};
  ASSERT_EQ(
      allRows(list),
      (std::vector<Row>{webcam, {L"2", L"0000000A", L"0x4E21", L"0x1000", L"USB Flash Disk"}}));

  selectOnlyRow(list, 0);
  notify(dialog, IDC_AUTO_LIST, NM_RCLICK);
  const HWND menu = waitForPopupMenu(app().windows());
  ASSERT_NE(menu, nullptr);
  const auto items = readPopupMenu(menu);
  ASSERT_TRUE(closePopupMenu(menu));
  const MenuItem* remove = findItem(items, L"Remove Auto Recovery List");
  ASSERT_TRUE(items.size() == 1 && remove != nullptr);
  EXPECT_EQ(remove->id, static_cast<UINT>(ID_REMOVE_AUTO_RECOVERY_LIST));

  const auto before = allRows(list);
  PostMessageW(dialog, WM_COMMAND, ID_REMOVE_AUTO_RECOVERY_LIST, 0);
  EXPECT_EQ(rowsChangedFrom(list, before),
            (std::vector<Row>{{L"1", L"0000000A", L"0x4E21", L"0x1000", L"USB Flash Disk"}}));
  EXPECT_FALSE(isListed(L"0000000F"));

  selectOnlyRow(list, 0);
  PostMessageW(dialog, WM_COMMAND, ID_REMOVE_AUTO_RECOVERY_LIST, 0);
  ASSERT_TRUE(app().drainPostedMessages(dialog));
  EXPECT_EQ(rowCount(list), 0);
  EXPECT_FALSE(isListed(L"0000000A"));
  // Nothing left to offer a menu for.
  const auto handled = notify(dialog, IDC_AUTO_LIST, NM_RCLICK);
  ASSERT_EQ(handled.wait_for(kWaitLimit), std::future_status::ready);
  EXPECT_EQ(waitForPopupMenu(app().windows(), 0ms), nullptr);
}

TEST_F(AutoCheckDialogTest, SettingsStayInRangeAndOnlyCloseHandsThemOver) {
  startWith("dialog_hubs", [] { Hub_SetAutoCheckTimeInfo(30, 200); });
  HWND dialog = openAutoRecoveryList();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(shownSettings(dialog), std::pair(std::wstring(L"30"), std::wstring(L"200")));

  setItemText(dialog, IDC_AUTO_INTERVAL_EDIT, L"0");
  setItemText(dialog, IDC_AUTO_OFF_TIME_EDIT, L"300");
  EXPECT_EQ(shownSettings(dialog), std::pair(std::wstring(L"1"), std::wstring(L"255")));
  // The spin's range reaches 0; the edit does not show it.
  ASSERT_TRUE(typeKey(GetDlgItem(dialog, IDC_AUTO_INTERVAL_EDIT), VK_DOWN));
  EXPECT_EQ(itemText(dialog, IDC_AUTO_INTERVAL_EDIT), L"1");

  ASSERT_TRUE(pressToClose(dialog, IDCANCEL));
  EXPECT_EQ(librarySettings(), std::pair(30, 200));

  ASSERT_TRUE(press(mainDialog(), IDC_MAIN_AUTO_RECOVERY_LIST));
  dialog = waitForDialog(app().windows(), kAutoRecoveryListCaption);
  ASSERT_NE(dialog, nullptr);
  setItemText(dialog, IDC_AUTO_INTERVAL_EDIT, L"7");
  setItemText(dialog, IDC_AUTO_OFF_TIME_EDIT, L"9");
  ASSERT_TRUE(pressToClose(dialog, IDOK));
  EXPECT_EQ(librarySettings(), std::pair(7, 9));
  // Recovery was off and stays off.
  EXPECT_EQ(Hub_GetAutoRecoveryStatus(), 0);
}

TEST_F(AutoCheckDialogTest, CloseRestartsARunningWatchdogWithTheNewInterval) {
  DeleteFileW(libraryLogFile().c_str());
  startWith("dialog_hubs", [] {
    ASSERT_TRUE(listHub(L"0000000A"));
    // Its device gone: the first check cycle logs that and switches it off.
    ASSERT_TRUE(unplugDevice(u"0000000A"));
    Hub_SetAutoCheckTimeInfo(255, 5);
    ASSERT_NE(Hub_StartAutoRecovery(), 0);
  });
  const HWND dialog = openAutoRecoveryList();
  ASSERT_NE(dialog, nullptr);
  setItemText(dialog, IDC_AUTO_INTERVAL_EDIT, L"1");
  ASSERT_TRUE(pressToClose(dialog, IDOK));
  EXPECT_EQ(Hub_GetAutoRecoveryStatus(), 1);
  // Under the old interval the first cycle, which logs the missing device
  // and switches the hub off, would be 255 s away.
  EXPECT_TRUE(waitUntil([] { return fileExists(libraryLogFile()); }));
  // The watchdog writes the world file; it is read once the watchdog is done.
  Hub_StopAutoRecovery();
  EXPECT_FALSE(controllerPowerIsOn(u"0000000A"));
}

TEST_F(AutoCheckDialogTest, DeleteLogAsksAndDeletesTheLibrarysLogOnly) {
  startWith("dialog_hubs");
  ASSERT_TRUE(writeFile(libraryLogFile(), "2026/03/07 09:05:00,0000000A,3,0x4E21,0x1000,Disk\r\n"));
  const CurrentFolderElsewhere elsewhere;
  const HWND dialog = openAutoRecoveryList();
  ASSERT_NE(dialog, nullptr);

  ASSERT_TRUE(press(dialog, IDC_AUTO_DELETE_LOG));
  HWND box = waitForMessageBox(kDeleteLogQuestion);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(captionOf(box), L"Caution");
  ASSERT_TRUE(answer(box, IDCANCEL));
  EXPECT_TRUE(fileExists(libraryLogFile()));

  ASSERT_TRUE(press(dialog, IDC_AUTO_DELETE_LOG));
  box = waitForMessageBox(kDeleteLogQuestion);
  ASSERT_NE(box, nullptr);
  ASSERT_TRUE(answer(box, IDOK));
  EXPECT_FALSE(fileExists(libraryLogFile()));
  EXPECT_TRUE(fileExists(elsewhere.decoyLog()));
}

}  // namespace
}  // namespace talvane::gui_test
