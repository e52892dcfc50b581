// The fixture of the window tests: the program's window code on a UI thread
// of this process (CTalvaneApp::RunApplication) over a scenario world,
// driven by messages from the test thread. What opens a modal dialog or a
// menu is posted, or sent from a helper thread (notify): sent from the test
// thread, it would not return until the dialog or menu closed.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <future>
#include <list>
#include <optional>
#include <thread>

#include "window_probe.h"

namespace talvane::gui_test {

class WindowTest : public ::testing::Test {
 protected:
  // Loads the scenario, clears the library's list and stops its watchdog,
  // runs prepare (device queries are for one thread at a time) and starts
  // the program.
  void start(std::string_view scenario, const std::function<void()>& prepare = {});
  // EXIT; the exit code, nullopt when the program did not end in time.
  std::optional<int> stop();
  void TearDown() override;
  Owner windows() const { return {threadId_}; }

  // Waits until the program has taken every message posted so far to the
  // window (the tray window): handled it, or runs the modal loop it opened.
  bool drain(HWND window = nullptr) const;
  // BN_CLICKED of the button (or a command), posted and drained.
  bool press(HWND dialog, int button) const;
  bool typeKey(HWND control, UINT virtualKey) const;
  // WM_NOTIFY from the control for the row; ready once handled.
  std::shared_future<void> notify(HWND dialog, int control, UINT code, int row = -1);
  std::vector<MenuItem> menuAfter(const std::function<void()>& open);
  HWND waitForMessageBox(const std::wstring& text, std::chrono::milliseconds limit = kWaitLimit);
  // The box goes before the code that showed it acts on the answer: the
  // drain waits for that.
  bool answer(HWND box, int button) const { return press(box, button) && waitUntilGone(box); }

  // SETUP: the main dialog; then a row's status dialog (a double click), or
  // the "Auto Recovery List".
  HWND openMain();
  HWND openStatus(int row);
  HWND openAutoList();
  static std::wstring itemText(HWND dialog, int item) { return textOf(GetDlgItem(dialog, item)); }
  static bool listHub(const wchar_t* serial);  // as the hub is now
  static bool isListed(const wchar_t* serial);

  HWND tray_ = nullptr, main_ = nullptr;
  DWORD threadId_ = 0;

 private:
  HANDLE thread_ = nullptr;
  int exitCode_ = -1;
  std::vector<std::thread> senders_;
  std::list<NMITEMACTIVATE> notes_;
};

}  // namespace talvane::gui_test
