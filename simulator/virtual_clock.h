// The simulator's virtual time: a millisecond counter that moves only when
// told to, and the threads blocked in its waits. Thread-safe.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include "korvex/common/stop_signal.h"

namespace korvex::sim {

class VirtualClock {
 public:
  // Starts (again) at startTick; every tick() moves the clock by step. With
  // waitsAdvance a wait moves the clock by its length at once, else it
  // blocks until the clock reaches its deadline.
  void start(std::uint32_t startTick, std::uint32_t step, bool waitsAdvance);

  // The counter as a tick count call sees it; moves the clock on by the
  // step afterwards. Wraps at 2^32.
  std::uint32_t tick();
  // The counter without counting as a call.
  std::uint32_t peek() const;

  // seam::Clock::wait on this clock.
  bool wait(std::uint32_t milliseconds, const StopSignal& stop);

  void advance(std::uint32_t milliseconds);
  // Simulator::advanceAndSettle and waitForWaiters (simulator.h).
  bool advanceAndSettle(std::uint32_t milliseconds, std::chrono::milliseconds realTimeout);
  bool waitForWaiters(std::size_t n, std::chrono::milliseconds realTimeout);
  std::size_t blockedWaitsOf(std::uint32_t milliseconds) const;

 private:
  struct Wait {
    std::uint64_t deadline = 0;
    const StopSignal* stop = nullptr;
    std::uint32_t length = 0;  // as asked for
  };

  // Whether the wait must still wait: its deadline not reached, its stop
  // not raised.
  bool blocked(const Wait& w) const;
  std::size_t blockedCount() const;
  // Moves the clock to `when` (never back) and wakes the waits it ends.
  void moveTo(std::uint64_t when);

  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::uint64_t now_ = 0;  // milliseconds, without wrapping; the counter is its low 32 bits
  std::uint32_t step_ = 1;
  bool waitsAdvance_ = false;
  std::vector<const Wait*> waits_;  // every thread inside wait
};

}  // namespace korvex::sim
