// Start-up when the tray window cannot be created: nothing could end a
// message loop without it, so start-up fails instead of running one.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <thread>

#include "talvane/shell/talvane_app.h"

namespace talvane::gui_test {
namespace {

// A tray window whose creation fails in WM_CREATE.
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
  // Were a message loop to run, the join would not return (ctest's time-out).
  std::thread([&] { exitCode = AppWithoutTray().RunApplication(); }).join();
  EXPECT_EQ(exitCode, CTalvaneApp::kStartupFailed);
  const HANDLE mutex = CreateMutexW(nullptr, FALSE, L"TALVANE");
  EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  CloseHandle(mutex);
}

}  // namespace
}  // namespace talvane::gui_test
