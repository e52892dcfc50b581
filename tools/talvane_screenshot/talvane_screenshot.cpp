// talvane_screenshot NAME OUT.bmp
//
// Takes one of the documentation's screenshots: starts talvane.exe from
// this program's folder (beside the simulator's korvex.dll and a
// world.json), brings it to the state the named shot shows by messages,
// copies that part of the screen into OUT.bmp and ends the program.
// scripts/screenshots.sh runs it once per shot under wine and turns the
// pictures into PNG files. A new shot is one more entry in kShots.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "app_process.h"
#include "child_process.h"
#include "remote_memory.h"
#include "screen_capture.h"
#include "talvane/resources/resource.h"
#include "window_probe.h"

namespace talvane::gui_test {
namespace {

// The program under the camera, and the steps the shots share.
class Session {
 public:
  Session() : program_(korvex::wine::ownFolder()) {}

  bool start() {
    tray_ = program_.waitForTray();
    return tray_ != nullptr;
  }

  // Ends the program as EXIT does; the destructor ends it by force if not.
  void end() {
    PostMessageW(tray_, WM_COMMAND, ID_APP_EXIT, 0);
    program_.waitForExit(5s);
  }

  HWND openMainDialog() {
    PostMessageW(tray_, WM_COMMAND, ID_SETUP, 0);
    const HWND dialog = waitForWindow(program_.windows(), kDialogClass, L"Talvane");
    if (dialog != nullptr) SetForegroundWindow(dialog);
    return dialog;
  }

  bool selectRow(HWND list, int row) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    RemoteMemory remote(program_.handle(), sizeof item);
    return remote.valid() && remote.write(item) &&
           SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), remote.address()) != 0;
  }

  // The row's rectangle in the list's client coordinates.
  std::optional<RECT> rowRect(HWND list, int row) {
    RECT rect{};
    rect.left = LVIR_BOUNDS;
    RemoteMemory remote(program_.handle(), sizeof rect);
    if (!remote.valid() || !remote.write(rect) ||
        SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), remote.address()) == 0 ||
        !remote.read(rect)) {
      return std::nullopt;
    }
    return rect;
  }

  // A double click on the row, as the list view reports it to the dialog.
  bool doubleClickRow(HWND list, int row) {
    const auto rect = rowRect(list, row);
    return rect && PostMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON,
                                MAKELPARAM(rect->left + 40, (rect->top + rect->bottom) / 2)) != 0;
  }

  // The dialog with this caption, brought to the front; null after the
  // time-out.
  HWND waitForDialogCaptioned(const wchar_t* caption) {
    const HWND dialog = waitForWindow(program_.windows(), kDialogClass, caption);
    if (dialog != nullptr) SetForegroundWindow(dialog);
    return dialog;
  }

  // A right click on the row, as the list view reports it to the dialog
  // (the notification itself cannot be sent from another process). The
  // pointer is put there first: the menu opens where the cursor is.
  HWND openRowMenu(HWND list, int row) {
    const auto rect = rowRect(list, row);
    if (!rect) return nullptr;
    POINT at{rect->left + 40, (rect->top + rect->bottom) / 2};
    const LPARAM position = MAKELPARAM(at.x, at.y);
    ClientToScreen(list, &at);
    SetCursorPos(at.x, at.y);
    PostMessageW(list, WM_RBUTTONDOWN, MK_RBUTTON, position);
    PostMessageW(list, WM_RBUTTONUP, 0, position);
    return waitForWindow(program_.windows(), kMenuClass);
  }

 private:
  AppProcess program_;
  HWND tray_ = nullptr;
};

// Lets the windows paint what they show now.
void letPaint(HWND window) {
  RedrawWindow(window, nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Sleep(500);
}

RECT rectOf(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

// The main dialog with the row selected and painted; null if the program
// did not get there.
HWND mainDialogWithRow(Session& session, int row) {
  const HWND dialog = session.openMainDialog();
  if (dialog == nullptr || !session.selectRow(GetDlgItem(dialog, IDC_MAIN_DEVICE_LIST), row)) {
    return nullptr;
  }
  letPaint(dialog);
  return dialog;
}

bool mainDialog(Session& session, const std::wstring& out) {
  const HWND dialog = mainDialogWithRow(session, 0);
  return dialog != nullptr && captureScreenArea(rectOf(dialog), out);
}

bool rowMenu(Session& session, const std::wstring& out) {
  const HWND dialog = mainDialogWithRow(session, 1);
  const HWND menu = dialog != nullptr
                        ? session.openRowMenu(GetDlgItem(dialog, IDC_MAIN_DEVICE_LIST), 1)
                        : nullptr;
  if (menu == nullptr) return false;
  Sleep(500);
  const bool captured = captureScreenArea(unite(rectOf(dialog), rectOf(menu)), out);
  PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  return captured;
}

// BN_CLICKED of the dialog's button, posted: what it opens does not hold
// this program up.
void press(HWND dialog, int button) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

// The first row's hub: its clock set from the computer's and read back,
// and the text its FRAM holds.
bool statusDialog(Session& session, const std::wstring& out) {
  const HWND dialog = mainDialogWithRow(session, 0);
  if (dialog == nullptr || !session.doubleClickRow(GetDlgItem(dialog, IDC_MAIN_DEVICE_LIST), 0)) {
    return false;
  }
  const HWND status = session.waitForDialogCaptioned(L"Status");
  if (status == nullptr) return false;
  for (int button : {IDC_STATUS_SET_RTC, IDC_STATUS_GET_RTC, IDC_STATUS_READ_FRAM}) {
    press(status, button);
  }
  const bool filled = waitUntil([&] {
    return !textOf(GetDlgItem(status, IDC_STATUS_RTC_TEXT)).empty() &&
           !textOf(GetDlgItem(status, IDC_STATUS_FRAM_EDIT)).empty();
  });
  if (!filled) return false;
  letPaint(status);
  return captureScreenArea(rectOf(status), out);
}

// The main dialog with the hubs of the rows numbered 1 and 3 added to the list, then
// its "Auto Recovery List"; null if the program did not get there.
HWND autoRecoveryListOfTwo(Session& session) {
  const HWND dialog = session.openMainDialog();
  if (dialog == nullptr) return nullptr;
  const HWND rows = GetDlgItem(dialog, IDC_MAIN_DEVICE_LIST);
  for (int row : {0, 2}) {
    // Sent, not posted: the next selection must wait for this addition.
    if (!session.selectRow(rows, row)) return nullptr;
    SendMessageW(dialog, WM_COMMAND, ID_ADD_AUTO_RECOVERY_LIST, 0);
  }
  press(dialog, IDC_MAIN_AUTO_RECOVERY_LIST);
  const HWND list = session.waitForDialogCaptioned(L"Auto Recovery Device List");
  if (list == nullptr || !waitUntil([&] {
        return SendMessageW(GetDlgItem(list, IDC_AUTO_LIST), LVM_GETITEMCOUNT, 0, 0) == 2;
      })) {
    return nullptr;
  }
  return list;
}

bool autoRecoveryList(Session& session, const std::wstring& out) {
  const HWND list = autoRecoveryListOfTwo(session);
  if (list == nullptr) return false;
  letPaint(list);
  return captureScreenArea(rectOf(list), out);
}

// A few recovery events as the watchdog logs them.
constexpr char kSampleLog[] =
    "2026/05/12 08:14:03,0000000C,0,0x33F0,0x4001,Barcode Scanner\r\n"
    "2026/05/12 09:30:41,0000000B,3,0x4E21,0x1000,USB Flash Disk\r\n"
    "2026/05/12 11:02:17,0000000C,2,0x33F0,0x4001,Barcode Scanner\r\n"
    "2026/05/13 07:45:09,0000000C,0,0x33F0,0x4001,Barcode Scanner\r\n";

bool logViewer(Session& session, const std::wstring& out) {
  // The log is read where the library keeps it: beside talvane.exe.
  if (!writeFile(korvex::wine::ownFolder() + L"korvex.log", kSampleLog)) return false;
  const HWND list = autoRecoveryListOfTwo(session);
  if (list == nullptr) return false;
  press(list, IDC_AUTO_SHOW_LOG);
  const HWND viewer = session.waitForDialogCaptioned(L"Talvane Log");
  if (viewer == nullptr) return false;
  letPaint(viewer);
  return captureScreenArea(rectOf(viewer), out);
}

struct Shot {
  const char* name;
  bool (*take)(Session& session, const std::wstring& out);
};

constexpr Shot kShots[] = {
    {"main-dialog", &mainDialog},     {"row-menu", &rowMenu},
    {"status-dialog", &statusDialog}, {"auto-recovery-list", &autoRecoveryList},
    {"log-viewer", &logViewer},
};

int usage() {
  std::fprintf(stderr, "usage: talvane_screenshot NAME OUT.bmp\nnames:");
  for (const Shot& shot : kShots) std::fprintf(stderr, " %s", shot.name);
  std::fprintf(stderr, "\n");
  return 2;
}

}  // namespace
}  // namespace talvane::gui_test

int main(int argc, char** argv) {
  using namespace talvane::gui_test;
  if (argc != 3) return usage();
  const Shot* chosen = nullptr;
  for (const Shot& shot : kShots) {
    if (std::strcmp(shot.name, argv[1]) == 0) chosen = &shot;
  }
  if (chosen == nullptr) return usage();
  const std::string outNarrow = argv[2];
  const std::wstring out(outNarrow.begin(), outNarrow.end());

  Session session;
  if (!session.start()) {
    std::fprintf(stderr, "talvane.exe did not start (no tray window)\n");
    return 1;
  }
  const bool taken = chosen->take(session, out);
  session.end();
  if (!taken) {
    std::fprintf(stderr, "%s: the program did not reach the state to capture\n", chosen->name);
    return 1;
  }
  return 0;
}
