#include "talvane/framework/wnd.h"

#include <map>
#include <vector>

#include "talvane/framework/dialog.h"
#include "talvane/framework/win_app.h"

namespace talvane {

CWnd::~CWnd() {
  if (m_hWnd != nullptr) {
    // An object that goes while its window still exists takes the window
    // with it, so that no message reaches a released object.
    HWND hwnd = Detach();
    ::DestroyWindow(hwnd);
  }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
  // Only a window of this framework's procedures keeps its object in
  // GWLP_USERDATA; any other window may use the slot for itself.
  if (hwnd == nullptr) return nullptr;
  const bool ours =
      ::GetWindowLongPtrW(hwnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&StandardWindowProc) ||
      CDialog::IsFrameworkDialog(hwnd);
  return ours ? reinterpret_cast<CWnd*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA)) : nullptr;
}

void CWnd::Attach(HWND hwnd) {
  m_hWnd = hwnd;
  ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

HWND CWnd::Detach() {
  HWND hwnd = m_hWnd;
  m_hWnd = nullptr;
  if (hwnd != nullptr) ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  return hwnd;
}

const wchar_t* CWnd::RegisterWndClass(UINT classStyle) {
  static std::map<UINT, std::wstring> registered;
  auto it = registered.find(classStyle);
  if (it != registered.end()) return it->second.c_str();
  std::wstring name = L"Talvane:Wnd:" + std::to_wstring(classStyle);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = classStyle;
  wc.lpfnWndProc = StandardWindowProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = name.c_str();
  if (::RegisterClassExW(&wc) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    return nullptr;
  }
  return registered.emplace(classStyle, std::move(name)).first->second.c_str();
}

BOOL CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menu) {
  if (className == nullptr || m_hWnd != nullptr) return FALSE;
  // The object travels as the creation parameter to WM_NCCREATE.
  HWND hwnd = ::CreateWindowExW(exStyle, className, windowName, style, x, y, width, height, parent,
                                menu, ::GetModuleHandleW(nullptr), this);
  // A window whose WM_CREATE failed is destroyed before CreateWindowExW
  // returns; the object is detached already and its PostNcDestroy has run.
  return hwnd != nullptr;
}

LRESULT CALLBACK CWnd::StandardWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = nullptr;
  if (message == WM_NCCREATE) {
    // The first message that carries the creation parameters; the few
    // before it take the default processing.
    wnd = static_cast<CWnd*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
    if (wnd != nullptr) wnd->Attach(hwnd);
  } else {
    wnd = reinterpret_cast<CWnd*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (wnd == nullptr) return ::DefWindowProcW(hwnd, message, wParam, lParam);
  LRESULT result = 0;
  if (!Dispatch(wnd, message, wParam, lParam, result)) {
    result = ::DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return result;
}

bool CWnd::Dispatch(CWnd* wnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  const bool handled = wnd->OnWndMsg(message, wParam, lParam, result);
  if (message == WM_NCDESTROY) {
    wnd->Detach();
    if (CWinApp* app = CWinApp::Current(); app != nullptr && app->m_pMainWnd == wnd) {
      // The main window is gone: the application's message loop ends.
      app->m_pMainWnd = nullptr;
      ::PostQuitMessage(0);
    }
    // May delete the object; nothing touches it afterwards.
    wnd->PostNcDestroy();
  }
  return handled;
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND:
      if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) {
        result = 0;
        return true;
      }
      return OnMessage(message, wParam, lParam, result);
    case WM_NOTIFY:
      if (lParam != 0 && OnNotify(*reinterpret_cast<const NMHDR*>(lParam), result)) return true;
      return OnMessage(message, wParam, lParam, result);
    default:
      return OnMessage(message, wParam, lParam, result);
  }
}

bool CWnd::OnMessage(UINT, WPARAM, LPARAM, LRESULT&) {
  return false;
}
bool CWnd::OnCommand(UINT, UINT, HWND) {
  return false;
}
bool CWnd::OnNotify(const NMHDR&, LRESULT&) {
  return false;
}
BOOL CWnd::PreTranslateMessage(MSG*) {
  return FALSE;
}

void CWnd::SetDlgItemText(int id, const std::wstring& text) const {
  ::SetDlgItemTextW(m_hWnd, id, text.c_str());
}

std::wstring CWnd::GetDlgItemText(int id) const {
  HWND item = GetDlgItem(id);
  if (item == nullptr) return {};
  const int length = ::GetWindowTextLengthW(item);
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1, L'\0');
  const int copied = ::GetWindowTextW(item, buffer.data(), length + 1);
  return std::wstring(buffer.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

int CWnd::MessageBox(const wchar_t* text, const wchar_t* caption, UINT type) const {
  // As the framework does: a null caption shows the program's name.
  return ::MessageBoxW(m_hWnd, text, caption != nullptr ? caption : L"Talvane", type);
}

BOOL CWnd::DestroyWindow() {
  return m_hWnd != nullptr && ::DestroyWindow(m_hWnd);
}

}  // namespace talvane
