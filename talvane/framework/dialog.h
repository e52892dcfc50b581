// Modal dialogs from templates in the executable's resources.
//
// DoModal creates the dialog from its template, disables its owner and runs
// a message loop of its own (which gives PreTranslateMessage its chance)
// until EndDialog, or until its window is destroyed by someone else (the
// result is then IDCANCEL). Either way the owner is enabled again: by
// EndDialog before the dialog is hidden, so that the activation goes back
// to it. Dialogs shown modally form a stack; EndAllModalLoops ends
// them all, innermost first, together with a menu or message box open above
// them, so that a window that owns dialog objects can go safely.
#pragma once

#include <windows.h>

#include "talvane/framework/wnd.h"

namespace talvane {

class CDialog : public CWnd {
 public:
  // The owner of a dialog is the innermost dialog open when it is shown.
  explicit CDialog(UINT templateId) : m_nIDTemplate(templateId) {}

  // Shows the dialog and returns the value handed to EndDialog, or -1 when
  // the dialog could not be created.
  INT_PTR DoModal();
  void EndDialog(int result);

  // WM_INITDIALOG: binds the controls (DoDataExchange) and returns TRUE so
  // that the system sets the focus.
  virtual BOOL OnInitDialog();
  virtual void DoDataExchange() {}
  virtual void OnOK() { EndDialog(IDOK); }
  virtual void OnCancel() { EndDialog(IDCANCEL); }

  BOOL PreTranslateMessage(MSG* msg) override;
  bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

  // Whether the window is a dialog run by this framework's procedure.
  static bool IsFrameworkDialog(HWND hwnd);

  static bool AnyModalLoopRunning();
  static void EndAllModalLoops();

 protected:
  const UINT m_nIDTemplate;

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  void RunModalLoop();
  void EnableDisabledOwner();
  // WM_DESTROY: ends a modal loop still running, without touching the window.
  void OnModalWindowDestroyed();

  bool m_modalEnded = true;
  HWND m_disabledOwner = nullptr;  // the owner DoModal disabled, until enabled again
  INT_PTR m_nModalResult = -1;
};

// The program's dialogs derive from this name; it adds nothing here.
class CDialogEx : public CDialog {
 public:
  using CDialog::CDialog;
};

}  // namespace talvane
