// Start-up when the tray window cannot be created: without it nothing could
// end the message loop, so start-up fails instead of running one.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <thread>

#include "talvane/shell/talvane_app.h"

namespace talvane::gui_test {
namespace {

// A tray window whose creation fails in WM_CREATE, as a failing default
// creation would.
class UncreatableTrayWnd : public CMyApplicationTrayWnd {
 public:
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (message == WM_CREATE) {
      result = -1;
      return true;
    }
    return CMyApplicationTrayWnd::OnMessage(message, wParam, lParam, result);
  }
};

class AppWithoutTray : public CTalvaneApp {
 protected:
  std::unique_ptr<CMyApplicationTrayWnd> MakeTrayWindow() override {
    return std::make_unique<UncreatableTrayWnd>();
  }
};

TEST(StartupFailureTest, EndsWithAFailureAtOnceAndReleasesTheMutex) {
  int exitCode = -1;
  // On a thread of its own, as the UI thread of the other tests; were a
  // message loop to run, the join would never return (ctest's time-out).
  std::thread ui([&] {
    AppWithoutTray app;
    exitCode = app.RunApplication();
  });
  ui.join();
  EXPECT_EQ(exitCode, CTalvaneApp::kStartupFailed);

  // The single-instance mutex went with the failed start.
  HANDLE mutex = CreateMutexW(nullptr, FALSE, L"TALVANE");
  EXPECT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  CloseHandle(mutex);
}

}  // namespace
}  // namespace talvane::gui_test
