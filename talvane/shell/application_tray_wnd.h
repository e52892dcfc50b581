// The program's tray window: its icon, the two icon menus, the commands
// that open the main dialog and end the program, and the reaction to
// device changes. It holds the main dialog for as long as it lives.
#pragma once

#include <windows.h>

#include "talvane/shell/talvane_dlg.h"
#include "talvane/shell/tray_wnd.h"

namespace talvane {

class CMyApplicationTrayWnd : public CTrayWnd {
 public:
  CMyApplicationTrayWnd();

  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
  bool OnCommand(UINT id, UINT code, HWND control) override;

 protected:
  void OnTrayLeftClick() override;
  void OnTrayRightClick() override;
  void OnTrayDoubleClick() override;

  LRESULT OnCreate(LPARAM createStruct);
  void OnDestroy();
  void OnClose();
  void OnDeviceChange(WPARAM eventType);
  void OnTaskbarCreated();
  void ShowTrayMenu(UINT menuId);

  HICON m_hAppIcon = nullptr;
  CTalvaneDlg m_MainDlg;

 private:
  // The message the shell broadcasts when it (re)starts.
  const UINT m_taskbarCreated;
};

}  // namespace talvane
