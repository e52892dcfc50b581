// The system's clock: GetTickCount, GetLocalTime, and waits in real time.
#pragma once

#include "korvex/seam/clock.h"

namespace korvex::win32 {

class Win32Clock final : public seam::Clock {
 public:
  std::uint32_t tickCount() override;
  seam::LocalTime localTime() override;
  bool wait(std::uint32_t milliseconds, const StopSignal& stop) override;
};

}  // namespace korvex::win32
