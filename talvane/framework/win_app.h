// The application object: start-up and end hooks around the message loop.
#pragma once

#include <windows.h>

namespace talvane {

class CWnd;

class CWinApp {
 public:
  CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;
  virtual ~CWinApp();

  // The application object that exists now, or null.
  static CWinApp* Current();

  // TRUE runs the message loop; FALSE ends the application at once.
  virtual BOOL InitInstance() { return TRUE; }
  // Returns the exit code of the application.
  virtual int ExitInstance() { return m_exitCode; }

  // InitInstance, then the message loop until WM_QUIT, then ExitInstance;
  // returns the exit code. This is what WinMain runs.
  int RunApplication();

  // Dispatches one message the way every loop of the program does: the
  // windows from the message's target up to its top-level window may take
  // it first (PreTranslateMessage), otherwise it is translated and sent.
  static void PumpMessage(MSG& msg);

  // The window whose destruction ends the message loop.
  CWnd* m_pMainWnd = nullptr;

 protected:
  int m_exitCode = 0;

 private:
  int Run();
};

}  // namespace talvane
