// The tray icon's menus, the SETUP command and the main dialog's frame.
#include <gtest/gtest.h>

#include "talvane/resources/resource.h"
#include "talvane_window_fixture.h"

namespace talvane::gui_test {
namespace {

using TrayTest = TalvaneWindowTest;

TEST_F(TrayTest, EachClickOpensItsMenuAndAClosedMenuChoosesNothing) {
  startWith("two_hubs");
  const MenuItem exit{L"EXIT(&X)", ID_APP_EXIT}, setup{L"SETUP(&S)", ID_SETUP};
  const MenuItem separator{L"", 0, true, true};  // a separator cannot be chosen
  // The left click's menu waits for the double-click time to pass.
  const std::pair<UINT, std::vector<MenuItem>> menus[] = {{WM_LBUTTONDOWN, {exit}},
                                                          {WM_RBUTTONUP, {exit, separator, setup}}};
  for (const auto& [mouse, items] : menus) EXPECT_EQ(trayMenu(mouse), items) << mouse;
  EXPECT_TRUE(app().drainPostedMessages(app().tray()));
  EXPECT_TRUE(visibleWindows(app().windows()).empty());
  // Another icon's clicks are not this program's.
  app().postToTray(WM_TRAYNOTIFY, kTrayIconId + 1, WM_RBUTTONUP);
  ASSERT_TRUE(app().drainPostedMessages(app().tray()));
  EXPECT_TRUE(visibleWindows(app().windows()).empty());
}

TEST_F(TrayTest, SetupOpensOneMainDialogWhichClosesAndOpensAgain) {
  const HWND dialog = startWithMainDialog("two_hubs");
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(columnTitles(deviceList(dialog)),
            (std::vector<std::wstring>{L"No", L"PIC Serial", L"HUB Power", L"Device Status", L"VID",
                                       L"PID", L"Product Name"}));
  app().postCommand(ID_SETUP);
  ASSERT_TRUE(app().drainPostedMessages(app().tray()));
  EXPECT_EQ(dialogsCaptioned(app().windows(), kMainCaption), std::vector<HWND>{dialog});

  PostMessageW(GetDlgItem(dialog, IDC_MAIN_CLOSE), BM_CLICK, 0, 0);
  EXPECT_TRUE(waitUntilGone(dialog));
  EXPECT_FALSE(app().ended());
  EXPECT_NE(openMainDialog(), nullptr);
}

}  // namespace
}  // namespace talvane::gui_test
