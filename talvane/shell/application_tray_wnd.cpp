#include "talvane/shell/application_tray_wnd.h"

#include <dbt.h>
#include <shellapi.h>

#include "talvane/framework/controls.h"
#include "talvane/framework/dialog.h"
#include "talvane/resources/resource.h"

namespace talvane {

namespace {
constexpr const wchar_t* kTooltip = L"Talvane";
}

CMyApplicationTrayWnd::CMyApplicationTrayWnd()
    : m_taskbarCreated(::RegisterWindowMessageW(L"TaskbarCreated")) {}

bool CMyApplicationTrayWnd::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_CREATE:
      result = OnCreate(lParam);
      return true;
    case WM_DESTROY:
      OnDestroy();
      result = 0;
      return true;
    case WM_CLOSE:
      OnClose();
      result = 0;
      return true;
    case WM_DEVICECHANGE:
      OnDeviceChange(wParam);
      result = FALSE;
      return true;
    default:
      if (message == m_taskbarCreated && m_taskbarCreated != 0) {
        OnTaskbarCreated();
        result = 0;
        return true;
      }
      return CTrayWnd::OnMessage(message, wParam, lParam, result);
  }
}

bool CMyApplicationTrayWnd::OnCommand(UINT id, UINT, HWND) {
  switch (id) {
    case ID_APP_EXIT:
      PostMessage(WM_CLOSE);
      return true;
    case ID_APP_ABOUT:
      return true;
    case ID_SETUP:
      // SETUP while the dialog is open does nothing.
      if (m_MainDlg.m_hWnd == nullptr) m_MainDlg.DoModal();
      return true;
    default:
      return false;
  }
}

LRESULT CMyApplicationTrayWnd::OnCreate(LPARAM createStruct) {
  if (Default(WM_CREATE, 0, createStruct) == -1) return -1;
  // The notification area shows small icons; take the image of that size.
  m_hAppIcon = static_cast<HICON>(
      ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                   ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  NotifyIcon(NIM_ADD, m_hAppIcon, kTooltip);
  return 0;
}

void CMyApplicationTrayWnd::OnDestroy() {
  NotifyIcon(NIM_DELETE, nullptr, nullptr);
}

void CMyApplicationTrayWnd::OnClose() {
  // The main dialog and any dialog above it run in modal loops nested in
  // this window's message handling, on objects this window owns. They are
  // ended first; the window goes once the loops have returned.
  if (CDialog::AnyModalLoopRunning()) {
    CDialog::EndAllModalLoops();
    PostMessage(WM_CLOSE);
    return;
  }
  DestroyWindow();
}

void CMyApplicationTrayWnd::OnDeviceChange(WPARAM eventType) {
  if (eventType == DBT_DEVNODES_CHANGED && m_MainDlg.m_hWnd != nullptr) {
    m_MainDlg.RefreshDeviceList();
  }
}

void CMyApplicationTrayWnd::OnTaskbarCreated() {
  // The shell restarted and lost the icon: add it again, icon included.
  ForgetCurrentIcon();
  NotifyIcon(NIM_ADD, m_hAppIcon, kTooltip);
}

void CMyApplicationTrayWnd::OnTrayLeftClick() {
  ShowTrayMenu(IDR_TRAY_LEFT_MENU);
}

void CMyApplicationTrayWnd::OnTrayRightClick() {
  ShowTrayMenu(IDR_TRAY_RIGHT_MENU);
}

void CMyApplicationTrayWnd::OnTrayDoubleClick() {
  ::SendMessageW(m_hWnd, WM_COMMAND, ID_APP_ABOUT, 0);
}

void CMyApplicationTrayWnd::ShowTrayMenu(UINT menuId) {
  CMenu menu;
  if (!menu.LoadMenu(menuId)) return;
  HMENU popup = menu.GetSubMenu(0);
  if (popup == nullptr) return;
  // Without the foreground the menu would not close on a click elsewhere.
  ::SetForegroundWindow(m_hWnd);
  CMenu::TrackAtCursor(popup, TPM_RIGHTBUTTON, m_hWnd);
  PostMessage(WM_NULL);
}

}  // namespace talvane
