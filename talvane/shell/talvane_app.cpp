#include "talvane/shell/talvane_app.h"

#include <commctrl.h>

namespace talvane {

namespace {
// Local to the logon session: no namespace prefix.
constexpr const wchar_t* kInstanceMutexName = L"TALVANE";
}  // namespace

CTalvaneApp::~CTalvaneApp() {
  if (m_hInstanceMutex != nullptr) ::CloseHandle(m_hInstanceMutex);
}

std::unique_ptr<CMyApplicationTrayWnd> CTalvaneApp::MakeTrayWindow() {
  return std::make_unique<CMyApplicationTrayWnd>();
}

BOOL CTalvaneApp::InitInstance() {
  m_hInstanceMutex = ::CreateMutexW(nullptr, FALSE, kInstanceMutexName);
  if (::GetLastError() == ERROR_ALREADY_EXISTS) {
    // Another instance runs: end without a window, an icon or a message.
    ::CloseHandle(m_hInstanceMutex);
    m_hInstanceMutex = nullptr;
    return FALSE;
  }

  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_WIN95_CLASSES;
  ::InitCommonControlsEx(&controls);

  std::unique_ptr<CMyApplicationTrayWnd> tray = MakeTrayWindow();
  if (!tray->CreateEx(WS_EX_TOOLWINDOW, CWnd::RegisterWndClass(0), L"TrayWnd", 0, 0, 0, 0, 0,
                      nullptr, nullptr)) {
    // Without the window nothing could ever end the message loop.
    m_exitCode = kStartupFailed;
    return FALSE;
  }
  tray->OwnItselfFromNowOn();
  m_pMainWnd = tray.release();
  return TRUE;
}

int CTalvaneApp::ExitInstance() {
  if (m_hInstanceMutex != nullptr) {
    ::ReleaseMutex(m_hInstanceMutex);
    ::CloseHandle(m_hInstanceMutex);
    m_hInstanceMutex = nullptr;
  }
  return CWinApp::ExitInstance();
}

}  // namespace talvane
