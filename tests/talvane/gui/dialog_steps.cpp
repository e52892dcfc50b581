#include "dialog_steps.h"

#include "talvane/resources/resource.h"

namespace talvane::gui_test {

HWND DialogWindowTest::openStatusDialog(int row) {
  main_ = openMainDialog();
  if (main_ == nullptr) return nullptr;
  selectOnlyRow(deviceList(main_), row);
  notifyFromList(main_, row, NM_DBLCLK);
  return waitForDialog(app().windows(), kStatusCaption);
}

HWND DialogWindowTest::openAutoRecoveryList() {
  main_ = openMainDialog();
  if (main_ == nullptr || !press(main_, IDC_MAIN_AUTO_RECOVERY_LIST)) return nullptr;
  return waitForDialog(app().windows(), kAutoRecoveryListCaption);
}

HWND DialogWindowTest::openLogViewer(HWND autoRecoveryList) {
  if (!press(autoRecoveryList, IDC_AUTO_SHOW_LOG)) return nullptr;
  return waitForDialog(app().windows(), kLogViewerCaption);
}

bool DialogWindowTest::press(HWND dialog, int button) {
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
  // Through the tray window: a button that closes the dialog takes the
  // dialog's queue with it.
  return app().drainPostedMessages(app().tray());
}

bool DialogWindowTest::pressToClose(HWND dialog, int button) {
  return press(dialog, button) && waitUntilGone(dialog);
}

bool DialogWindowTest::typeKey(HWND control, UINT virtualKey) {
  const UINT scanCode = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
  PostMessageW(control, WM_KEYDOWN, virtualKey, static_cast<LPARAM>(1 | (scanCode << 16)));
  // The characters that TranslateMessage makes of the key are posted after
  // the key itself: a second round takes them too.
  return app().drainPostedMessages(control) && app().drainPostedMessages(control);
}

HWND DialogWindowTest::waitForMessageBox(const std::wstring& text,
                                         std::chrono::milliseconds limit) {
  return waitUntil(
      [&]() -> HWND {
        for (HWND window : visibleWindowsOfClass(app().windows(), kDialogClass)) {
          if (messageBoxText(window) == text) return window;
        }
        return nullptr;
      },
      limit);
}

bool DialogWindowTest::answer(HWND box, int button) {
  PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(box, button)));
  // The box goes before the code that showed it has acted on the answer.
  return waitUntilGone(box) && app().drainPostedMessages(app().tray());
}

std::wstring itemText(HWND dialog, int item) {
  return windowText(GetDlgItem(dialog, item));
}

void setItemText(HWND dialog, int item, const std::wstring& text) {
  SendMessageW(GetDlgItem(dialog, item), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace talvane::gui_test
