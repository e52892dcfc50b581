// The seam's clock: the millisecond counter the time-outs are measured on,
// the local time the log and the controller's clock are given, and the
// waits of the watchdog, which a stop ends early. The Windows backend reads
// the system's clock; the simulator has a real and a virtual one.
#pragma once

#include <cstdint>

#include "korvex/common/stop_signal.h"

namespace korvex::seam {

// Field order of the system's SYSTEMTIME.
struct LocalTime {
  std::uint16_t year = 0;
  std::uint16_t month = 0;
  std::uint16_t dayOfWeek = 0;  // 0 Sunday
  std::uint16_t day = 0;
  std::uint16_t hour = 0;
  std::uint16_t minute = 0;
  std::uint16_t second = 0;
  std::uint16_t milliseconds = 0;

  bool operator==(const LocalTime&) const = default;
};

class Clock {
 public:
  virtual ~Clock() = default;

  // Milliseconds, 32 bits, wrapping (GetTickCount).
  virtual std::uint32_t tickCount() = 0;

  // The computer's local time now.
  virtual LocalTime localTime() = 0;

  // Waits the milliseconds, or until stop is raised, whichever comes first.
  // True when stop is raised (also when it was raised before the call).
  virtual bool wait(std::uint32_t milliseconds, const StopSignal& stop) = 0;
};

}  // namespace korvex::seam
