// talvane_demo: starts talvane.exe from this program's folder, opens its
// main dialog as "SETUP(&S)" in the tray menu does, and waits until the
// program ends (EXIT in the tray menu), whose exit code it returns.
//
// The demo runs Talvane under wine on desktops that may show no
// notification area; the dialog opening by itself gives the user a start.
#include <windows.h>

#include <string>
#include <vector>

#include "talvane/resources/resource.h"

namespace {

std::wstring ownFolder() {
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return L".\\";
    if (n < path.size()) {
      std::wstring text(path.data(), n);
      return text.substr(0, text.find_last_of(L"\\/") + 1);
    }
    path.resize(path.size() * 2);
  }
}

// The tray window of the process, once it exists.
HWND waitForTrayWindow(DWORD processId, HANDLE process) {
  for (int tries = 0; tries < 600; ++tries) {
    HWND candidate = nullptr;
    while ((candidate = FindWindowExW(nullptr, candidate, nullptr, L"TrayWnd")) != nullptr) {
      DWORD owner = 0;
      GetWindowThreadProcessId(candidate, &owner);
      if (owner == processId) return candidate;
    }
    if (WaitForSingleObject(process, 100) == WAIT_OBJECT_0) return nullptr;
  }
  return nullptr;
}

}  // namespace

int wmain() {
  std::wstring command = L"\"" + ownFolder() + L"talvane.exe\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process)) {
    return 2;
  }
  CloseHandle(process.hThread);
  if (HWND tray = waitForTrayWindow(process.dwProcessId, process.hProcess); tray != nullptr) {
    PostMessageW(tray, WM_COMMAND, ID_SETUP, 0);
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hProcess);
  return static_cast<int>(exitCode);
}
