// The fixture of the maintenance dialogs' window tests: the steps that open
// the status dialog, the auto recovery list and the log viewer, press their
// buttons, type into their edits and answer their message boxes, all by
// messages to the program's UI thread.
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "talvane_window_fixture.h"

namespace talvane::gui_test {

inline constexpr wchar_t kLogViewerCaption[] = L"Talvane Log";

class DialogWindowTest : public TalvaneWindowTest {
 protected:
  // The main dialog, then the status dialog of the row by a double click;
  // null when either does not open.
  HWND openStatusDialog(int row);
  // The main dialog, then its "Auto Recovery List".
  HWND openAutoRecoveryList();
  // "Show Log" of the auto recovery list.
  HWND openLogViewer(HWND autoRecoveryList);

  // The main dialog opened by the steps above.
  HWND mainDialog() const { return main_; }

  // BN_CLICKED of the button, posted; true once the dialog has handled it,
  // or opened a modal window from it that now runs.
  bool press(HWND dialog, int button);
  // Presses the button and waits until the dialog has closed.
  bool pressToClose(HWND dialog, int button);
  // A key press (WM_KEYDOWN) posted to the control through the program's
  // message loop; true once it and the characters it makes are handled.
  bool typeKey(HWND control, UINT virtualKey);

  // The visible message box with this text; null after the time-out.
  HWND waitForMessageBox(const std::wstring& text, std::chrono::milliseconds limit = kWaitLimit);
  // Answers the message box with its button (IDOK, IDCANCEL); true once
  // the program has acted on the answer.
  bool answer(HWND box, int button);

 private:
  HWND main_ = nullptr;
};

std::wstring itemText(HWND dialog, int item);
void setItemText(HWND dialog, int item, const std::wstring& text);

}  // namespace talvane::gui_test
