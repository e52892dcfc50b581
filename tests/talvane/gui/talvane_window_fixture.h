// The fixture of the in-process window tests: a scenario world, the
// library's list and watchdog reset, the program on its UI thread, and the
// steps a person takes with the tray icon and the main dialog.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app_thread.h"
#include "list_view.h"
#include "menu_reader.h"
#include "talvane/shell/tray_wnd.h"
#include "window_search.h"

namespace talvane::gui_test {

// Captions and texts of the program.
inline constexpr wchar_t kMainCaption[] = L"Talvane";
inline constexpr wchar_t kAutoRecoveryListCaption[] = L"Auto Recovery Device List";
inline constexpr wchar_t kStatusCaption[] = L"Status";

// WM_DEVICECHANGE's event for "a device was added or removed".
inline constexpr WPARAM kDevNodesChanged = 0x0007;

class TalvaneWindowTest : public ::testing::Test {
 protected:
  // Loads the scenario into the world, forgets what earlier tests left in
  // the library (auto recovery list, watchdog), runs `prepare` and starts
  // the program. The library's device queries are made from one thread at
  // a time: a test that needs them does so in `prepare`, before the
  // program's UI thread runs.
  void startWith(std::string_view scenario, const std::function<void()>& prepare = {});
  // Ends the program; it must end with exit code 0.
  void TearDown() override;

  AppThread& app() { return *app_; }

  // ID_SETUP, as the tray menu's SETUP does; the main dialog or null.
  HWND openMainDialog();
  // startWith, then openMainDialog.
  HWND startWithMainDialog(std::string_view scenario, const std::function<void()>& prepare = {});
  HWND deviceList(HWND dialog) const;

  // The menu that the tray icon's mouse message opens, read and closed.
  std::vector<MenuItem> trayMenu(UINT mouseMessage);
  // The row menu (a right click on the row), read and closed.
  std::vector<MenuItem> rowMenu(HWND dialog, int row);
  // The notification to the dialog from its control, for the row of a
  // list (-1: none), sent in the background; ready once the dialog's
  // handler has returned.
  std::shared_future<void> notify(HWND dialog, int control, UINT code, int row = -1);
  // NM_RCLICK / NM_DBLCLK from the main dialog's device list for the row.
  std::shared_future<void> notifyFromList(HWND dialog, int row, UINT code);
  // The row selected and the command sent to the dialog, as choosing it
  // from the row menu does.
  void chooseForRow(HWND dialog, int row, UINT command);

  // Puts the hub whose controller has this serial on the auto recovery
  // list, as it is now (for `prepare`). False when there is no such hub.
  static bool listHub(const wchar_t* serial);
  // Whether the hub is on the auto recovery list.
  static bool isListed(const wchar_t* serial);

  // Waits until the list's rows differ from `before`; the rows then.
  std::vector<Row> rowsChangedFrom(HWND list, const std::vector<Row>& before);
  // chooseForRow, then the rows once they have changed.
  std::vector<Row> rowsAfterChoosing(HWND dialog, int row, UINT command);

 private:
  std::optional<AppThread> app_;
  // The records of notify, alive as long as the sends may be.
  std::vector<std::unique_ptr<NMITEMACTIVATE>> notifications_;
};

}  // namespace talvane::gui_test
