// talvane.exe as a person starts and ends it: hidden at start with its
// icon in the notification area, one instance at a time, EXIT from any
// state, and its icon back after the shell restarts.
#include <gtest/gtest.h>

#include <string>

#include "app_process.h"
#include "child_process.h"
#include "folder_files.h"
#include "talvane/resources/resource.h"

namespace talvane::gui_test {
namespace {

class TalvaneProcessTest : public ::testing::Test {
 protected:
  // A folder of its own per test: no store or log is shared.
  void SetUp() override {
    static int count = 0;
    folder_ = korvex::wine::ownFolder() + L"app-" + std::to_wstring(++count) + L"\\";
    ASSERT_TRUE(prepareAppFolder(folder_, "two_hubs"));
  }

  // Starts talvane.exe and waits for its tray window and icon; the tray
  // window, or null.
  HWND startProgram() {
    program_.emplace(folder_);
    if (!program_->started()) return nullptr;
    const HWND tray = program_->waitForTray();
    if (tray == nullptr || !waitUntil([&] { return trayIconExists(tray); })) return nullptr;
    return tray;
  }

  // SETUP, and the main dialog once it shows; null if it does not.
  HWND openMainDialog(HWND tray) {
    PostMessageW(tray, WM_COMMAND, ID_SETUP, 0);
    return waitForDialog(program_->windows(), L"Talvane");
  }

  // EXIT, and the exit code if the program ends within a few seconds.
  std::optional<DWORD> exitProgram(HWND tray) {
    PostMessageW(tray, WM_COMMAND, ID_APP_EXIT, 0);
    return program_->waitForExit(5s);
  }

  std::wstring folder_;
  std::optional<AppProcess> program_;
};

TEST_F(TalvaneProcessTest, StartsHiddenWithItsIcon) {
  const HWND tray = startProgram();
  ASSERT_NE(tray, nullptr) << "no tray window with an icon";
  EXPECT_TRUE(program_->waitUntilIdle());
  EXPECT_FALSE(IsWindowVisible(tray));
  EXPECT_TRUE(visibleWindows(program_->windows()).empty());
}

TEST_F(TalvaneProcessTest, SecondStartEndsAtOnceAndTheFirstRunsOn) {
  const HWND tray = startProgram();
  ASSERT_NE(tray, nullptr);

  AppProcess second(folder_);
  ASSERT_TRUE(second.started());
  EXPECT_TRUE(second.waitForExit(5s).has_value()) << "the second instance runs on";
  EXPECT_TRUE(program_->running());
  EXPECT_TRUE(trayIconExists(tray));
}

TEST_F(TalvaneProcessTest, ExitEndsWithZeroAndTheStoreIsThere) {
  const HWND tray = startProgram();
  ASSERT_NE(tray, nullptr);
  EXPECT_EQ(exitProgram(tray), std::optional<DWORD>(0));
  EXPECT_TRUE(fileExists(folder_ + L"korvex.dat"));
  EXPECT_FALSE(trayIconExists(tray)) << "the icon outlives the program";
}

TEST_F(TalvaneProcessTest, ExitWhileTwoDialogsAreOpenEndsCleanly) {
  const HWND tray = startProgram();
  ASSERT_NE(tray, nullptr);
  const HWND mainDialog = openMainDialog(tray);
  ASSERT_NE(mainDialog, nullptr);
  PostMessageW(GetDlgItem(mainDialog, IDC_MAIN_AUTO_RECOVERY_LIST), BM_CLICK, 0, 0);
  ASSERT_NE(waitForDialog(program_->windows(), L"Auto Recovery Device List"), nullptr);

  EXPECT_EQ(exitProgram(tray), std::optional<DWORD>(0));
}

TEST_F(TalvaneProcessTest, ExitWhileAutoRecoveryRunsEndsCleanly) {
  const HWND tray = startProgram();
  ASSERT_NE(tray, nullptr);
  const HWND mainDialog = openMainDialog(tray);
  ASSERT_NE(mainDialog, nullptr);
  const HWND box = GetDlgItem(mainDialog, IDC_MAIN_AUTO_RECOVERY);
  PostMessageW(box, BM_CLICK, 0, 0);
  ASSERT_TRUE(waitUntil([&] { return SendMessageW(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }));

  EXPECT_EQ(exitProgram(tray), std::optional<DWORD>(0));
}

TEST_F(TalvaneProcessTest, TaskbarCreatedBringsTheIconBack) {
  const HWND tray = startProgram();
  ASSERT_NE(tray, nullptr);
  ASSERT_TRUE(deleteTrayIcon(tray));
  ASSERT_FALSE(trayIconExists(tray));

  PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(waitUntil([&] { return trayIconExists(tray); }));
  EXPECT_TRUE(program_->running());
}

}  // namespace
}  // namespace talvane::gui_test
