#include "talvane_window_fixture.h"

#include <korvex.h>

#include "talvane/resources/resource.h"
#include "world_file.h"

namespace talvane::gui_test {

namespace {

// The library instance is this process's: what one test leaves in it, the
// next would see.
void resetLibrary() {
  Hub_StopAutoRecovery();
  HubDeviceInfo listed{};
  for (int guard = 0; guard < 64 && Hub_GetAutoCheckDeviceInfoIndex(&listed, 0) != 0; ++guard) {
    Hub_DeleteAutoCheckDeviceInfo(&listed);
  }
}

}  // namespace

void TalvaneWindowTest::startWith(std::string_view scenario, const std::function<void()>& prepare) {
  loadScenario(scenario);
  resetLibrary();
  if (prepare) prepare();
  app_.emplace();
  ASSERT_TRUE(app_->ready()) << "no \"TrayWnd\" window";
}

void TalvaneWindowTest::TearDown() {
  if (!app_) return;
  const auto exitCode = app_->stop();
  ASSERT_TRUE(exitCode.has_value()) << "the program did not end after EXIT";
  EXPECT_EQ(*exitCode, 0);
  app_.reset();
}

bool TalvaneWindowTest::listHub(const wchar_t* serial) {
  HubDeviceInfo hub{};
  // A lookup by serial reads the table of the last scan.
  return Hub_GetDeviceInfo(&hub) != 0 && Hub_GetDeviceInfoSerial(&hub, serial) != 0 &&
         Hub_SetAutoCheckDeviceInfo(&hub) != 0;
}

bool TalvaneWindowTest::isListed(const wchar_t* serial) {
  HubDeviceInfo hub{};
  return Hub_GetAutoCheckDeviceInfoSerial(&hub, serial) != 0;
}

HWND TalvaneWindowTest::openMainDialog() {
  app_->postCommand(ID_SETUP);
  return waitForDialog(app_->windows(), kMainCaption);
}

HWND TalvaneWindowTest::startWithMainDialog(std::string_view scenario,
                                            const std::function<void()>& prepare) {
  startWith(scenario, prepare);
  return app_->tray() != nullptr ? openMainDialog() : nullptr;
}

HWND TalvaneWindowTest::deviceList(HWND dialog) const {
  return GetDlgItem(dialog, IDC_MAIN_DEVICE_LIST);
}

std::vector<MenuItem> TalvaneWindowTest::trayMenu(UINT mouseMessage) {
  app_->postToTray(WM_TRAYNOTIFY, kTrayIconId, mouseMessage);
  const HWND menu = waitForPopupMenu(app_->windows());
  if (menu == nullptr) return {};
  auto items = readPopupMenu(menu);
  EXPECT_TRUE(closePopupMenu(menu));
  return items;
}

std::shared_future<void> TalvaneWindowTest::notify(HWND dialog, int control, UINT code, int row) {
  auto note = std::make_unique<NMITEMACTIVATE>();
  note->hdr.hwndFrom = GetDlgItem(dialog, control);
  note->hdr.idFrom = static_cast<UINT_PTR>(control);
  note->hdr.code = code;
  note->iItem = row;
  const LPARAM record = reinterpret_cast<LPARAM>(note.get());
  notifications_.push_back(std::move(note));
  return app_->sendInBackground(dialog, WM_NOTIFY, static_cast<WPARAM>(control), record);
}

std::shared_future<void> TalvaneWindowTest::notifyFromList(HWND dialog, int row, UINT code) {
  return notify(dialog, IDC_MAIN_DEVICE_LIST, code, row);
}

std::vector<MenuItem> TalvaneWindowTest::rowMenu(HWND dialog, int row) {
  selectOnlyRow(deviceList(dialog), row);
  notifyFromList(dialog, row, NM_RCLICK);
  const HWND menu = waitForPopupMenu(app_->windows());
  if (menu == nullptr) return {};
  auto items = readPopupMenu(menu);
  EXPECT_TRUE(closePopupMenu(menu));
  return items;
}

void TalvaneWindowTest::chooseForRow(HWND dialog, int row, UINT command) {
  selectOnlyRow(deviceList(dialog), row);
  PostMessageW(dialog, WM_COMMAND, command, 0);
}

std::vector<Row> TalvaneWindowTest::rowsChangedFrom(HWND list, const std::vector<Row>& before) {
  std::vector<Row> now;
  waitUntil([&] {
    now = allRows(list);
    return now != before;
  });
  // The first change may be seen while the refresh is still filling the
  // rows: read them again once everything posted so far has been handled.
  if (app().drainPostedMessages(GetParent(list))) now = allRows(list);
  return now;
}

std::vector<Row> TalvaneWindowTest::rowsAfterChoosing(HWND dialog, int row, UINT command) {
  const HWND list = deviceList(dialog);
  const auto before = allRows(list);
  chooseForRow(dialog, row, command);
  return rowsChangedFrom(list, before);
}

}  // namespace talvane::gui_test
