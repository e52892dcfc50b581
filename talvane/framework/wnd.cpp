#include "talvane/framework/wnd.h"

#include <map>
#include <mutex>
#include <vector>

#include "talvane/framework/win_app.h"

namespace talvane {

namespace {

// Handle to object. The program has one user-interface thread, but tests
// look windows up from another one, so the map is guarded.
std::mutex& handleMapMutex() {
  static std::mutex m;
  return m;
}
std::map<HWND, CWnd*>& handleMap() {
  static std::map<HWND, CWnd*> map;
  return map;
}

// The object whose window CreateEx is creating on this thread: the first
// messages arrive before CreateWindowExW returns the handle.
thread_local CWnd* t_windowBeingCreated = nullptr;

}  // namespace

CWnd::~CWnd() {
  if (m_hWnd != nullptr) {
    // An object that goes while its window still exists takes the window
    // with it, so that no message reaches a released object.
    HWND hwnd = Detach();
    ::DestroyWindow(hwnd);
  }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
  std::lock_guard lock(handleMapMutex());
  const auto it = handleMap().find(hwnd);
  return it == handleMap().end() ? nullptr : it->second;
}

void CWnd::Attach(HWND hwnd) {
  m_hWnd = hwnd;
  std::lock_guard lock(handleMapMutex());
  handleMap()[hwnd] = this;
}

HWND CWnd::Detach() {
  HWND hwnd = m_hWnd;
  m_hWnd = nullptr;
  std::lock_guard lock(handleMapMutex());
  handleMap().erase(hwnd);
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
  t_windowBeingCreated = this;
  HWND hwnd = ::CreateWindowExW(exStyle, className, windowName, style, x, y, width, height, parent,
                                menu, ::GetModuleHandleW(nullptr), nullptr);
  t_windowBeingCreated = nullptr;
  // A window whose WM_CREATE failed is destroyed before CreateWindowExW
  // returns; the object is detached already and its PostNcDestroy has run.
  return hwnd != nullptr;
}

LRESULT CALLBACK CWnd::StandardWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  CWnd* wnd = FromHandlePermanent(hwnd);
  if (wnd == nullptr && t_windowBeingCreated != nullptr) {
    wnd = t_windowBeingCreated;
    t_windowBeingCreated = nullptr;
    wnd->Attach(hwnd);
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
