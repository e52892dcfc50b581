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
#include "window_search.h"

namespace talvane::gui_test {
namespace {

// The program under the camera, and the steps the shots share.
class Session {
 public:
  Session() : program_(korvex::wine::ownFolder()) {}

  bool start() {
    tray_ = program_.started() ? program_.waitForTray() : nullptr;
    return tray_ != nullptr;
  }

  // Ends the program as EXIT does; the destructor ends it by force if not.
  void end() {
    PostMessageW(tray_, WM_COMMAND, ID_APP_EXIT, 0);
    program_.waitForExit(5s);
  }

  HWND openMainDialog() {
    PostMessageW(tray_, WM_COMMAND, ID_SETUP, 0);
    const HWND dialog = waitForDialog(program_.windows(), L"Talvane");
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
    return waitForPopupMenu(program_.windows());
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

struct Shot {
  const char* name;
  bool (*take)(Session& session, const std::wstring& out);
};

constexpr Shot kShots[] = {
    {"main-dialog", &mainDialog},
    {"row-menu", &rowMenu},
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
