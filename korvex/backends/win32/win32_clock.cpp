#include "korvex/backends/win32/win32_clock.h"

#include <windows.h>

#include <chrono>

namespace korvex::win32 {

std::uint32_t Win32Clock::tickCount() {
  return GetTickCount();
}

seam::LocalTime Win32Clock::localTime() {
  SYSTEMTIME t{};
  GetLocalTime(&t);
  return seam::LocalTime{t.wYear, t.wMonth,  t.wDayOfWeek, t.wDay,
                         t.wHour, t.wMinute, t.wSecond,    t.wMilliseconds};
}

bool Win32Clock::wait(std::uint32_t milliseconds, const StopSignal& stop) {
  return stop.waitFor(std::chrono::milliseconds(milliseconds));
}

}  // namespace korvex::win32
