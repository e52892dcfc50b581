#include "talvane/framework/dialog.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "talvane/framework/win_app.h"

namespace talvane {

namespace {

// Dialogs in their modal loops, outermost first. Only the user-interface
// thread shows dialogs.
std::vector<CDialog*>& modalStack() {
  static std::vector<CDialog*> stack;
  return stack;
}

bool isMessageBoxOf(HWND candidate, HWND owner) {
  if (::GetWindow(candidate, GW_OWNER) != owner) return false;
  if (CWnd::FromHandlePermanent(candidate) != nullptr) return false;
  wchar_t className[16] = {};
  ::GetClassNameW(candidate, className, 16);
  return std::wstring_view(className) == L"#32770";
}

// Ends the system dialogs (message boxes) owned by `owner`.
void endMessageBoxesOf(HWND owner) {
  std::vector<HWND> found;
  struct Search {
    HWND owner;
    std::vector<HWND>* found;
  } search{owner, &found};
  ::EnumThreadWindows(
      ::GetCurrentThreadId(),
      [](HWND hwnd, LPARAM param) CALLBACK -> BOOL {
        auto* s = reinterpret_cast<Search*>(param);
        if (isMessageBoxOf(hwnd, s->owner)) s->found->push_back(hwnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  for (HWND box : found) ::EndDialog(box, IDCANCEL);
}

}  // namespace

INT_PTR CDialog::DoModal() {
  if (m_hWnd != nullptr) return -1;
  HWND owner = modalStack().empty() ? nullptr : modalStack().back()->m_hWnd;

  m_modalEnded = false;
  m_nModalResult = -1;
  m_disabledOwner = nullptr;
  modalStack().push_back(this);
  HWND hwnd = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(m_nIDTemplate),
                                   owner, DialogProc, reinterpret_cast<LPARAM>(this));
  if (hwnd != nullptr) {
    if (owner != nullptr && ::IsWindowEnabled(owner)) {
      m_disabledOwner = owner;
      ::EnableWindow(owner, FALSE);
    }
    if (!m_modalEnded && !::IsWindowVisible(hwnd)) ::ShowWindow(hwnd, SW_SHOWNORMAL);
    RunModalLoop();
    // Still disabled when the window went without EndDialog.
    EnableDisabledOwner();
    if (m_hWnd != nullptr) ::DestroyWindow(m_hWnd);
  }
  modalStack().erase(std::remove(modalStack().begin(), modalStack().end(), this),
                     modalStack().end());
  m_modalEnded = true;
  return m_nModalResult;
}

void CDialog::RunModalLoop() {
  MSG msg;
  // A window destroyed by someone else ends the loop through WM_DESTROY.
  while (!m_modalEnded) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      // The application is ending: leave the quit message for the outer
      // loop and end this one.
      ::PostQuitMessage(static_cast<int>(msg.wParam));
      EndDialog(IDCANCEL);
      break;
    }
    if (got == -1) {
      EndDialog(-1);
      break;
    }
    CWinApp::PumpMessage(msg);
  }
}

void CDialog::EnableDisabledOwner() {
  const HWND owner = std::exchange(m_disabledOwner, nullptr);
  // The owner may have gone first, destroyed together with this dialog.
  if (owner != nullptr && ::IsWindow(owner)) ::EnableWindow(owner, TRUE);
}

void CDialog::EndDialog(int result) {
  m_nModalResult = result;
  m_modalEnded = true;
  // The owner is enabled before the dialog is hidden, as the system's own
  // dialog box does: a hidden active window hands the activation to an
  // enabled window, which would otherwise be another program's.
  const HWND owner = m_disabledOwner;
  EnableDisabledOwner();
  if (m_hWnd != nullptr) {
    if (owner != nullptr && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
    ::ShowWindow(m_hWnd, SW_HIDE);
  }
  // Wakes the loop when the end comes from outside its own dispatch.
  ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
}

void CDialog::OnModalWindowDestroyed() {
  if (m_modalEnded) return;
  m_nModalResult = IDCANCEL;
  m_modalEnded = true;
  // The window is going: the wake goes to the thread.
  ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
}

BOOL CDialog::OnInitDialog() {
  DoDataExchange();
  return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
  if (m_hWnd == nullptr) return FALSE;
  if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return FALSE;
  if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
  return ::IsDialogMessageW(m_hWnd, msg);
}

bool CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (message == WM_INITDIALOG) {
    result = OnInitDialog();
    return true;
  }
  if (CWnd::OnWndMsg(message, wParam, lParam, result)) return true;
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    if (LOWORD(wParam) == IDOK) {
      OnOK();
      result = 0;
      return true;
    }
    if (LOWORD(wParam) == IDCANCEL) {
      OnCancel();
      result = 0;
      return true;
    }
  }
  return false;
}

bool CDialog::IsFrameworkDialog(HWND hwnd) {
  return ::GetWindowLongPtrW(hwnd, DWLP_DLGPROC) == reinterpret_cast<LONG_PTR>(&DialogProc);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  // The dialog object comes with WM_INITDIALOG; the messages before it get
  // the default processing.
  CWnd* wnd = nullptr;
  if (message == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    dialog->Attach(hwnd);
    wnd = dialog;
  } else {
    wnd = reinterpret_cast<CWnd*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (wnd == nullptr) return FALSE;
  // Before the handlers, which a dialog may override without the base.
  if (message == WM_DESTROY) static_cast<CDialog*>(wnd)->OnModalWindowDestroyed();
  LRESULT result = 0;
  if (!Dispatch(wnd, message, wParam, lParam, result)) return FALSE;
  switch (message) {
    // These return their value directly instead of through DWLP_MSGRESULT.
    case WM_INITDIALOG:
    case WM_QUERYDRAGICON:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
      return static_cast<INT_PTR>(result);
    default:
      if (::IsWindow(hwnd)) ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
      return TRUE;
  }
}

bool CDialog::AnyModalLoopRunning() {
  return !modalStack().empty();
}

void CDialog::EndAllModalLoops() {
  ::EndMenu();
  const std::vector<CDialog*> open = modalStack();
  for (auto it = open.rbegin(); it != open.rend(); ++it) {
    if ((*it)->m_hWnd != nullptr) endMessageBoxesOf((*it)->m_hWnd);
    (*it)->EndDialog(IDCANCEL);
  }
}

}  // namespace talvane
