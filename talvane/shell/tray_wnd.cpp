#include "talvane/shell/tray_wnd.h"

#include <shellapi.h>

#include <cwchar>
#include <iterator>

namespace talvane {

BOOL CTrayWnd::NotifyIcon(DWORD message, HICON icon, const wchar_t* tip) {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = m_hWnd;
  data.uID = kTrayIconId;
  data.uCallbackMessage = WM_TRAYNOTIFY;
  data.uFlags = NIF_MESSAGE;
  if (icon != nullptr && icon != m_hCurrentIcon) {
    data.uFlags |= NIF_ICON;
    data.hIcon = icon;
    m_hCurrentIcon = icon;
  }
  if (tip != nullptr) {
    data.uFlags |= NIF_TIP;
    std::wcsncpy(data.szTip, tip, std::size(data.szTip) - 1);
  }
  return ::Shell_NotifyIconW(message, &data);
}

bool CTrayWnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_TRAYNOTIFY: {
      result = 0;
      if (wParam != kTrayIconId) return true;
      const TrayClickActions actions = m_clicks.onIconMouse(static_cast<unsigned>(lParam));
      if (actions.killClickTimer) ::KillTimer(m_hWnd, kClickTimerId);
      if (actions.startClickTimer)
        ::SetTimer(m_hWnd, kClickTimerId, ::GetDoubleClickTime(), nullptr);
      if (actions.postLeftDoubleClick) PostMessage(WM_LBUTTONDBLCLK);
      if (actions.postRightUp) PostMessage(WM_RBUTTONUP);
      return true;
    }
    case WM_TIMER:
      if (wParam != kClickTimerId) return false;
      // No second click came within the double-click time: a single click.
      ::KillTimer(m_hWnd, kClickTimerId);
      PostMessage(WM_LBUTTONUP);
      result = 0;
      return true;
    case WM_LBUTTONUP:
      OnTrayLeftClick();
      result = 0;
      return true;
    case WM_RBUTTONUP:
      OnTrayRightClick();
      result = 0;
      return true;
    case WM_LBUTTONDBLCLK:
      OnTrayDoubleClick();
      result = 0;
      return true;
    default:
      return false;
  }
}

void CTrayWnd::PostNcDestroy() {
  if (m_ownsItself) delete this;
}

}  // namespace talvane
