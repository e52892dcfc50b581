// A hidden window that keeps one notification-area icon and turns the
// shell's mouse reports on it into single-click, right-click and
// double-click hooks.
#pragma once

#include <windows.h>

#include "talvane/framework/wnd.h"
#include "talvane/shell/tray_clicks.h"

namespace talvane {

// The callback message the shell sends for the icon.
inline constexpr UINT WM_TRAYNOTIFY = WM_APP + 100;
inline constexpr UINT kTrayIconId = 100;
inline constexpr UINT_PTR kClickTimerId = 4;

class CTrayWnd : public CWnd {
 public:
  // The shell call for the icon: NIM_ADD, NIM_MODIFY or NIM_DELETE. An icon
  // is handed to the shell only when it differs from the one last handed;
  // a tooltip longer than the shell keeps is cut.
  BOOL NotifyIcon(DWORD message, HICON icon, const wchar_t* tip);

  // Set once the window exists and the object is owned by nobody else:
  // the window's end then deletes the object.
  void OwnItselfFromNowOn() { m_ownsItself = true; }

  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 protected:
  virtual void OnTrayLeftClick() {}
  virtual void OnTrayRightClick() {}
  virtual void OnTrayDoubleClick() {}

  // Forgets the icon last handed to the shell, so that the next NotifyIcon
  // hands it again (after the shell has lost it).
  void ForgetCurrentIcon() { m_hCurrentIcon = nullptr; }

  void PostNcDestroy() override;

 private:
  HICON m_hCurrentIcon = nullptr;
  TrayClickState m_clicks;
  bool m_ownsItself = false;
};

}  // namespace talvane
