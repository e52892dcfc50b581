#include "app_process.h"

#include "talvane/resources/resource.h"

namespace talvane::gui_test {

AppProcess::AppProcess(const std::wstring& folder) {
  const std::wstring program = folder + L"talvane.exe";
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     folder.c_str(), &startup, &process_)) {
    CloseHandle(process_.hThread);
  }
}

AppProcess::~AppProcess() {
  if (handle() == nullptr) return;
  if (!waitForExit(0ms)) {
    if (HWND tray = waitForWindow(windows(), nullptr, L"TrayWnd", 0ms)) {
      PostMessageW(tray, WM_COMMAND, ID_APP_EXIT, 0);
    }
    if (!waitForExit(5s)) TerminateProcess(handle(), 1);
    waitForExit(5s);
  }
  CloseHandle(handle());
}

HWND AppProcess::waitForTray() const {
  return waitUntil([&]() -> HWND {
    return handle() && !waitForExit(0ms) ? waitForWindow(windows(), nullptr, L"TrayWnd", 0ms)
                                         : nullptr;
  });
}

std::optional<DWORD> AppProcess::waitForExit(std::chrono::milliseconds limit) const {
  DWORD code = 0;
  if (WaitForSingleObject(handle(), static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(handle(), &code)) {
    return std::nullopt;
  }
  return code;
}

}  // namespace talvane::gui_test
