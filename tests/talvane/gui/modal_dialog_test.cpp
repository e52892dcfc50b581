// How a modal dialog ends: its owner enabled again before it is hidden, and
// its loop ended when someone else destroys its window.
#include <atomic>

#include "window_test.h"

namespace talvane::gui_test {
namespace {

using ModalDialogTest = WindowTest;

// WM_NULL with this wParam, sent from the test's thread while the program's
// thread waits for messages, makes that thread destroy the window.
constexpr WPARAM kDestroyMarker = 0x6B696C6C;
// Whether the watched dialog's owner was enabled when the dialog was first
// hidden; -1 until then.
std::atomic<HWND> g_watched{nullptr};
std::atomic<int> g_ownerEnabledAtHide{-1};

LRESULT CALLBACK watchDialogs(int code, WPARAM sent, LPARAM message) {
  const auto* msg = reinterpret_cast<const CWPSTRUCT*>(message);
  if (code == HC_ACTION && msg->message == WM_NULL && msg->wParam == kDestroyMarker) {
    DestroyWindow(msg->hwnd);
  } else if (code == HC_ACTION && msg->hwnd == g_watched && msg->message == WM_WINDOWPOSCHANGING &&
             (reinterpret_cast<const WINDOWPOS*>(msg->lParam)->flags & SWP_HIDEWINDOW) != 0) {
    int none = -1;
    g_ownerEnabledAtHide.compare_exchange_strong(
        none, IsWindowEnabled(GetWindow(msg->hwnd, GW_OWNER)) ? 1 : 0);
  }
  return CallNextHookEx(nullptr, code, sent, message);
}

// Cancel on the status dialog over the main dialog, then on the log viewer
// over the auto recovery list over it.
TEST_F(ModalDialogTest, OwnerIsEnabledBeforeTheEndedDialogIsHidden) {
  start("dialog_hubs");
  const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, watchDialogs, nullptr, threadId_);
  for (const bool nested : {false, true}) {
    if (nested) press(openAutoList(), IDC_AUTO_SHOW_LOG);
    const HWND dialog = nested ? opened(L"Talvane Log") : openStatus(0);
    ASSERT_NE(dialog, nullptr);
    g_ownerEnabledAtHide = -1;
    g_watched = dialog;
    ASSERT_TRUE(press(dialog, IDCANCEL) && waitUntilGone(dialog));
    EXPECT_EQ(g_ownerEnabledAtHide, 1) << "nested: " << nested;
  }
  UnhookWindowsHookEx(hook);
}

// The status dialog destroyed, then the auto recovery list with the log
// viewer above it: the loops end (none is left waiting, with nothing
// posted) and the main dialog takes input again, owning the next dialog.
TEST_F(ModalDialogTest, DestroyedDialogEndsItsLoopAndEnablesTheOwner) {
  start("dialog_hubs");
  const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, watchDialogs, nullptr, threadId_);
  const HWND status = openStatus(0);
  SendMessageW(status, WM_NULL, kDestroyMarker, 0);
  EXPECT_FALSE(IsWindow(status));
  EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(main_) != FALSE; }));

  const HWND list = openAutoList();
  press(list, IDC_AUTO_SHOW_LOG);
  const HWND viewer = opened(L"Talvane Log");
  SendMessageW(list, WM_NULL, kDestroyMarker, 0);
  EXPECT_FALSE(IsWindow(viewer) || IsWindow(list));
  EXPECT_TRUE(waitUntil([&] { return IsWindowEnabled(main_) != FALSE; }));
  // A new status dialog is owned by the main dialog: the stack is whole.
  EXPECT_EQ(GetWindow(openStatus(0), GW_OWNER), main_);
  UnhookWindowsHookEx(hook);
}

}  // namespace
}  // namespace talvane::gui_test
