// talvane.exe as a person starts and ends it: hidden at start with its
// icon in the notification area, one instance at a time, its icon back
// after the shell restarts, and the store saved at EXIT.
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

  std::wstring folder_;
  std::optional<AppProcess> program_;
};

TEST_F(TalvaneProcessTest, RunsHiddenAloneKeepsItsIconAndSavesAtExit) {
  const HWND tray = startProgram();
  ASSERT_NE(tray, nullptr) << "no tray window with an icon";
  EXPECT_TRUE(program_->waitUntilIdle());
  EXPECT_TRUE(visibleWindows(program_->windows()).empty());

  AppProcess second(folder_);
  ASSERT_TRUE(second.started());
  EXPECT_TRUE(second.waitForExit(5s).has_value()) << "the second instance runs on";
  EXPECT_TRUE(program_->running());

  // The shell restarted: the icon comes back.
  ASSERT_TRUE(deleteTrayIcon(tray));
  PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(waitUntil([&] { return trayIconExists(tray); }));

  PostMessageW(tray, WM_COMMAND, ID_APP_EXIT, 0);
  EXPECT_EQ(program_->waitForExit(5s), std::optional<DWORD>(0));
  EXPECT_TRUE(fileExists(folder_ + L"korvex.dat"));
  EXPECT_FALSE(trayIconExists(tray)) << "the icon outlives the program";
}

}  // namespace
}  // namespace talvane::gui_test
