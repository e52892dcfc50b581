// The tray icon's menu and the SETUP command.
#include <gtest/gtest.h>

#include "talvane/resources/resource.h"
#include "talvane_window_fixture.h"

namespace talvane::gui_test {
namespace {

using TrayTest = TalvaneWindowTest;

TEST_F(TrayTest, RightClickShowsExitSeparatorSetup) {
  startWith("two_hubs");
  const auto items = trayRightClickMenu();
  ASSERT_EQ(items.size(), 3u);
  EXPECT_EQ(items[0].text, L"EXIT(&X)");
  EXPECT_EQ(items[0].id, static_cast<UINT>(ID_APP_EXIT));
  EXPECT_TRUE(items[1].separator);
  EXPECT_EQ(items[2].text, L"SETUP(&S)");
  EXPECT_EQ(items[2].id, static_cast<UINT>(ID_SETUP));
  EXPECT_FALSE(items[0].grayed);
  EXPECT_FALSE(items[2].grayed);
  // The closed menu chose nothing: no dialog, the program runs on.
  EXPECT_TRUE(app().drainPostedMessages(app().tray()));
  EXPECT_TRUE(dialogsCaptioned(app().windows(), kMainCaption).empty());
  EXPECT_FALSE(app().ended());
}

TEST_F(TrayTest, LeftClickShowsExitOnly) {
  startWith("two_hubs");
  // The menu waits for the double-click time to pass.
  const HWND menu = openTrayMenu(WM_LBUTTONDOWN);
  ASSERT_NE(menu, nullptr);
  const auto items = readPopupMenu(menu);
  EXPECT_TRUE(closePopupMenu(menu));
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].text, L"EXIT(&X)");
  EXPECT_EQ(items[0].id, static_cast<UINT>(ID_APP_EXIT));
}

TEST_F(TrayTest, ClicksOnAnotherIconAreIgnored) {
  startWith("two_hubs");
  app().postToTray(WM_TRAYNOTIFY, kTrayIconId + 1, WM_RBUTTONUP);
  ASSERT_TRUE(app().drainPostedMessages(app().tray()));
  EXPECT_TRUE(visibleWindows(app().windows()).empty());
}

TEST_F(TrayTest, SetupOpensTheMainDialogWithItsColumns) {
  const HWND dialog = startWithMainDialog("two_hubs");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(columnTitles(deviceList(dialog)),
            (std::vector<std::wstring>{L"No", L"PIC Serial", L"HUB Power", L"Device Status", L"VID",
                                       L"PID", L"Product Name"}));
  EXPECT_EQ(windowText(GetDlgItem(dialog, IDC_MAIN_CLOSE)), L"Close");
  EXPECT_EQ(windowText(GetDlgItem(dialog, IDC_MAIN_AUTO_RECOVERY_LIST)), L"Auto Recovery List");
  EXPECT_EQ(windowText(GetDlgItem(dialog, IDC_MAIN_AUTO_RECOVERY)), L"Auto Recovery");
}

TEST_F(TrayTest, SetupWhileTheDialogIsOpenOpensNoSecondOne) {
  const HWND dialog = startWithMainDialog("two_hubs");
  ASSERT_NE(dialog, nullptr);
  app().postCommand(ID_SETUP);
  ASSERT_TRUE(app().drainPostedMessages(app().tray()));
  EXPECT_EQ(dialogsCaptioned(app().windows(), kMainCaption), std::vector<HWND>{dialog});
}

TEST_F(TrayTest, CloseButtonEndsTheDialogAndTheProgramRunsOn) {
  const HWND dialog = startWithMainDialog("two_hubs");
  ASSERT_NE(dialog, nullptr);
  PostMessageW(GetDlgItem(dialog, IDC_MAIN_CLOSE), BM_CLICK, 0, 0);
  EXPECT_TRUE(waitUntilGone(dialog));
  EXPECT_FALSE(app().ended());
  // And it opens again.
  EXPECT_NE(openMainDialog(), nullptr);
}

TEST_F(TrayTest, ExitWhileTheRowMenuIsOpenEndsTheProgram) {
  const HWND dialog = startWithMainDialog("two_hubs");
  ASSERT_NE(dialog, nullptr);
  selectOnlyRow(deviceList(dialog), 0);
  notifyFromList(dialog, 0, NM_RCLICK);
  ASSERT_NE(waitForPopupMenu(app().windows()), nullptr);
  EXPECT_EQ(app().stop(), std::optional<int>(0));
}

TEST_F(TrayTest, ChoosingSetupFromTheTrayMenuOpensTheMainDialog) {
  startWith("two_hubs");
  const HWND menu = openTrayMenu(WM_RBUTTONUP);
  ASSERT_NE(menu, nullptr);
  // The item's mnemonic, as typed while the menu is open.
  PostMessageW(menu, WM_CHAR, L's', 0);
  EXPECT_NE(waitForDialog(app().windows(), kMainCaption), nullptr);
}

TEST_F(TrayTest, ChoosingExitFromTheTrayMenuEndsTheProgram) {
  startWith("two_hubs");
  const HWND menu = openTrayMenu(WM_RBUTTONUP);
  ASSERT_NE(menu, nullptr);
  PostMessageW(menu, WM_CHAR, L'x', 0);
  EXPECT_TRUE(waitUntil([&] { return app().ended(); }));
}

}  // namespace
}  // namespace talvane::gui_test
