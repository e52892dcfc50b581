// The application: one instance per logon session, living in the
// notification area through its hidden tray window.
#pragma once

#include <windows.h>

#include <memory>

#include "talvane/framework/win_app.h"
#include "talvane/shell/application_tray_wnd.h"

namespace talvane {

class CTalvaneApp : public CWinApp {
 public:
  CTalvaneApp() = default;
  ~CTalvaneApp() override;

  BOOL InitInstance() override;
  int ExitInstance() override;

  // The exit code when the tray window cannot be created.
  static constexpr int kStartupFailed = 1;

 protected:
  // The tray window object start-up creates; a test may hand another.
  virtual std::unique_ptr<CMyApplicationTrayWnd> MakeTrayWindow();

 private:
  HANDLE m_hInstanceMutex = nullptr;
};

}  // namespace talvane
