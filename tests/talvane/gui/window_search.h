// Finding the program's windows as a person would see them: dialogs by
// their caption, the tracked popup menu, message boxes by their text.
// Every search looks at top-level windows only, of one thread (in-process
// tests) or of one process (tests of talvane.exe).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "wait_until.h"

namespace talvane::gui_test {

// Whose windows to look at: the threadId's, or else the processId's.
struct WindowOwner {
  DWORD threadId = 0;
  DWORD processId = 0;
};

inline WindowOwner ofThread(DWORD threadId) {
  return {threadId, 0};
}
inline WindowOwner ofProcess(DWORD processId) {
  return {0, processId};
}

std::vector<HWND> topLevelWindows(WindowOwner owner);

// The text of a control, also of another process (WM_GETTEXT; empty when
// the window does not answer within 2 s).
std::wstring windowText(HWND window);
// The caption of a top-level window, read without a message: the window's
// thread may be busy, or not pumping messages yet.
std::wstring captionOf(HWND window);
std::wstring className(HWND window);

// The standard dialog class, and the class of a tracked popup menu.
inline constexpr wchar_t kDialogClass[] = L"#32770";
inline constexpr wchar_t kMenuClass[] = L"#32768";

// The visible top-level windows of the owner: of any class, of this class.
std::vector<HWND> visibleWindows(WindowOwner owner);
std::vector<HWND> visibleWindowsOfClass(WindowOwner owner, const std::wstring& windowClass);
// The visible dialogs with this caption.
std::vector<HWND> dialogsCaptioned(WindowOwner owner, const std::wstring& caption);
// The first top-level window with this caption, visible or not, or null.
HWND windowCaptioned(WindowOwner owner, const std::wstring& caption);

// Waits for a visible dialog with this caption; null after the time-out.
HWND waitForDialog(WindowOwner owner, const std::wstring& caption,
                   std::chrono::milliseconds limit = kWaitLimit);
// Waits for the visible popup menu window; null after the time-out.
HWND waitForPopupMenu(WindowOwner owner, std::chrono::milliseconds limit = kWaitLimit);
// Waits until the window is gone or hidden; false after the time-out.
bool waitUntilGone(HWND window, std::chrono::milliseconds limit = kWaitLimit);

// The texts of a message box's static controls (its message).
std::wstring messageBoxText(HWND box);

}  // namespace talvane::gui_test
