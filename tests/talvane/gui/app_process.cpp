#include "app_process.h"

#include <shellapi.h>

#include "child_process.h"
#include "folder_files.h"
#include "talvane/resources/resource.h"
#include "talvane/shell/tray_wnd.h"
#include "world_file.h"

namespace talvane::gui_test {

namespace {

NOTIFYICONDATAW iconOf(HWND tray) {
  NOTIFYICONDATAW icon{};
  icon.cbSize = sizeof icon;
  icon.hWnd = tray;
  icon.uID = kTrayIconId;
  return icon;
}

}  // namespace

bool prepareAppFolder(const std::wstring& folder, std::string_view scenario) {
  const std::wstring here = korvex::wine::ownFolder();
  if (!CreateDirectoryW(folder.c_str(), nullptr)) return false;
  for (const wchar_t* file : {L"talvane.exe", L"korvex.dll"}) {
    if (!CopyFileW((here + file).c_str(), (folder + file).c_str(), TRUE)) return false;
  }
  loadScenario(scenario, folder + L"world.json");
  return true;
}

AppProcess::AppProcess(const std::wstring& folder) {
  const std::wstring program = folder + L"talvane.exe";
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                     folder.c_str(), &startup, &process)) {
    CloseHandle(process.hThread);
    process_ = process.hProcess;
    id_ = process.dwProcessId;
  }
}

AppProcess::~AppProcess() {
  if (process_ == nullptr) return;
  if (running()) {
    if (HWND tray = windowCaptioned(windows(), L"TrayWnd")) {
      PostMessageW(tray, WM_COMMAND, ID_APP_EXIT, 0);
    }
    if (!waitForExit(5s)) {
      TerminateProcess(process_, 1);
      WaitForSingleObject(process_, 5000);
    }
  }
  CloseHandle(process_);
}

bool AppProcess::running() const {
  return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

HWND AppProcess::waitForTray(std::chrono::milliseconds limit) {
  return waitUntil([&] { return running() ? windowCaptioned(windows(), L"TrayWnd") : nullptr; },
                   limit);
}

bool AppProcess::waitUntilIdle(std::chrono::milliseconds limit) const {
  return WaitForInputIdle(process_, static_cast<DWORD>(limit.count())) == 0;
}

std::optional<DWORD> AppProcess::waitForExit(std::chrono::milliseconds limit) const {
  if (WaitForSingleObject(process_, static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

bool trayIconExists(HWND tray) {
  NOTIFYICONDATAW icon = iconOf(tray);
  return Shell_NotifyIconW(NIM_MODIFY, &icon) != 0;
}

bool deleteTrayIcon(HWND tray) {
  NOTIFYICONDATAW icon = iconOf(tray);
  return Shell_NotifyIconW(NIM_DELETE, &icon) != 0;
}

}  // namespace talvane::gui_test
