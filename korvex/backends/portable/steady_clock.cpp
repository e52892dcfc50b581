#include "korvex/backends/portable/steady_clock.h"

#include <chrono>
#include <ctime>

namespace korvex::portable {

namespace {

std::uint32_t steadyMs() {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<std::uint32_t>(ms.count());
}

}  // namespace

SteadyClock::SteadyClock(std::uint32_t startTick) : offset_(startTick - steadyMs()) {}

std::uint32_t SteadyClock::tickCount() {
  return offset_ + steadyMs();
}

seam::LocalTime SteadyClock::localTime() {
  return machineLocalTime();
}

bool SteadyClock::wait(std::uint32_t milliseconds, const StopSignal& stop) {
  return stop.waitFor(std::chrono::milliseconds(milliseconds));
}

seam::LocalTime machineLocalTime() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch());
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &seconds);
#else
  localtime_r(&seconds, &tm);
#endif
  seam::LocalTime t;
  t.year = static_cast<std::uint16_t>(tm.tm_year + 1900);
  t.month = static_cast<std::uint16_t>(tm.tm_mon + 1);
  t.dayOfWeek = static_cast<std::uint16_t>(tm.tm_wday);
  t.day = static_cast<std::uint16_t>(tm.tm_mday);
  t.hour = static_cast<std::uint16_t>(tm.tm_hour);
  t.minute = static_cast<std::uint16_t>(tm.tm_min);
  t.second = static_cast<std::uint16_t>(tm.tm_sec);
  t.milliseconds = static_cast<std::uint16_t>(ms.count() % 1000);
  return t;
}

}  // namespace korvex::portable
