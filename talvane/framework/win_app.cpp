#include "talvane/framework/win_app.h"

#include <atomic>

#include "talvane/framework/wnd.h"

namespace talvane {

namespace {
std::atomic<CWinApp*> g_currentApp{nullptr};
}

CWinApp::CWinApp() {
  g_currentApp.store(this);
}

CWinApp::~CWinApp() {
  CWinApp* self = this;
  g_currentApp.compare_exchange_strong(self, nullptr);
}

CWinApp* CWinApp::Current() {
  return g_currentApp.load();
}

int CWinApp::RunApplication() {
  if (!InitInstance()) return ExitInstance();
  return Run();
}

int CWinApp::Run() {
  MSG msg;
  for (;;) {
    const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      m_exitCode = static_cast<int>(msg.wParam);
      break;
    }
    if (got == -1) {
      m_exitCode = 1;
      break;
    }
    PumpMessage(msg);
  }
  return ExitInstance();
}

void CWinApp::PumpMessage(MSG& msg) {
  for (HWND hwnd = msg.hwnd; hwnd != nullptr;) {
    if (CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
        wnd != nullptr && wnd->PreTranslateMessage(&msg)) {
      return;
    }
    if ((::GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) == 0) break;
    hwnd = ::GetParent(hwnd);
  }
  ::TranslateMessage(&msg);
  ::DispatchMessageW(&msg);
}

}  // namespace talvane
