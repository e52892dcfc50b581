// talvane.exe as a process of its own, started from a folder that holds it,
// korvex.dll and a world file, for the camera.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "window_probe.h"

namespace talvane::gui_test {

class AppProcess {
 public:
  // Starts folder\talvane.exe with the folder as its working folder.
  explicit AppProcess(const std::wstring& folder);
  // Sends EXIT to a process still running, and ends it by force when it
  // does not end in time.
  ~AppProcess();
  AppProcess(const AppProcess&) = delete;
  AppProcess& operator=(const AppProcess&) = delete;

  HANDLE handle() const { return process_.hProcess; }
  Owner windows() const { return {0, process_.dwProcessId}; }
  // The hidden "TrayWnd" window of the running process; null after the limit.
  HWND waitForTray() const;
  // The exit code once it has ended; nullopt after the limit.
  std::optional<DWORD> waitForExit(std::chrono::milliseconds limit = kWaitLimit) const;

 private:
  PROCESS_INFORMATION process_{};
};

}  // namespace talvane::gui_test
