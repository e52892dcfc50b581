#include "korvex/platform/sim/sim_clock.h"

#include <chrono>

namespace korvex::sim {

SimClock::SimClock() = default;

std::uint32_t SimClock::steadyMs() {
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  return static_cast<std::uint32_t>(ms.count());
}

void SimClock::startRealAt(std::uint32_t startTick) {
  virtual_ = false;
  offset_ = startTick - steadyMs();
}

void SimClock::useVirtual(std::uint32_t startTick, std::uint32_t stepPerTickCall) {
  virtual_ = true;
  virtualNow_ = startTick;
  step_ = stepPerTickCall;
}

std::uint32_t SimClock::tick() {
  const std::uint32_t now = peek();
  if (virtual_) virtualNow_ += step_;
  return now;
}

std::uint32_t SimClock::peek() const {
  return virtual_ ? static_cast<std::uint32_t>(virtualNow_) : offset_ + steadyMs();
}

void SimClock::advance(std::uint32_t milliseconds) {
  if (virtual_) virtualNow_ += milliseconds;
}

void SimClock::advanceTo(std::uint64_t when) {
  if (virtual_ && when > virtualNow_) virtualNow_ = when;
}

}  // namespace korvex::sim
