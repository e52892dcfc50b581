// The least window framework the program needs: a C++ object per window,
// reached from its handle, with one virtual entry per kind of message.
//
// A window object is kept with its window (GWLP_USERDATA) from the first
// message that carries it (WM_NCCREATE for a window, WM_INITDIALOG for a
// dialog) until WM_NCDESTROY; then PostNcDestroy runs, where an object that
// owns itself may delete itself.
#pragma once

#include <windows.h>

#include <string>

namespace talvane {

class CWnd {
 public:
  CWnd() = default;
  CWnd(const CWnd&) = delete;
  CWnd& operator=(const CWnd&) = delete;
  virtual ~CWnd();

  HWND m_hWnd = nullptr;

  // The object attached to a window handle, or null.
  static CWnd* FromHandlePermanent(HWND hwnd);

  // Creates a window of a class registered by RegisterWndClass (or any
  // class whose procedure is this framework's) and attaches it.
  BOOL CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                int x, int y, int width, int height, HWND parent, HMENU menu);

  // Registers (once) the framework's window class with the given class
  // style and returns its name.
  static const wchar_t* RegisterWndClass(UINT classStyle);

  // Called for every message; the default routes WM_COMMAND to OnCommand,
  // WM_NOTIFY to OnNotify and everything else to OnMessage. A handler
  // returns true when it handled the message and sets `result`.
  virtual bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  virtual bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
  virtual bool OnCommand(UINT id, UINT code, HWND control);
  virtual bool OnNotify(const NMHDR& header, LRESULT& result);

  // Runs before the message loop dispatches a message addressed to this
  // window or one of its children; true means the message is done.
  virtual BOOL PreTranslateMessage(MSG* msg);

  // After WM_NCDESTROY, with the object already detached.
  virtual void PostNcDestroy() {}

  // Thin helpers over the window handle.
  HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
  void SetDlgItemText(int id, const std::wstring& text) const;
  std::wstring GetDlgItemText(int id) const;
  LRESULT SendDlgItemMessage(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendDlgItemMessageW(m_hWnd, id, message, wParam, lParam);
  }
  LRESULT SendMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageW(m_hWnd, message, wParam, lParam);
  }
  BOOL PostMessage(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::PostMessageW(m_hWnd, message, wParam, lParam);
  }
  int MessageBox(const wchar_t* text, const wchar_t* caption = nullptr, UINT type = MB_OK) const;
  BOOL DestroyWindow();

 protected:
  // The system's default processing of a message for this window.
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::DefWindowProcW(m_hWnd, message, wParam, lParam);
  }

  void Attach(HWND hwnd);
  HWND Detach();

  // Runs the handlers for one message and the end-of-life steps; shared by
  // the plain window procedure and the dialog procedure.
  static bool Dispatch(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

 private:
  static LRESULT CALLBACK StandardWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
};

}  // namespace talvane
