// Handles and time.
#include <windows.h>

#include "korvex/platform/win32/win32_conversions.h"
#include "korvex/platform/win32/win32_platform.h"

namespace korvex::platform {

void Win32Platform::close(Handle h) {
  if (h != kNoHandle) CloseHandle(win32::toHandle(h));
}

std::uint32_t Win32Platform::tickCount() {
  return GetTickCount();
}

LocalTime Win32Platform::localTime() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return LocalTime{t.wYear, t.wMonth,  t.wDayOfWeek, t.wDay,
                   t.wHour, t.wMinute, t.wSecond,    t.wMilliseconds};
}

void Win32Platform::sleep(std::uint32_t milliseconds) {
  Sleep(milliseconds);
}

}  // namespace korvex::platform
