// The simulated platform's tick counter: the real steady clock (optionally
// shifted to start at a given tick), or a virtual counter that moves only
// when told to. Not thread-safe; SimPlatform guards it.
#pragma once

#include <cstdint>

namespace korvex::sim {

class SimClock {
 public:
  // Real time; the counter reads like GetTickCount (milliseconds of the
  // steady clock, truncated to 32 bits).
  SimClock();

  // Real time, with the counter reading startTick now.
  void startRealAt(std::uint32_t startTick);

  // Virtual time from startTick; every tick() call moves it by step.
  void useVirtual(std::uint32_t startTick, std::uint32_t stepPerTickCall);

  bool isVirtual() const { return virtual_; }

  // The counter as a GetTickCount call sees it; advances a virtual clock by
  // its step afterwards. Wraps at 2^32.
  std::uint32_t tick();

  // The counter without counting as a call.
  std::uint32_t peek() const;

  // Moves a virtual clock on; a real clock ignores it.
  void advance(std::uint32_t milliseconds);

  // Virtual time as milliseconds since the virtual clock's epoch, without
  // wrapping: the counter is its low 32 bits. Waits measure their
  // deadlines on it. 0 on a real clock.
  std::uint64_t virtualNow() const { return virtual_ ? virtualNow_ : 0; }

  // Moves a virtual clock on to `when` (never back).
  void advanceTo(std::uint64_t when);

 private:
  static std::uint32_t steadyMs();

  bool virtual_ = false;
  std::uint32_t offset_ = 0;  // real: added to the steady milliseconds
  std::uint64_t virtualNow_ = 0;
  std::uint32_t step_ = 0;
};

}  // namespace korvex::sim
