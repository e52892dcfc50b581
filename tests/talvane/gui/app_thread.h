// The program's windows in this process: CTalvaneApp::RunApplication() on a
// UI thread of its own, driven from the test thread by messages only.
//
// Anything that opens a modal dialog or a menu is posted, or sent from a
// helper thread (sendInBackground), never sent from the test thread, which
// would block until the dialog or menu closed. The end (stop(), or the
// destructor) posts ID_APP_EXIT to the tray window, which ends open modal
// loops first, and waits for the thread with a time-out; a program that
// does not end is reported and this test program ended, so that no test
// hangs.
#pragma once

#include <windows.h>

#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "wait_until.h"
#include "window_search.h"

namespace talvane::gui_test {

class AppThread {
 public:
  // Starts the UI thread; ready() waits for its tray window.
  AppThread();
  ~AppThread();
  AppThread(const AppThread&) = delete;
  AppThread& operator=(const AppThread&) = delete;

  // Waits until the tray window exists; false after the time-out.
  bool ready(std::chrono::milliseconds limit = kWaitLimit);

  DWORD threadId() const { return threadId_; }
  WindowOwner windows() const { return ofThread(threadId_); }
  // The hidden "TrayWnd" window, null before ready().
  HWND tray() const { return tray_; }

  // PostMessage to the tray window.
  void postToTray(UINT message, WPARAM wParam, LPARAM lParam) const;
  void postCommand(UINT command) const { postToTray(WM_COMMAND, command, 0); }

  // SendMessage from a helper thread, for messages whose handling opens a
  // modal dialog or a menu and that cannot be posted (WM_NOTIFY carries a
  // pointer). The helper threads are joined after the UI thread ends. The
  // future is ready once the handler has returned.
  std::shared_future<void> sendInBackground(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);

  // Waits until every message posted to the window so far has been taken
  // from the UI thread's queue, and so handled (or has opened a modal loop
  // that now runs). False after the time-out.
  bool drainPostedMessages(HWND window, std::chrono::milliseconds limit = kWaitLimit) const;

  // Ends the program as the EXIT command does and returns its exit code;
  // nullopt when it did not end in time (the test program then ends).
  std::optional<int> stop(std::chrono::milliseconds limit = kWaitLimit);

  // Whether RunApplication has returned.
  bool ended() const;

 private:
  static DWORD WINAPI run(void* self);

  HANDLE thread_ = nullptr;
  DWORD threadId_ = 0;
  HWND tray_ = nullptr;
  int exitCode_ = -1;
  std::vector<std::thread> senders_;
};

}  // namespace talvane::gui_test
