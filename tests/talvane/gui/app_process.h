// talvane.exe as a process of its own, started from a folder that holds it,
// the simulator's korvex.dll and a world file.
#pragma once

#include <windows.h>

#include <chrono>
#include <optional>
#include <string>

#include "wait_until.h"
#include "window_search.h"

namespace talvane::gui_test {

// Makes `folder` (ending in a separator) with copies of talvane.exe and
// korvex.dll from this program's folder, and the scenario as world.json.
bool prepareAppFolder(const std::wstring& folder, std::string_view scenario);

class AppProcess {
 public:
  // Starts folder\talvane.exe with the folder as its working folder.
  explicit AppProcess(const std::wstring& folder);
  // A process still running is sent EXIT, and ended by force when it does
  // not end in time.
  ~AppProcess();
  AppProcess(const AppProcess&) = delete;
  AppProcess& operator=(const AppProcess&) = delete;

  bool started() const { return process_ != nullptr; }
  HANDLE handle() const { return process_; }
  DWORD id() const { return id_; }
  WindowOwner windows() const { return ofProcess(id_); }
  bool running() const;

  // Waits for the process's "TrayWnd" window; null after the time-out.
  HWND waitForTray(std::chrono::milliseconds limit = kWaitLimit);
  // Waits until the process waits for input after its start.
  bool waitUntilIdle(std::chrono::milliseconds limit = kWaitLimit) const;
  // The exit code once it has ended; nullopt after the time-out.
  std::optional<DWORD> waitForExit(std::chrono::milliseconds limit = kWaitLimit) const;

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// Whether the shell holds the program's icon (uID 100 of the tray window):
// modifying an icon that does not exist fails.
bool trayIconExists(HWND tray);
// Deletes the icon as the shell's loss of it would; true when it existed.
bool deleteTrayIcon(HWND tray);

}  // namespace talvane::gui_test
