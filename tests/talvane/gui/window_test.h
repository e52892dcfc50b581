// The fixture of the window tests: the program's window code on a UI thread
// of this process (CTalvaneApp::RunApplication) over a scenario world,
// driven by messages from the test thread. What opens a modal dialog or a
// menu is posted, or sent from a helper thread (notify): sent from the test
// thread, it would not return until the dialog or menu closed.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <korvex.h>

#include <future>
#include <list>
#include <optional>

#include "talvane/resources/resource.h"
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

  // Waits until the program has taken every message posted to it so far:
  // handled it, or runs the modal loop it opened.
  bool drain() const;
  bool post(HWND window, UINT message, WPARAM wParam, LPARAM lParam = 0) const {
    return PostMessageW(window, message, wParam, lParam) && drain();
  }
  // BN_CLICKED of the button (or a command); a message box's answer, once
  // the code that showed the box has acted on it.
  bool press(HWND dialog, int button) const {
    return post(dialog, WM_COMMAND, button, reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
  }
  bool answer(HWND box, int button) const { return press(box, button) && waitUntilGone(box); }
  bool typeKey(HWND control, UINT virtualKey) const;
  // WM_NOTIFY from the control for the row; ready once handled.
  std::shared_future<void> notify(HWND dialog, int control, UINT code, int row = -1);
  std::vector<MenuItem> menuAfter(const std::function<void()>& open) {
    open();
    const HWND menu = waitForWindow(windows(), kMenuClass);
    return menu ? readAndCloseMenu(menu) : std::vector<MenuItem>{};
  }
  HWND waitForMessageBox(const std::wstring& text, std::chrono::milliseconds limit = kWaitLimit);

  // SETUP: the main dialog; then a row's status dialog (a double click), or
  // the "Auto Recovery List". A dialog that does not open fails the test.
  HWND openMain() {
    PostMessageW(tray_, WM_COMMAND, ID_SETUP, 0);
    return main_ = opened(L"Talvane");
  }
  HWND openStatus(int row) {
    selectRow(GetDlgItem(openMain(), IDC_MAIN_DEVICE_LIST), row);
    notify(main_, IDC_MAIN_DEVICE_LIST, NM_DBLCLK, row);
    return opened(L"Status");
  }
  HWND openAutoList() {
    press(openMain(), IDC_MAIN_AUTO_RECOVERY_LIST);
    return opened(L"Auto Recovery Device List");
  }
  HWND opened(const wchar_t* caption) {
    const HWND dialog = waitForWindow(windows(), kDialogClass, caption);
    if (!dialog) ADD_FAILURE() << "no dialog \"" << std::wstring(caption) << "\"";
    return dialog;
  }
  // Lists the hub as it is now (a lookup by serial reads the last scan).
  static bool listHub(const wchar_t* serial) {
    HubDeviceInfo hub{};
    return Hub_GetDeviceInfo(&hub) && Hub_GetDeviceInfoSerial(&hub, serial) &&
           Hub_SetAutoCheckDeviceInfo(&hub);
  }
  static bool isListed(const wchar_t* serial) {
    HubDeviceInfo hub{};
    return Hub_GetAutoCheckDeviceInfoSerial(&hub, serial) != 0;
  }

  HWND tray_ = nullptr, main_ = nullptr;
  DWORD threadId_ = 0;

 private:
  HANDLE thread_ = nullptr;
  int exitCode_ = -1;
  std::vector<std::shared_future<void>> senders_;
  std::list<NMITEMACTIVATE> notes_;
};

}  // namespace talvane::gui_test
