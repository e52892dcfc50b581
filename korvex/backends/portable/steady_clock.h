// A seam::Clock over the standard library: the tick counter is the steady
// clock's milliseconds (32 bits, wrapping, like GetTickCount), the local
// time comes from the C library (localtime_r / localtime_s), and a wait is
// the stop signal's own timed wait. For systems without a clock backend of
// their own, and the simulator's real-time mode.
#pragma once

#include <cstdint>

#include "korvex/seam/clock.h"

namespace korvex::portable {

class SteadyClock final : public seam::Clock {
 public:
  // The counter reads the steady clock's milliseconds.
  SteadyClock() = default;
  // The counter reads startTick now and then follows the steady clock.
  explicit SteadyClock(std::uint32_t startTick);

  std::uint32_t tickCount() override;
  seam::LocalTime localTime() override;
  bool wait(std::uint32_t milliseconds, const StopSignal& stop) override;

 private:
  std::uint32_t offset_ = 0;  // added to the steady milliseconds
};

// The machine's local time now, as localTime() gives it.
seam::LocalTime machineLocalTime();

}  // namespace korvex::portable
